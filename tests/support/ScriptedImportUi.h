#pragma once

#include "app/ImportExportUi.h"

#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace arb::test
{

// An ImportExportUi that answers from a script and records what it was shown.
class ScriptedImportUi final : public ImportExportUi
{
  public:
    // The import dialog's answer: the dialog's own defaults changed by edit,
    // or Cancel when no edit is given. With no answers left it cancels.
    void pushImport(std::optional<std::function<void(ImportChoices &)>> edit)
    {
        imports_.push_back(std::move(edit));
    }
    void acceptImportDefaults()
    {
        pushImport([](ImportChoices &) {});
    }
    void pushExportForm(std::optional<ExportForm> form) { forms_.push_back(form); }

    std::optional<ImportChoices> chooseImport(const ImportReadResult &read, const QString &fileName) override
    {
        shownTables.push_back(read.table);
        shownFiles.push_back(fileName);
        shownOtherMarks.push_back(read.otherMark);
        if (imports_.empty())
            return std::nullopt;
        auto edit = std::move(imports_.front());
        imports_.pop_front();
        if (!edit)
            return std::nullopt;
        ImportChoices c = DefaultImportChoices(read.table);
        c.decimalMark = read.decimalMark;
        (*edit)(c);
        return c;
    }

    std::optional<ExportForm> chooseExportForm() override
    {
        ++formQuestions;
        if (forms_.empty())
            return std::nullopt;
        const std::optional<ExportForm> f = forms_.front();
        forms_.pop_front();
        return f;
    }

    std::unique_ptr<ImportProgress> readProgress(const QString &) override
    {
        return std::make_unique<Progress>(*this);
    }

    std::vector<ImportTable> shownTables;
    std::vector<QString> shownFiles;
    // The other reading of each source shown, where its decimal mark was in doubt.
    std::vector<std::shared_ptr<const ImportReadResult>> shownOtherMarks;
    int formQuestions = 0;
    int progressUpdates = 0;
    // The progress update after which the user presses Cancel; none: never.
    std::optional<int> cancelAfter;

  private:
    struct Progress final : ImportProgress {
        explicit Progress(ScriptedImportUi &ui) : ui_(ui) {}
        bool update(std::int64_t, std::int64_t) override
        {
            ++ui_.progressUpdates;
            return !ui_.cancelAfter || ui_.progressUpdates < *ui_.cancelAfter;
        }
        ScriptedImportUi &ui_;
    };

    std::deque<std::optional<std::function<void(ImportChoices &)>>> imports_;
    std::deque<std::optional<ExportForm>> forms_;
};

} // namespace arb::test

#include "app/StartFile.h"

#include "app/FileCommands.h"
#include "app/FormMain.h"
#include "app/ImportExportCommands.h"
#include "app/ImportExportUi.h"
#include "core/files/WaveFileReader.h"
#include "view/UserPrompt.h"

#include <QFile>

namespace arb
{

namespace
{

// The window's user, except that the file asked for is the start file.
class StartFilePrompt final : public UserPrompt
{
  public:
    StartFilePrompt(UserPrompt &user, const QString &path) : user_(user), path_(path) {}
    void message(const QString &text, const QString &title, MessageIcon icon) override
    {
        user_.message(text, title, icon);
    }
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        return user_.input(prompt, title, defaultText);
    }
    std::optional<QString> openFile(const QString &, const QString &) override { return path_; }
    std::optional<QString> saveFile(const QString &, const QString &) override { return std::nullopt; }

  private:
    UserPrompt &user_;
    QString path_;
};

// The window, as the commands see it, with that user.
class StartFileHost final : public WaveformHost
{
  public:
    StartFileHost(FormMain &window, const QString &path) : window_(window), prompt_(window.prompt(), path) {}
    WaveDocument &document() override { return window_.document(); }
    UserPrompt &prompt() override { return prompt_; }
    QString lengthText() const override { return window_.lengthText(); }
    void showLengthText(const QString &text) override { window_.showLengthText(text); }
    void commitLength() override { window_.commitLength(); }

  private:
    FormMain &window_;
    StartFilePrompt prompt_;
};

// The import dialog taken as it first stands, without showing it.
class FirstChoices final : public ImportExportUi
{
  public:
    std::optional<ImportChoices> chooseImport(const ImportReadResult &read, const QString &) override
    {
        ImportChoices choices = DefaultImportChoices(read.table);
        choices.decimalMark = read.decimalMark;
        return choices;
    }
    std::optional<ExportForm> chooseExportForm() override { return std::nullopt; }
    std::unique_ptr<ImportProgress> readProgress(const QString &) override { return nullptr; }
};

// One of the editor's own forms that "打开" takes: its ending, a header that
// reads and a count it opens.
bool IsOpenableOwnForm(const QString &path)
{
    if (!HasFileEnding(path, {QStringLiteral(".txt"), QStringLiteral(".TXT"), QStringLiteral(".arb")}))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    DeviceLineSource lines(file);
    WaveFileReader reader(lines);
    WaveFileHeader header;
    return reader.readHeader(header) == WaveReadStatus::Ok && IsOpenableCount(header.count);
}

} // namespace

void OpenStartFile(FormMain &window, const QString &path)
{
    StartFileHost host(window, path);
    if (IsOpenableOwnForm(path)) {
        FileCommands files(host);
        files.menuFileOpen_Click();
        return;
    }
    FirstChoices firstChoices;
    ImportExportCommands import(host, firstChoices);
    import.menuFileImport_Click();
}

} // namespace arb

#pragma once

#include "core/import/ExportWriter.h"
#include "core/import/ImportReader.h"
#include "core/import/ImportShaping.h"

#include <QObject>
#include <QString>

class QWidget;

namespace arb
{

struct MainMenus;

class ImportExportUi;
class WaveformHost;

// "导入波形" brings in waveform files that other tools write (value tables,
// header forms, the editor's own forms); "导出波形" writes the waveform as a
// CSV table or a header form, leaving it as it is.
class ImportExportCommands : public QObject
{
    Q_OBJECT
  public:
    ImportExportCommands(WaveformHost &host, ImportExportUi &ui, QObject *parent = nullptr);

    // Connects the menu items menuFileImport and menuFileExport.
    void connectMenu(const MainMenus &menus);

    // The reader's limits; tests lower them.
    void setReadOptions(const ImportReadOptions &options) { options_ = options; }

    // Dialog filters, as "label|pattern" pairs.
    static QString ImportFilter();
    static QString ExportFilter(ExportForm form);

  public slots:
    void menuFileImport_Click();
    void menuFileExport_Click();

  private:
    // The one place an import replaces the waveform: points, length, length
    // field, redraw, and the name of the editor's 2.0 form.
    void replaceWaveform(const ImportTable &table, const ImportedPoints &imported);
    // Writes a whole export file, replacing it only once complete; false
    // after a reported failure.
    bool writeFile(const QString &path, const QByteArray &bytes);
    void report(const QString &text);

    WaveformHost &host_;
    ImportExportUi &ui_;
    ImportReadOptions options_;
};

} // namespace arb

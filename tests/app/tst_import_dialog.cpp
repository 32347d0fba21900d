// The import dialog's controls and preview, and the two File menu items in
// the main window.
#include "app/FormMain.h"
#include "app/ImportDialog.h"
#include "core/ArbStore.h"
#include "tests/support/ScriptedImportUi.h"
#include "tests/support/WindowFixture.h"
#include "view/PlotCanvas.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace arb;
using arb::test::ScriptedImportUi;

namespace
{

ImportTable TwoColumns()
{
    ImportTable t;
    t.form = ImportForm::HeaderForm;
    t.fields = {{"File Format", "1.10"}, {"Sample Rate", "1000"}};
    t.columnNames = {"time", "value"};
    t.columns = {{0, 1, 2, 3, 4, 5}, {0.5f, -0.5f, 2.0f, -3.0f, 0.25f, 0}};
    return t;
}

int RedPixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == PlotWaveColour();
    return n;
}

} // namespace

class TestImportDialog : public QObject
{
    Q_OBJECT
  private slots:
    void defaultsAndSourceFacts()
    {
        const ImportTable t = TwoColumns();
        ImportDialog d(t, QStringLiteral("wave.csv"));
        auto *column = d.findChild<QComboBox *>(QStringLiteral("cobImportColumn"));
        auto *scaling = d.findChild<QComboBox *>(QStringLiteral("cobImportScaling"));
        auto *points = d.findChild<QSpinBox *>(QStringLiteral("txtImportPoints"));
        QVERIFY(column && scaling && points);
        QCOMPARE(d.windowTitle(), QStringLiteral("导入波形"));
        QCOMPARE(column->currentText(), QStringLiteral("第 2 列：value"));
        QVERIFY(column->isEnabled());
        // Values beyond ±1: full scale first.
        QCOMPARE(scaling->currentText(), QStringLiteral("满量程"));
        QCOMPARE(points->value(), 6);
        QCOMPARE(points->minimum(), 4);
        QCOMPARE(points->maximum(), 16384);
        QCOMPARE(d.findChild<QLabel *>(QStringLiteral("LblImportSource"))->text(),
                 QStringLiteral("6 点，范围 -3 ～ 2"));
        QVERIFY(d.findChild<QPlainTextEdit *>(QStringLiteral("txtImportHeader"))
                    ->toPlainText()
                    .contains(QStringLiteral("Sample Rate: 1000")));
        QVERIFY(RedPixels(d.findChild<PlotCanvas *>(QStringLiteral("picImportPreview"))->image()) > 0);
    }

    void choicesFollowTheControls()
    {
        const ImportTable t = TwoColumns();
        ImportDialog d(t, QStringLiteral("wave.csv"));
        auto *scaling = d.findChild<QComboBox *>(QStringLiteral("cobImportScaling"));
        auto *clipped = d.findChild<QLabel *>(QStringLiteral("LblImportClipped"));
        auto *resample = d.findChild<QLabel *>(QStringLiteral("LblImportResample"));
        scaling->setCurrentIndex(0);
        QCOMPARE(clipped->text(), QStringLiteral("有 2 个点超出 ±1，将被截断"));
        d.findChild<QSpinBox *>(QStringLiteral("txtImportPoints"))->setValue(100);
        QCOMPARE(resample->text(), QStringLiteral("将从 6 点线性插值重采样为 100 点（不滤波）"));
        // The time column lies beyond ±1 too; it brings full scale back.
        d.findChild<QComboBox *>(QStringLiteral("cobImportColumn"))->setCurrentIndex(0);
        QCOMPARE(scaling->currentIndex(), static_cast<int>(ImportScaling::FullScale));
        const ImportChoices c = d.choices();
        QCOMPARE(c.column, 0);
        QCOMPARE(c.points, 100);
        QVERIFY(clipped->text().isEmpty());
    }

    void menuItemsInTheMainWindow()
    {
        WaveDocument document;
        const ArbStore &store = document.store();
        arb::test::ScriptedPrompt user;
        arb::test::RecordingHelpViewer help;
        arb::test::RecordingVisa visa;
        ScriptedImportUi ui;
        FormMainServices s;
        s.document = &document;
        s.prompt = &user;
        s.help = &help;
        s.workArea = QRect(0, 0, 1024, 768);
        s.visa = &visa;
        s.importExport = &ui;
        FormMain w(s);

        auto *file = w.findChild<QMenu *>(QStringLiteral("menuFile"));
        QVERIFY(file);
        QStringList names;
        for (QAction *a : file->actions())
            names << a->objectName();
        QCOMPARE(names, (QStringList{"menuFileOpen", "menuFileSave", "menuFileImport", "menuFileExport",
                                     "menuBar", "menuFileExit"}));
        auto *import = w.findChild<QAction *>(QStringLiteral("menuFileImport"));
        auto *exportItem = w.findChild<QAction *>(QStringLiteral("menuFileExport"));
        QCOMPARE(import->text(), QStringLiteral("导入波形(&I)..."));
        QCOMPARE(exportItem->text(), QStringLiteral("导出波形(&E)..."));
        QCOMPARE(import->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));
        QCOMPARE(exportItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
        // Screen readers name the items by their caption.
        QAccessibleInterface *menu = QAccessible::queryAccessibleInterface(file);
        QVERIFY(menu);
        QAccessibleInterface *item = menu->child(2);
        QVERIFY(item);
        QCOMPARE(item->text(QAccessible::Name), QStringLiteral("导入波形(I)..."));
        QVERIFY(!import->whatsThis().isEmpty());

        // The menu item reaches the command: a file of 5 values replaces the waveform.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("w.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("0.1\n0.2\n0.3\n0.4\n0.5\n");
        f.close();
        user.pushFile(path);
        ui.acceptImportDefaults();
        import->trigger();
        QCOMPARE(store.ArbLength, 5.0f);
        QCOMPARE(w.lengthText(), QStringLiteral("5"));
        QCOMPARE(store.ArbData[4], 0.5f);
        exportItem->trigger();
        QCOMPARE(ui.formQuestions, 1);
    }
};

QTEST_MAIN(TestImportDialog)
#include "tst_import_dialog.moc"

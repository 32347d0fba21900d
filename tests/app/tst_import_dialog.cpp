// The import dialog's controls and preview, and the two File menu items in
// the main window.
#include "app/FormMain.h"
#include "app/ImportDialog.h"
#include "app/QtImportExportUi.h"
#include "core/ArbStore.h"
#include "tests/support/ScriptedImportUi.h"
#include "tests/support/TestFiles.h"
#include "tests/support/WindowFixture.h"
#include "view/PlotCanvas.h"
#include "view/WavePreview.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

ImportReadResult ReadingOf(ImportTable table)
{
    ImportReadResult r;
    r.table = std::move(table);
    return r;
}

ImportReadResult ReadCorpusFile(const char *name)
{
    QByteArray bytes = arb::test::FileBytes(arb::test::TestDataDir("import_fuzz") + QLatin1Char('/') +
                                            QString::fromLatin1(name));
    QBuffer b(&bytes);
    b.open(QIODevice::ReadOnly);
    return ReadImport(b);
}

// The preview the dialog shows against one drawn from ShapeImport for the
// dialog's choices.
bool PreviewIsTheShapedImport(const ImportDialog &d, const ImportTable &table)
{
    const ImportedPoints shaped = ShapeImport(table, d.choices());
    const auto *shown = d.findChild<const WavePreview *>(QStringLiteral("picImportPreview"));
    WavePreview reference;
    reference.setFixedSize(shown->size());
    reference.showPoints(shaped.points.data(), static_cast<int>(shaped.points.size()));
    return shown->image() == reference.image();
}

// The export form choice, answered by picking entry (none: Cancel).
std::optional<ExportForm> ChooseExportForm(std::optional<int> entry)
{
    QTimer::singleShot(0, [entry] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(dialog->objectName(), QStringLiteral("ExportFormDialog"));
        if (!entry) {
            dialog->reject();
            return;
        }
        auto *box = dialog->findChild<QComboBox *>();
        QVERIFY(box);
        box->setCurrentIndex(*entry);
        dialog->accept();
    });
    return QtImportExportUi().chooseExportForm();
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
        const ImportReadResult t = ReadingOf(TwoColumns());
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
        const ImportReadResult t = ReadingOf(TwoColumns());
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

    void previewIsTheShapedImportForEveryChoice()
    {
        const ImportReadResult t = ReadingOf(TwoColumns());
        ImportDialog d(t, QStringLiteral("wave.csv"));
        auto *column = d.findChild<QComboBox *>(QStringLiteral("cobImportColumn"));
        auto *scaling = d.findChild<QComboBox *>(QStringLiteral("cobImportScaling"));
        auto *points = d.findChild<QSpinBox *>(QStringLiteral("txtImportPoints"));
        // After every single change of a control, whichever it is.
        const auto check = [&d, &t](const char *what) {
            QVERIFY2(PreviewIsTheShapedImport(d, t.table),
                     qPrintable(QStringLiteral("%1: column %2, scaling %3, %4 points")
                                    .arg(QLatin1String(what))
                                    .arg(d.choices().column)
                                    .arg(static_cast<int>(d.choices().scaling))
                                    .arg(d.choices().points)));
        };
        check("first");
        for (const int count : {100, 6}) {
            points->setValue(count);
            check("points");
            for (const int c : {0, 1}) {
                column->setCurrentIndex(c);
                check("column");
                for (const int k : {2, 0, 1}) {
                    scaling->setCurrentIndex(k);
                    QCOMPARE(d.choices().column, c);
                    QCOMPARE(static_cast<int>(d.choices().scaling), k);
                    check("scaling");
                }
            }
        }
    }

    void theDecimalMarkInDoubtIsTheUsersChoice()
    {
        // A waveform with a decimal comma: the comma first, one column.
        const ImportReadResult wave = ReadCorpusFile("decimal_comma_column.csv");
        QVERIFY(wave.otherMark);
        ImportDialog d(wave, QStringLiteral("wave.csv"));
        auto *mark = d.findChild<QComboBox *>(QStringLiteral("cobImportDecimal"));
        auto *column = d.findChild<QComboBox *>(QStringLiteral("cobImportColumn"));
        auto *fault = d.findChild<QLabel *>(QStringLiteral("LblImportFault"));
        auto *ok = d.findChild<QPushButton *>(QStringLiteral("cmdImportOk"));
        QVERIFY(mark && column && fault && ok);
        QCOMPARE(mark->accessibleName(), QStringLiteral("小数点"));
        QCOMPARE(mark->count(), 2);
        QCOMPARE(mark->itemText(0), QStringLiteral(". 点"));
        QCOMPARE(mark->itemText(1), QStringLiteral(", 逗号"));
        QCOMPARE(mark->currentText(), QStringLiteral(", 逗号"));
        QCOMPARE(d.choices().decimalMark, DecimalMark::Comma);
        QCOMPARE(column->count(), 1);
        QVERIFY(fault->isHidden());
        QVERIFY(PreviewIsTheShapedImport(d, wave.table));

        // The point: "-1" on line 3 has one column of two.
        mark->setCurrentIndex(0);
        QCOMPARE(d.choices().decimalMark, DecimalMark::Point);
        QVERIFY(!fault->isHidden());
        QCOMPARE(fault->text(), QStringLiteral("无法按此小数点读取：第 3 行的列数不对（应为 2 列）"));
        QVERIFY(!ok->isEnabled());
        QVERIFY(!column->isEnabled());
        QCOMPARE(RedPixels(d.findChild<PlotCanvas *>(QStringLiteral("picImportPreview"))->image()), 0);
        mark->setCurrentIndex(1);
        QVERIFY(ok->isEnabled());
        QVERIFY(PreviewIsTheShapedImport(d, wave.table));

        // An index that grows: two columns first; the comma makes one column
        // of its own values, and the preview follows.
        const ImportReadResult pairs = ReadCorpusFile("integer_pairs.csv");
        ImportDialog p(pairs, QStringLiteral("pairs.csv"));
        mark = p.findChild<QComboBox *>(QStringLiteral("cobImportDecimal"));
        column = p.findChild<QComboBox *>(QStringLiteral("cobImportColumn"));
        QCOMPARE(mark->currentText(), QStringLiteral(". 点"));
        QCOMPARE(column->count(), 2);
        QCOMPARE(p.findChild<QLabel *>(QStringLiteral("LblImportForm"))->text(),
                 QStringLiteral("数值表，2 列"));
        QVERIFY(PreviewIsTheShapedImport(p, pairs.table));
        mark->setCurrentIndex(1);
        QCOMPARE(column->count(), 1);
        QCOMPARE(p.findChild<QLabel *>(QStringLiteral("LblImportForm"))->text(),
                 QStringLiteral("数值表，1 列"));
        QCOMPARE(p.findChild<QLabel *>(QStringLiteral("LblImportSource"))->text(),
                 QStringLiteral("4 点，范围 0.1 ～ 3.4"));
        const ImportChoices c = p.choices();
        QCOMPARE(c.decimalMark, DecimalMark::Comma);
        QCOMPARE(c.column, 0);
        QVERIFY(PreviewIsTheShapedImport(p, pairs.otherMark->table));

        // No doubt, no choice.
        const ImportReadResult plain = ReadingOf(TwoColumns());
        QVERIFY(!ImportDialog(plain, QStringLiteral("w.csv"))
                     .findChild<QComboBox *>(QStringLiteral("cobImportDecimal")));
    }

    void exportFormsMapByTheirValue()
    {
        const auto choices = QtImportExportUi::ExportFormChoices();
        QCOMPARE(choices.size(), std::size_t{2});
        for (std::size_t i = 0; i < choices.size(); ++i) {
            QCOMPARE(ChooseExportForm(static_cast<int>(i)), std::optional<ExportForm>(choices[i].form));
            QCOMPARE(QtImportExportUi::ExportFormOf(choices[i].caption),
                     std::optional<ExportForm>(choices[i].form));
        }
        QCOMPARE(choices[0].form, ExportForm::Csv);
        QCOMPARE(choices[1].form, ExportForm::HeaderShort);
        QCOMPARE(ChooseExportForm(std::nullopt), std::optional<ExportForm>());
        QCOMPARE(QtImportExportUi::ExportFormOf(QStringLiteral("CSV")), std::optional<ExportForm>());
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
                                     "menuFileCapture", "menuBar", "menuFileExit"}));
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

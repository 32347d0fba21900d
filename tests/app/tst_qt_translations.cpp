#include "app/QtTranslations.h"
#include "tests/support/WindowFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <memory>

using namespace arb;

namespace
{

// The menu entry's caption without its shortcut column.
QStringList ContextMenuCaptions()
{
    QLineEdit field(QStringLiteral("ArbNo0"));
    std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList captions;
    for (const QAction *a : menu->actions())
        if (!a->isSeparator())
            captions << a->text().section(QLatin1Char('\t'), 0, 0);
    return captions;
}

// Every caption the window shows of its own: menus, buttons, frames, labels
// and its title; not the clock of the status bar, which moves on.
QStringList WindowCaptions()
{
    test::WindowFixture f;
    QStringList captions{f.window->windowTitle()};
    for (const QAction *a : f.window->findChildren<QAction *>())
        captions << a->text() + QLatin1Char('|') + a->toolTip() + QLatin1Char('|') + a->statusTip();
    for (const QAbstractButton *b : f.window->findChildren<QAbstractButton *>())
        captions << b->text() + QLatin1Char('|') + b->toolTip();
    for (const QGroupBox *g : f.window->findChildren<QGroupBox *>())
        captions << g->title();
    for (const QLabel *l : f.window->findChildren<QLabel *>())
        if (l->objectName() != QLatin1String("sbrStatus_panel4") &&
            l->objectName() != QLatin1String("sbrStatus_panel6"))
            captions << l->text();
    return captions;
}

} // namespace

class TestQtTranslations : public QObject
{
    Q_OBJECT

  private slots:
    // Loaded as the program loads them at start-up, whatever the language of
    // the machine running the test.
    void qtsOwnTextsAreChinese()
    {
        const QStringList english = ContextMenuCaptions();
        QVERIFY(english.contains(QStringLiteral("&Undo")));
        const QStringList ownCaptions = WindowCaptions();
        QVERIFY2(InstallQtChineseTranslations(*qApp),
                 "qtbase_zh_CN.qm is missing from Qt's translations folder: install qt6-translations-l10n");

        const QStringList menu = ContextMenuCaptions();
        for (const char *caption :
             {"撤消(&U)", "重做(&R)", "剪切(&T)", "复制(&C)", "粘贴(&P)", "删除", "全选"})
            QVERIFY2(menu.contains(QString::fromUtf8(caption)), caption);

        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("是(&Y)"));

        // Qt's own file dialog, as where the desktop offers none.
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto *lookIn = dialog.findChild<QLabel *>(QStringLiteral("lookInLabel"));
        auto *fileName = dialog.findChild<QLabel *>(QStringLiteral("fileNameLabel"));
        QVERIFY(lookIn && fileName);
        QCOMPARE(lookIn->text(), QStringLiteral("查找范围："));
        QCOMPARE(fileName->text(), QStringLiteral("文件名称(&N)："));

        // The program's own captions are its fixed texts: none of them is
        // changed by Qt's catalogue.
        QCOMPARE(WindowCaptions(), ownCaptions);
    }
};

QTEST_MAIN(TestQtTranslations)
#include "tst_qt_translations.moc"

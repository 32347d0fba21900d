#include "view/QtUserPrompt.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace arb
{

QString ApplicationTitle()
{
    return QStringLiteral("任意波生成软件");
}

QString ToQtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i];
        const QString pattern = parts[i + 1];
        // The label usually shows its pattern already: "文件(*.txt)".
        if (!label.contains(pattern))
            label += QStringLiteral(" (%1)").arg(pattern);
        else if (!label.contains(QStringLiteral(" (")))
            label.replace(QStringLiteral("(") + pattern, QStringLiteral(" (") + pattern);
        entries << label;
    }
    return entries.join(QStringLiteral(";;"));
}

QtUserPrompt::QtUserPrompt(QWidget *parent) : parent_(parent) {}

void QtUserPrompt::message(const QString &text, const QString &title, MessageIcon icon)
{
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    switch (icon) {
    case MessageIcon::None: qtIcon = QMessageBox::NoIcon; break;
    case MessageIcon::Information: qtIcon = QMessageBox::Information; break;
    case MessageIcon::Exclamation: qtIcon = QMessageBox::Warning; break;
    case MessageIcon::Critical: qtIcon = QMessageBox::Critical; break;
    }
    QMessageBox box(qtIcon, title.isEmpty() ? ApplicationTitle() : title, text, QMessageBox::NoButton,
                    parent_);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

QString QtUserPrompt::input(const QString &prompt, const QString &title, const QString &defaultText)
{
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(title.isEmpty() ? ApplicationTitle() : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.textValue();
}

std::optional<QString> QtUserPrompt::openFile(const QString &title, const QString &filter)
{
    QFileDialog dialog(parent_, title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(ToQtFileFilter(filter));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtUserPrompt::saveFile(const QString &title, const QString &filter)
{
    QFileDialog dialog(parent_, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(ToQtFileFilter(filter));
    // The name is written as typed: no ending is added.
    dialog.setDefaultSuffix(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace arb

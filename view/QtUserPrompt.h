#pragma once

#include "view/UserPrompt.h"

#include <QPointer>
#include <QWidget>

namespace arb
{

// Converts a "label|pattern|label|pattern" filter to the form of QFileDialog.
QString ToQtFileFilter(const QString &filter);

// Message boxes, input boxes and file dialogs of the desktop.
class QtUserPrompt final : public UserPrompt
{
  public:
    explicit QtUserPrompt(QWidget *parent = nullptr);
    void setParentWidget(QWidget *parent) { parent_ = parent; }

    void message(const QString &text, const QString &title, MessageIcon icon) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> openFile(const QString &title, const QString &filter) override;
    std::optional<QString> saveFile(const QString &title, const QString &filter) override;

  private:
    QPointer<QWidget> parent_;
};

} // namespace arb

#include "app/CaptureDialog.h"

#include "view/PopupComboBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <utility>

namespace arb
{

CaptureDialog::CaptureDialog(std::function<QStringList()> instruments, QWidget *parent)
    : QDialog(parent), instruments_(std::move(instruments))
{
    setObjectName(QStringLiteral("CaptureDialog"));
    setWindowTitle(QStringLiteral("从示波器导入"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;

    instrumentList_ = new PopupComboBox(this);
    instrumentList_->setObjectName(QStringLiteral("cobCaptureInstrument"));
    instrumentList_->setAccessibleName(QStringLiteral("仪器"));
    instrumentList_->setMinimumContentsLength(36);
    instrumentList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    form->addRow(QStringLiteral("仪器："), instrumentList_);

    address_ = new QLineEdit(this);
    address_->setObjectName(QStringLiteral("txtCaptureAddress"));
    address_->setAccessibleName(QStringLiteral("地址"));
    address_->setPlaceholderText(QStringLiteral("例如 192.168.1.20 或 TCPIP0::192.168.1.20::INSTR"));
    address_->setMaxLength(1024);
    form->addRow(QStringLiteral("地址："), address_);

    channel_ = new QComboBox(this);
    channel_->setObjectName(QStringLiteral("cobCaptureChannel"));
    channel_->setAccessibleName(QStringLiteral("通道"));
    channel_->addItems(
        {QStringLiteral("CH1"), QStringLiteral("CH2"), QStringLiteral("CH3"), QStringLiteral("CH4")});
    form->addRow(QStringLiteral("通道："), channel_);
    layout->addLayout(form);

    auto *note = new QLabel(
        QStringLiteral("读取示波器所选通道当前显示的记录，换算为伏特后在“导入波形”对话框中打开。"), this);
    note->setObjectName(QStringLiteral("LblCaptureNote"));
    note->setWordWrap(true);
    layout->addWidget(note);

    auto *buttons = new QDialogButtonBox(this);
    read_ = buttons->addButton(QStringLiteral("读取"), QDialogButtonBox::ActionRole);
    read_->setObjectName(QStringLiteral("cmdCaptureRead"));
    read_->setAccessibleName(QStringLiteral("读取"));
    read_->setDefault(true);
    QPushButton *close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdCaptureClose"));
    close->setAccessibleName(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(read_, &QPushButton::clicked, this, &CaptureDialog::readRequested);
    layout->addWidget(buttons);

    // Choosing an instrument puts its address in the field; the list itself
    // is read again each time it opens.
    connect(instrumentList_, &PopupComboBox::popupAboutToShow, this, &CaptureDialog::refreshInstruments);
    connect(instrumentList_, &QComboBox::activated, this,
            [this](int index) { address_->setText(instrumentList_->itemText(index)); });
    refreshInstruments();
    address_->setFocus();
}

void CaptureDialog::refreshInstruments()
{
    const QStringList names = instruments_ ? instruments_() : QStringList();
    const QString current = instrumentList_->currentText();
    const QSignalBlocker quiet(instrumentList_);
    instrumentList_->clear();
    instrumentList_->addItems(names);
    instrumentList_->setCurrentIndex(names.indexOf(current));
}

QString CaptureDialog::addressText() const
{
    return address_->text();
}

void CaptureDialog::setAddressText(const QString &text)
{
    address_->setText(text);
}

int CaptureDialog::channel() const
{
    return channel_->currentIndex() + 1;
}

void CaptureDialog::setChannel(int channel)
{
    channel_->setCurrentIndex(qBound(1, channel, 4) - 1);
}

} // namespace arb

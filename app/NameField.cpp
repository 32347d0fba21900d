#include "app/NameField.h"

#include "app/MainControls.h"

#include "core/NameRules.h"
#include "core/WaveDocument.h"
#include "view/EntryFilter.h"
#include "view/UserPrompt.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWidget>
#include <algorithm>

namespace arb
{

namespace
{

constexpr int kLastSlot = 9;

} // namespace

NameField::NameField(const MainControls &c, WaveDocument &document, UserPrompt &prompt, QObject *parent)
    : QObject(parent), document_(document), prompt_(prompt), txtName_(c.txtName),
      VScroll_ArbNumber_(c.VScroll_ArbNumber), Label_ArbNumber_(c.Label_ArbNumber)
{
    if (Label_ArbNumber_) {
        Label_ArbNumber_->setText(QString::number(document_.slot()));
        connect(&document_, &WaveDocument::slotChanged, this,
                [this](int slot) { Label_ArbNumber_->setText(QString::number(slot)); });
    }
    if (txtName_) {
        txtName_->setText(document_.nameText());
        // Only ASCII letters and digits make a name; an input method would
        // bring in other characters past the key rule.
        txtName_->setAttribute(Qt::WA_InputMethodEnabled, false);
        txtName_->installEventFilter(this);
        connect(txtName_, &QLineEdit::textChanged, this, &NameField::txtName_Change);
        connect(&document_, &WaveDocument::nameTextChanged, this, &NameField::showDocumentName);
    }
}

void NameField::startUp()
{
    if (Label_ArbNumber_)
        Label_ArbNumber_->setAlignment(Qt::AlignCenter);
    if (!VScroll_ArbNumber_)
        return;
    {
        // The selector's top stands for slot 9 and its bottom for slot 0, so
        // the upper arrow counts up: the bar's own value runs the other way.
        const QSignalBlocker quiet(VScroll_ArbNumber_);
        VScroll_ArbNumber_->setRange(0, kLastSlot);
        VScroll_ArbNumber_->setSingleStep(1);
        VScroll_ArbNumber_->setPageStep(1);
        VScroll_ArbNumber_->setValue(kLastSlot);
    }
    connect(VScroll_ArbNumber_, &QScrollBar::valueChanged, this, &NameField::VScroll_ArbNumber_Change,
            Qt::UniqueConnection);
}

int NameField::slot() const
{
    if (!VScroll_ArbNumber_)
        return 0;
    return kLastSlot - std::clamp(VScroll_ArbNumber_->value(), 0, kLastSlot);
}

void NameField::setSlot(int slot)
{
    if (VScroll_ArbNumber_)
        VScroll_ArbNumber_->setValue(kLastSlot - std::clamp(slot, 0, kLastSlot));
}

QString NameField::DefaultName() const
{
    return document_.defaultName();
}

QString NameField::Name() const
{
    return document_.name();
}

bool NameField::NameChanged() const
{
    return document_.NameChanged();
}

void NameField::showDocumentName()
{
    if (txtName_->text() != document_.nameText())
        SetNameText(document_.nameText());
}

void NameField::SetNameText(const QString &text)
{
    if (!txtName_)
        return;
    // A name from a file obeys the key rule as a typed one does: what is not
    // a letter or digit never reaches the generator's command.
    const QString kept = NameCharactersOf(text);
    const QString name = kept.isEmpty() ? DefaultName() : kept;
    if (txtName_->text() == name)
        txtName_Change();
    else
        txtName_->setText(name);
}

void NameField::txtName_Change()
{
    // Setting the corrected text raises the change again; the corrected
    // text needs no second look.
    if (adjusting_)
        return;
    // Typing is filtered key by key; text pasted, dropped or set by the
    // program arrives here whole and is held to the same rules, so that the
    // generator's command never carries anything but letters and digits.
    const QString text = txtName_->text();
    const NameCheck check = CheckArbName(text, txtName_->cursorPosition());
    if (check.text != text) {
        if (check.tooLong)
            prompt_.message(NameLengthMessage(), QString(), MessageIcon::Critical);
        adjusting_ = true;
        txtName_->setText(check.text);
        txtName_->setCursorPosition(check.caret);
        adjusting_ = false;
    }
    // A text other than the default name sets NameChanged.
    document_.setName(txtName_->text());
}

void NameField::VScroll_ArbNumber_Change()
{
    // The read-out follows, and a default name follows the slot.
    document_.setSlot(slot());
}

void NameField::leaveName()
{
    if (!txtName_->text().isEmpty())
        return;
    prompt_.message(NameLengthMessage(), QString(), MessageIcon::Critical);
    txtName_->setText(DefaultName());
}

bool NameField::acceptCharacter(int code)
{
    if (NameKeyAccepted(code))
        return true;
    prompt_.message(NameKeyMessage(), NameKeyTitle(), MessageIcon::Exclamation);
    return false;
}

bool NameField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != txtName_)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int code = TypedCharacter(*static_cast<QKeyEvent *>(event));
        if (code < 0)
            return false;
        if (!acceptCharacter(code))
            return true;
        if (code == kKeyEnter)
            leaveName();
        return false;
    }
    case QEvent::InputMethod: {
        auto *im = static_cast<QInputMethodEvent *>(event);
        if (im->commitString().isEmpty())
            return false;
        for (const QChar c : im->commitString()) {
            if (acceptCharacter(c.unicode()))
                txtName_->insert(QString(c));
        }
        return true;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            leaveName();
        return false;
    }
    default: return false;
    }
}

} // namespace arb

#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QLineEdit;
class QScrollBar;

namespace arb
{

class UserPrompt;
class WaveDocument;
struct MainControls;

// The waveform's name in the generator (txtName) and the slot it belongs to
// (VScroll_ArbNumber with its read-out Label_ArbNumber), both the document's:
// the field and the read-out show the document's, and what the user types or
// selects goes into it. A name is one to six ASCII letters or digits; "ArbNo"
// followed by the slot is the default name. NameChanged tells that the name
// has been changed from that default.
//
// Typed keys are judged one by one (a refused key is reported); text that
// comes in whole (the context menu's paste, a middle click, a drop, the
// program's own setText, a name another part of the program gives the
// document) keeps only its letters and digits, and more than six of them are
// cut with the length message, as typing them would be.
//
// An empty name is not kept: leaving the emptied field (or pressing Enter in
// it) shows the name-length message and puts the default name back, and an
// empty name set by another part of the program becomes the default name
// silently. Either way NameChanged stays as it was.
class NameField : public QObject
{
    Q_OBJECT
  public:
    // Works on txtName, VScroll_ArbNumber and Label_ArbNumber of c (those
    // of them that are there).
    NameField(const MainControls &c, WaveDocument &document, UserPrompt &prompt, QObject *parent = nullptr);

    // Start-up: the slot read-out centred, the slot selector at 0 with the
    // range 0..9, its upper arrow counting up.
    void startUp();

    bool NameChanged() const;
    // Sets the name as another part of the program does (the file reader,
    // through the document), under the same rules as typing: only its
    // letters and digits are kept, a name longer than six is cut with the
    // length message, and a name with nothing left becomes the default name.
    void SetNameText(const QString &text);
    // The name as the field holds it; the default name while it is empty.
    QString Name() const;
    // "ArbNo" followed by the slot read-out.
    QString DefaultName() const;
    // The slot shown by the selector, 0..9.
    int slot() const;
    void setSlot(int slot);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    // The document's name, when it is not the field's text already.
    void showDocumentName();
    void txtName_Change();
    void VScroll_ArbNumber_Change();
    // Puts the default name back when the field is left empty.
    void leaveName();
    // True when the typed character may go into the name.
    bool acceptCharacter(int code);

    WaveDocument &document_;
    UserPrompt &prompt_;
    QLineEdit *txtName_ = nullptr;
    QScrollBar *VScroll_ArbNumber_ = nullptr;
    QLabel *Label_ArbNumber_ = nullptr;
    bool adjusting_ = false;
};

} // namespace arb

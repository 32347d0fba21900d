#pragma once

#include "core/ArbStore.h"

#include <QObject>
#include <QString>

namespace arb
{

// The one waveform the editor holds: its points and length (an ArbStore),
// the name it has in the generator and the slot it goes to. Reading is free;
// every change goes through the functions below, and each announces what it
// changed, so that the plot, the length and name fields and the undo history
// follow without being told by the command that made the change.
//
// Two kinds of change:
// - a new waveform (replaceAll, replacePoints, replaceRange): the change is
//   announced, then a changed name goes back to the default and replaced()
//   is announced, on which the plot is drawn in full;
// - an edit in place (the others): only the change is announced. A freehand
//   stroke's steps (drawLine) are redrawn where they were drawn; what else
//   changes this way (a file that failed half-way, the scaling of a save) is
//   shown at the next full redraw.
//
// A routine of core/ that works on an ArbStore works on a copy of store(),
// which is then handed back whole.
class WaveDocument : public QObject
{
    Q_OBJECT
  public:
    explicit WaveDocument(QObject *parent = nullptr);

    const ArbStore &store() const { return store_; }
    float length() const { return store_.ArbLength; }

    // The name as it was last set: the name field's text, which is empty
    // while the user has emptied the field.
    const QString &nameText() const { return name_; }
    // The name the generator and a saved file get: the default name while
    // the name is empty.
    QString name() const;
    // "ArbNo" followed by the slot.
    QString defaultName() const;
    // The slot in the generator, 0..9.
    int slot() const { return slot_; }
    // Whether the name has been other than the default since it last went
    // back to it (by a new waveform or by the slot).
    bool NameChanged() const { return nameChanged_; }

    // A new waveform: the points, extremes and output scale of next, and its
    // length, which is announced even when it is the length already (so
    // that a length typed and not yet committed gives way to it).
    void replaceAll(const ArbStore &next);
    // A new waveform at the same length: the points, extremes and output
    // scale of next.
    void replacePoints(const ArbStore &next);
    // A new waveform at the same length: points first..first+count-1 from
    // values (those outside the buffer are left out).
    void replaceRange(int first, const float *values, int count);

    // Edits in place. The points, extremes and output scale of next; the
    // length stays.
    void assign(const ArbStore &next);
    void setPoints(int first, const float *values, int count);
    void setPoint(int index, float value);
    // One step of a freehand stroke: the straight line of ForEachLinePoint
    // from the point at `from` to value at `to`; announced as lineDrawn. A
    // line with an end outside the buffer is no line.
    void drawLine(int from, int to, float value);
    // Announced even when it is the length already.
    void setLength(float length);

    // The name as given, kept as it is: a listener (the name field) may put
    // its own rules on it at once. A name other than the default, as it
    // stands once the listeners have run, sets NameChanged.
    void setName(const QString &text);
    // Held to 0..9. A name that was the old slot's default follows the slot,
    // and NameChanged is cleared with it.
    void setSlot(int slot);
    // A changed name goes back to the default, and NameChanged is cleared;
    // every new waveform does this.
    void resetChangedName();

    // The start and the end of one user command that may change the
    // waveform (use WaveStep). Nothing is held here; the undo history
    // listens.
    void beginStep(const QString &label);
    void endStep();

  signals:
    // Points changed (bit for bit), the first at first and the last at last;
    // nothing is announced for a change that changed no point.
    void pointsChanged(int first, int last);
    void lengthChanged(float length);
    // Read the name with nameText(): a listener may already have changed it
    // again when a later one hears of it.
    void nameTextChanged();
    void slotChanged(int slot);
    // A new waveform, to be drawn in full; after its changes and the name.
    void replaced();
    // A freehand step from `from` to `to` (drawLine), after pointsChanged.
    void lineDrawn(int from, int to);
    void stepBegun(const QString &label);
    void stepEnded();

  private:
    // Takes the points of next that differ and announces them.
    void takePoints(const ArbStore &next);
    void takeDerived(const ArbStore &next);
    void newWaveform();

    ArbStore store_;
    QString name_;
    int slot_ = 0;
    bool nameChanged_ = false;
};

} // namespace arb

#pragma once

#include "core/UndoHistory.h"

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QLineEdit;

namespace arb
{

class WaveformHost;

// "撤销(&U)" and "重做(&R)" of the menu "任意波&A": undo and redo of every
// change of the waveform. The commands mark their start and end on the
// document (WaveStep); a freehand stroke is marked from press to release, a
// trace read from its request to the taking or failure of the trace.
// Whatever changes in between becomes one step of the history; the document
// tells which points changed, and only those are compared. Undo and redo are
// refused while a command, a stroke or a trace read is under way and while a
// download reads the waveform.
class UndoCommands : public QObject
{
    Q_OBJECT
  public:
    // Connects the menu items undo (mnuArbUndo) and redo (mnuArbRedo), either
    // of which may be none; their shortcuts go to whichever of the text
    // fields has the focus. The waveform as it is now is the base of the
    // first step.
    UndoCommands(QAction *undo, QAction *redo, const QList<QLineEdit *> &fields, WaveformHost &host,
                 QObject *parent = nullptr);

    // Whether a download is reading the waveform now.
    void setTransferSource(std::function<bool()> busy) { transferBusy_ = std::move(busy); }

    // A synchronous command (WaveDocument::beginStep/endStep).
    void beginCommand(const QString &label);
    void endCommand();
    // A freehand stroke, which wrote no point outside first..last.
    void beginStroke();
    void endStroke(int first, int last);
    // A trace read from the oscilloscope. Starting again while one is under
    // way, or ending one that is not, changes nothing.
    void beginCapture();
    void endCapture();

    // Whether undo and redo may run now.
    bool idle() const;
    const UndoHistory &history() const { return history_; }

    static QString StrokeLabel();  // "绘制波形"
    static QString CaptureLabel(); // "读取数据"
    // A change made outside any marked command, recorded before the next
    // one or before an undo.
    static QString UnmarkedLabel(); // "修改波形"

  public slots:
    void mnuArbUndo_Click();
    void mnuArbRedo_Click();
    // Enabled states and status tips.
    void refresh();

  protected:
    // A text field keeps the keys of undo and redo for itself.
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    bool open() const { return depth_ > 0 || stroke_ || capture_; }
    void opening(const QString &label, int first, int last);
    void closing();
    bool recordUnmarked();
    // Records points first..last as far as they changed, and the length.
    bool record(const QString &label, int first, int last);
    void pointsChanged(int first, int last);
    // The waveform an undo or a redo left in next becomes the document's.
    void restored(const ArbStore &next);

    WaveformHost &host_;
    UndoHistory history_;
    QAction *undo_ = nullptr;
    QAction *redo_ = nullptr;
    std::function<bool()> transferBusy_;

    int depth_ = 0;
    bool stroke_ = false;
    bool capture_ = false;
    // Of the outermost command under way: its name and the points compared.
    QString label_;
    int first_ = 0;
    int last_ = kArbBufferSize - 1;
    // The points changed since the history last saw them; no point outside
    // them differs from the history's copy.
    int changedFirst_ = kArbBufferSize;
    int changedLast_ = -1;
};

} // namespace arb

#include "app/UndoCommands.h"

#include "app/WaveformHost.h"
#include "core/WaveDocument.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>
#include <algorithm>

namespace arb
{

QString UndoCommands::StrokeLabel()
{
    return QStringLiteral("绘制波形");
}

QString UndoCommands::CaptureLabel()
{
    return QStringLiteral("读取数据");
}

QString UndoCommands::UnmarkedLabel()
{
    return QStringLiteral("修改波形");
}

UndoCommands::UndoCommands(QAction *undo, QAction *redo, const QList<QLineEdit *> &fields, WaveformHost &host,
                           QObject *parent)
    : QObject(parent), host_(host), undo_(undo), redo_(redo)
{
    WaveDocument &document = host_.document();
    history_.reset(document.store());
    connect(&document, &WaveDocument::stepBegun, this, &UndoCommands::beginCommand);
    connect(&document, &WaveDocument::stepEnded, this, &UndoCommands::endCommand);
    connect(&document, &WaveDocument::pointsChanged, this, &UndoCommands::pointsChanged);
    for (QLineEdit *field : fields)
        field->installEventFilter(this);
    if (undo_)
        connect(undo_, &QAction::triggered, this, &UndoCommands::mnuArbUndo_Click);
    if (redo_)
        connect(redo_, &QAction::triggered, this, &UndoCommands::mnuArbRedo_Click);
    refresh();
}

bool UndoCommands::idle() const
{
    return !open() && !(transferBusy_ && transferBusy_());
}

void UndoCommands::refresh()
{
    const bool canRun = idle();
    if (undo_) {
        undo_->setEnabled(canRun && history_.canUndo());
        undo_->setStatusTip(history_.canUndo() ? QStringLiteral("撤销：") + history_.undoLabel()
                                               : QStringLiteral("没有可撤销的操作"));
    }
    if (redo_) {
        redo_->setEnabled(canRun && history_.canRedo());
        redo_->setStatusTip(history_.canRedo() ? QStringLiteral("重做：") + history_.redoLabel()
                                               : QStringLiteral("没有可重做的操作"));
    }
}

void UndoCommands::pointsChanged(int first, int last)
{
    changedFirst_ = std::min(changedFirst_, first);
    changedLast_ = std::max(changedLast_, last);
}

bool UndoCommands::record(const QString &label, int first, int last)
{
    const int from = std::max(first, changedFirst_);
    const int to = std::min(last, changedLast_);
    const bool made = history_.record(host_.document().store(), label, from, to);
    // The history's copy now holds from..to as the waveform does.
    if (from <= changedFirst_ && to >= changedLast_) {
        changedFirst_ = kArbBufferSize;
        changedLast_ = -1;
    } else if (from <= changedFirst_ && to >= changedFirst_) {
        changedFirst_ = to + 1;
    } else if (from <= changedLast_ && to >= changedLast_) {
        changedLast_ = from - 1;
    }
    return made;
}

bool UndoCommands::recordUnmarked()
{
    return record(UnmarkedLabel(), 0, kArbBufferSize - 1);
}

void UndoCommands::opening(const QString &label, int first, int last)
{
    if (open()) {
        first_ = std::min(first_, first);
        last_ = std::max(last_, last);
        return;
    }
    label_ = label;
    first_ = first;
    last_ = last;
}

void UndoCommands::closing()
{
    if (open())
        return;
    record(label_, first_, last_);
    refresh();
}

void UndoCommands::beginCommand(const QString &label)
{
    if (!open())
        recordUnmarked();
    opening(label, 0, kArbBufferSize - 1);
    ++depth_;
}

void UndoCommands::endCommand()
{
    if (depth_ == 0)
        return;
    --depth_;
    closing();
}

void UndoCommands::beginStroke()
{
    // Only the points the stroke reached are compared, so that its step
    // costs little: no look for unmarked changes here. Such a change among
    // those points joins the stroke's step, one elsewhere waits for the next
    // command.
    if (stroke_)
        return;
    opening(StrokeLabel(), kArbBufferSize, -1);
    stroke_ = true;
}

void UndoCommands::endStroke(int first, int last)
{
    if (!stroke_)
        return;
    stroke_ = false;
    first_ = std::min(first_, first);
    last_ = std::max(last_, last);
    closing();
}

void UndoCommands::beginCapture()
{
    // Also at the taking of a trace whose points came after its read had
    // ended (judged failed, or a second USB request): those points join it.
    if (capture_)
        return;
    opening(CaptureLabel(), 0, kArbBufferSize - 1);
    capture_ = true;
    refresh();
}

void UndoCommands::endCapture()
{
    if (!capture_)
        return;
    capture_ = false;
    closing();
}

void UndoCommands::restored(const ArbStore &next)
{
    // A new waveform with its length, as the history's copy holds it now.
    host_.document().replaceAll(next);
    changedFirst_ = kArbBufferSize;
    changedLast_ = -1;
    refresh();
}

void UndoCommands::mnuArbUndo_Click()
{
    if (!idle())
        return;
    // A change nobody marked is the first to go.
    recordUnmarked();
    ArbStore next = host_.document().store();
    if (history_.undo(next))
        restored(next);
}

void UndoCommands::mnuArbRedo_Click()
{
    if (!idle())
        return;
    // A change nobody marked is a new step: it drops what could be redone.
    if (recordUnmarked()) {
        refresh();
        return;
    }
    ArbStore next = host_.document().store();
    if (history_.redo(next))
        restored(next);
}

bool UndoCommands::eventFilter(QObject *watched, QEvent *event)
{
    // A read-only field has no undo of its own: the keys go on to the menu.
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (event->type() != QEvent::ShortcutOverride || !field || field->isReadOnly())
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const QKeySequence pressed(key->keyCombination());
    const bool undoKey = undo_ && undo_->shortcuts().contains(pressed);
    const bool redoKey = redo_ && redo_->shortcuts().contains(pressed);
    if (undoKey || redoKey) {
        // The field, not the menu, gets the key press, whichever keys the
        // platform gives the field's own undo and redo.
        key->accept();
        return true;
    }
    return false;
}

} // namespace arb

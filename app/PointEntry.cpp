#include "app/PointEntry.h"

#include "app/MainControls.h"

#include "app/WaveformHost.h"
#include "core/ArbStore.h"
#include "core/EntryRules.h"
#include "core/WaveDocument.h"
#include "core/WaveStep.h"
#include "view/EntryFilter.h"
#include "view/UserPrompt.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

namespace arb
{

PointEntry::PointEntry(const MainControls &c, WaveformHost &host, QObject *parent)
    : QObject(parent), host_(host), Text_ArbLineStartX_(c.Text_ArbLineStartX),
      Text_ArbLineStartY_(c.Text_ArbLineStartY), Text_ArbLineStopX_(c.Text_ArbLineStopX),
      Text_ArbLineStopY_(c.Text_ArbLineStopY)
{
    attachIndex(Text_ArbLineStartX_, lineStartX_);
    attachIndex(Text_ArbLineStopX_, lineStopX_);
    attachValue(Text_ArbLineStartY_, lineStartY_);
    attachValue(Text_ArbLineStopY_, lineStopY_);
    if (Text_ArbLineStartX_)
        Text_ArbLineStartX_->installEventFilter(this);

    if (c.Command_ArbPoint)
        connect(c.Command_ArbPoint, &QPushButton::clicked, this, &PointEntry::Command_ArbPoint_Click);
    if (c.Command_ArbLine)
        connect(c.Command_ArbLine, &QPushButton::clicked, this, &PointEntry::Command_ArbLine_Click);
}

void PointEntry::attachIndex(QLineEdit *field, int &variable)
{
    if (!field)
        return;
    auto *filter = new EntryFilter(field, EntryKind::Index, host_.prompt());
    connect(filter, &EntryFilter::commitRequested, this,
            [this, field, &variable] { commitIndex(field, variable); });
}

void PointEntry::attachValue(QLineEdit *field, float &variable)
{
    if (!field)
        return;
    auto *filter = new EntryFilter(field, EntryKind::Value, host_.prompt());
    connect(filter, &EntryFilter::commitRequested, this,
            [this, field, &variable] { commitValue(field, variable); });
}

void PointEntry::startUp()
{
    if (Text_ArbLineStartX_)
        commitIndex(Text_ArbLineStartX_, lineStartX_);
    if (Text_ArbLineStopX_)
        commitIndex(Text_ArbLineStopX_, lineStopX_);
    if (Text_ArbLineStartY_)
        commitValue(Text_ArbLineStartY_, lineStartY_);
    if (Text_ArbLineStopY_)
        commitValue(Text_ArbLineStopY_, lineStopY_);
}

void PointEntry::commitIndex(QLineEdit *field, int &variable)
{
    const float length = host_.document().length();
    const IndexCommit c = CommitIndexText(field->text(), length);
    if (c.outOfRange)
        host_.prompt().message(IndexRangeMessage(length), QString(), MessageIcon::Critical);
    field->setText(c.text);
    variable = c.value;
}

void PointEntry::commitValue(QLineEdit *field, float &variable)
{
    const ValueCommit c = CommitValueText(field->text());
    if (c.outOfRange)
        host_.prompt().message(ValueRangeMessage(), QString(), MessageIcon::Critical);
    field->setText(c.text);
    variable = c.value;
    field->setCursorPosition(static_cast<int>(c.text.size()));
}

void PointEntry::writePoint(ArbStore &points, long long index, double value)
{
    if (index < 0 || index >= kArbBufferSize)
        return;
    points.ArbData[static_cast<std::size_t>(index)] = static_cast<float>(value);
}

void PointEntry::Command_ArbPoint_Click()
{
    WaveDocument &document = host_.document();
    const WaveStep step(document, QStringLiteral("输入点"));
    ArbStore next = document.store();
    writePoint(next, lineStartX_, static_cast<double>(lineStartY_));
    if (Text_ArbLineStartX_ && Text_ArbLineStartY_ && Text_ArbLineStopX_ && Text_ArbLineStopY_) {
        Text_ArbLineStopY_->setText(Text_ArbLineStartY_->text());
        Text_ArbLineStopX_->setText(Text_ArbLineStartX_->text());
        lineStopY_ = EntryTextToSingle(Text_ArbLineStartY_->text());
        lineStopX_ = EntryTextToInt(Text_ArbLineStopX_->text()).value_or(0);
    }
    document.replacePoints(next);
}

void PointEntry::Command_ArbLine_Click()
{
    WaveDocument &document = host_.document();
    const WaveStep step(document, QStringLiteral("输入线段"));
    ArbStore next = document.store();
    writePoint(next, lineStartX_, static_cast<double>(lineStartY_));
    if (lineStartX_ < lineStopX_) {
        const double rise = static_cast<double>(lineStopY_) - static_cast<double>(lineStartY_);
        const double span = static_cast<double>(lineStopX_) - static_cast<double>(lineStartX_);
        const long long last = std::min<long long>(lineStopX_, kArbBufferSize - 1);
        for (long long i = std::max(lineStartX_, 0); i <= last; ++i) {
            const double offset = static_cast<double>(i - lineStartX_);
            writePoint(next, i, rise * offset / span + static_cast<double>(lineStartY_));
        }
    }
    document.replacePoints(next);
}

void PointEntry::mnuArbLineDraw_Click()
{
    if (Text_ArbLineStartX_)
        Text_ArbLineStartX_->setFocus(Qt::OtherFocusReason);
}

bool PointEntry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Text_ArbLineStartX_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A press selects the whole index, so that typing replaces it; the
        // field's own press handling would put the caret under the mouse.
        Text_ArbLineStartX_->setFocus(Qt::MouseFocusReason);
        Text_ArbLineStartX_->selectAll();
        swallowingMouse_ = true;
        return true;
    case QEvent::MouseMove:
        return swallowingMouse_ && static_cast<QMouseEvent *>(event)->buttons() != Qt::NoButton;
    case QEvent::MouseButtonRelease: {
        const bool swallow = swallowingMouse_;
        if (static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton)
            swallowingMouse_ = false;
        return swallow;
    }
    default: return false;
    }
}

} // namespace arb

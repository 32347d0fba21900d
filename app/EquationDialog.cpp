#include "app/EquationDialog.h"

#include "core/ArbStore.h"
#include "core/equation/EquationExamples.h"
#include "view/WavePreview.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace arb
{

namespace
{

// A formula is typed on one line; far longer ones are not formulas.
constexpr int kMaxEquationLength = 1000;

QSpinBox *PointField(const char *name, const QString &accessibleName, int last, QWidget *parent)
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(QString::fromLatin1(name));
    s->setAccessibleName(accessibleName);
    s->setRange(0, last);
    return s;
}

} // namespace

QStringList EquationDialog::OverflowCaptions()
{
    return {QStringLiteral("按峰值缩放"), QStringLiteral("截断到 ±1")};
}

EquationDialog::EquationDialog(const ArbStore &store, const QStringList &history, QWidget *parent)
    : QDialog(parent), store_(store)
{
    setObjectName(QStringLiteral("EquationDialog"));
    setWindowTitle(QStringLiteral("任意公式"));
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    preview_ = new WavePreview(this);
    preview_->setObjectName(QStringLiteral("picEquationPreview"));
    preview_->setAccessibleName(QStringLiteral("公式预览"));
    preview_->setFixedSize(560, 220);
    layout->addWidget(preview_);

    auto *form = new QFormLayout;
    text_ = new QComboBox(this);
    text_->setObjectName(QStringLiteral("cobEquation"));
    text_->setAccessibleName(QStringLiteral("公式"));
    text_->setEditable(true);
    text_->setInsertPolicy(QComboBox::NoInsert);
    // Completing while typing would put another formula in the preview.
    text_->setCompleter(nullptr);
    text_->lineEdit()->setMaxLength(kMaxEquationLength);
    text_->addItems(history);
    text_->setEditText(history.isEmpty() ? FirstEquation() : history.first());
    text_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    form->addRow(QStringLiteral("公式："), text_);

    examples_ = new QListWidget(this);
    examples_->setObjectName(QStringLiteral("lstEquationExamples"));
    examples_->setAccessibleName(QStringLiteral("示例"));
    for (const EquationExample &e : EquationExamples()) {
        auto *item = new QListWidgetItem(e.name + QStringLiteral("：") + e.text, examples_);
        item->setData(Qt::UserRole, e.text);
    }
    examples_->setFixedHeight(examples_->sizeHintForRow(0) * 5 + 2 * examples_->frameWidth());
    form->addRow(QStringLiteral("示例："), examples_);

    const int lastPoint = std::max(store.PointCount() - 1, 0);
    auto *range = new QHBoxLayout;
    first_ = PointField("txtEquationStart", QStringLiteral("起点"), lastPoint, this);
    last_ = PointField("txtEquationEnd", QStringLiteral("终点"), lastPoint, this);
    last_->setValue(lastPoint);
    seed_ = new QSpinBox(this);
    seed_->setObjectName(QStringLiteral("txtEquationSeed"));
    seed_->setAccessibleName(QStringLiteral("随机种子"));
    seed_->setRange(0, std::numeric_limits<int>::max());
    seed_->setValue(1);
    const auto caption = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    range->addWidget(first_);
    range->addWidget(caption(QStringLiteral("终点："), last_));
    range->addWidget(last_);
    range->addSpacing(16);
    range->addWidget(caption(QStringLiteral("随机种子："), seed_));
    range->addWidget(seed_);
    range->addStretch();
    form->addRow(caption(QStringLiteral("起点："), first_), range);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LblEquationStatus"));
    // One line that never changes the dialog's size: a long name in a
    // message is cut at the dialog's edge, not wrapped or widening it.
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    status_->setMinimumHeight(status_->fontMetrics().height());
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString(), status_);

    overflow_ = new QComboBox(this);
    overflow_->setObjectName(QStringLiteral("cobEquationOverflow"));
    overflow_->setAccessibleName(QStringLiteral("超出 ±1 时"));
    overflow_->addItems(OverflowCaptions());
    overflowLabel_ = caption(QStringLiteral("超出 ±1 时："), overflow_);
    // Shown only when some value lies beyond ±1, in a row that keeps its
    // height meanwhile, so that nothing moves while the user types.
    auto *overflowRow = new QWidget(this);
    auto *overflowLayout = new QHBoxLayout(overflowRow);
    overflowLayout->setContentsMargins(0, 0, 0, 0);
    overflowLayout->addWidget(overflowLabel_);
    overflowLayout->addWidget(overflow_);
    overflowLayout->addStretch();
    overflowRow->setFixedHeight(overflowRow->sizeHint().height());
    form->addRow(overflowRow);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("cmdEquationOk"));
    ok_->setDefault(true);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdEquationCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // An example is chosen by a click, a double click, Enter (which then
    // stays in the list rather than pressing "确定"), or by moving from one to
    // the next; the list taking the focus, which makes its first row current,
    // chooses none.
    connect(examples_, &QListWidget::itemClicked, this, &EquationDialog::chooseExample);
    connect(examples_, &QListWidget::itemActivated, this, &EquationDialog::chooseExample);
    connect(examples_, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem *current, QListWidgetItem *previous) {
                if (previous)
                    chooseExample(current);
            });
    examples_->installEventFilter(this);
    connect(text_, &QComboBox::editTextChanged, this, &EquationDialog::refresh);
    connect(first_, &QSpinBox::valueChanged, this, &EquationDialog::refresh);
    connect(last_, &QSpinBox::valueChanged, this, &EquationDialog::refresh);
    connect(seed_, &QSpinBox::valueChanged, this, &EquationDialog::refresh);
    connect(overflow_, &QComboBox::currentIndexChanged, this, &EquationDialog::refresh);
    text_->setFocus();
    text_->lineEdit()->selectAll();
    refresh();
}

EquationDialog::~EquationDialog() = default;

void EquationDialog::chooseExample(QListWidgetItem *item)
{
    if (item)
        text_->setEditText(item->data(Qt::UserRole).toString());
}

bool EquationDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == examples_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseExample(examples_->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

EquationChoices EquationDialog::choices() const
{
    EquationChoices c;
    c.text = text_->currentText();
    c.first = first_->value();
    c.last = last_->value();
    c.seed = static_cast<std::uint32_t>(seed_->value());
    c.overflow = static_cast<EquationOverflow>(overflow_->currentIndex());
    return c;
}

void EquationDialog::refresh()
{
    const int count = store_.PointCount();
    // A trace read from the oscilloscope may replace the waveform while the
    // dialog is open: the range follows its length.
    if (last_->maximum() != count - 1) {
        const QSignalBlocker quietFirst(first_), quietLast(last_);
        first_->setMaximum(count - 1);
        last_->setMaximum(count - 1);
    }
    outcome_ = ComputeEquation(equation_, choices(), store_.ArbData.data(), count);
    status_->setText(outcome_.status());
    const bool beyond = outcome_.usable() && outcome_.beyond > 0;
    overflowLabel_->setVisible(beyond);
    overflow_->setVisible(beyond);
    ok_->setEnabled(outcome_.usable());

    // The waveform as "确定" would leave it; as it is while the formula cannot be used.
    shown_.assign(store_.ArbData.begin(), store_.ArbData.begin() + count);
    if (outcome_.usable())
        std::copy(outcome_.points.begin(), outcome_.points.end(), shown_.begin() + choices().first);
    preview_->showPoints(shown_.data(), count);
}

} // namespace arb

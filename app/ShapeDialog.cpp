#include "app/ShapeDialog.h"

#include "view/UserPrompt.h"
#include "view/WavePreview.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <cmath>

namespace arb
{

namespace
{

// A value as the fields show it: whole numbers (seeds too) without an
// exponent, others in their shortest form.
QString FieldText(double value)
{
    if (value == std::floor(value) && std::abs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString FieldLabel(const ShapeParameter &p)
{
    return (p.symbol.isEmpty() ? p.caption : p.caption + QLatin1Char(' ') + p.symbol) + QStringLiteral("：");
}

QLineEdit *NumberField(const ShapeParameter &p, const QString &name, double value, QWidget *parent)
{
    auto *edit = new QLineEdit(FieldText(value), parent);
    edit->setObjectName(name);
    edit->setAccessibleName(p.caption);
    return edit;
}

std::optional<double> FieldValue(const QWidget *field, const ShapeParameter &p)
{
    if (const auto *list = qobject_cast<const QComboBox *>(field))
        return list->currentData().toDouble();
    return ReadShapeValue(p, static_cast<const QLineEdit *>(field)->text());
}

} // namespace

QString ShapeDialog::Title()
{
    return QStringLiteral("更多波形");
}

ShapeDialog::ShapeDialog(const float *points, int count, const ShapeChoices &choices, UserPrompt &prompt,
                         QWidget *parent)
    : QDialog(parent), prompt_(prompt), points_(points, points + count), shown_(points_)
{
    setObjectName(QStringLiteral("ShapeDialog"));
    setWindowTitle(Title());

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("lstShape"));
    list_->setAccessibleName(QStringLiteral("波形"));
    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("stkShapeParameters"));
    for (const ShapeDescription &shape : ShapeLibrary()) {
        list_->addItem(shape.caption);
        pages_->addWidget(buildPage(shape, choices.values[static_cast<std::size_t>(shape.kind)]));
    }
    list_->setFixedWidth(list_->sizeHintForColumn(0) + 2 * list_->frameWidth() + 24);

    preview_ = new WavePreview(this);
    preview_->setObjectName(QStringLiteral("picShapePreview"));
    preview_->setAccessibleName(QStringLiteral("更多波形预览"));
    preview_->setFixedSize(520, 220);

    formula_ = new QLabel(this);
    formula_->setObjectName(QStringLiteral("LblShapeFormula"));
    formula_->setWordWrap(true);
    formula_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for the longest formula, so that the dialog keeps its size from
    // shape to shape.
    formula_->setMinimumHeight(3 * formula_->fontMetrics().lineSpacing());
    formula_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *common = new QFormLayout;
    const auto addCommon = [this, common](const ShapeParameter &p, const char *name, double value) {
        QLineEdit *edit = NumberField(p, QString::fromLatin1(name), value, this);
        common->addRow(FieldLabel(p), edit);
        return edit;
    };
    start_ = addCommon(StartParameter(count), "txtShapeStart", 0);
    end_ = addCommon(EndParameter(0, count), "txtShapeEnd", count - 1);
    amplitude_ = addCommon(AmplitudeParameter(), "txtShapeAmplitude", choices.amplitude);
    offset_ = addCommon(OffsetParameter(), "txtShapeOffset", choices.offset);

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("LblShapeNote"));
    note_->setWordWrap(true);
    note_->setMinimumHeight(2 * note_->fontMetrics().lineSpacing());
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto *fields = new QHBoxLayout;
    fields->addWidget(pages_, 1, Qt::AlignTop);
    fields->addLayout(common, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(preview_);
    right->addWidget(formula_);
    right->addLayout(fields);
    right->addWidget(note_);
    right->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(list_);
    top->addLayout(right);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("cmdShapeOk"));
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdShapeCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ShapeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    // Every field follows into the preview.
    for (QLineEdit *edit : {start_, end_, amplitude_, offset_})
        connect(edit, &QLineEdit::textChanged, this, &ShapeDialog::refresh);
    for (const std::vector<QWidget *> &page : fields_) {
        for (QWidget *field : page) {
            if (auto *box = qobject_cast<QComboBox *>(field))
                connect(box, &QComboBox::currentIndexChanged, this, &ShapeDialog::refresh);
            else
                connect(static_cast<QLineEdit *>(field), &QLineEdit::textChanged, this,
                        &ShapeDialog::refresh);
        }
    }
    list_->setCurrentRow(static_cast<int>(choices.chosen));
    pages_->setCurrentIndex(list_->currentRow());
    connect(list_, &QListWidget::currentRowChanged, pages_, &QStackedWidget::setCurrentIndex);
    connect(list_, &QListWidget::currentRowChanged, this, &ShapeDialog::refresh);
    list_->setFocus();
    refresh();
}

ShapeDialog::~ShapeDialog() = default;

QWidget *ShapeDialog::buildPage(const ShapeDescription &shape, const std::vector<double> &values)
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    form->setContentsMargins(0, 0, 0, 0);
    std::vector<QWidget *> fields;
    for (std::size_t i = 0; i < shape.parameters.size(); ++i) {
        const ShapeParameter &p = shape.parameters[i];
        const QString name = QStringLiteral("Shape_%1_%2").arg(shape.key, p.key);
        QWidget *field = nullptr;
        if (p.choices.empty()) {
            field = NumberField(p, QStringLiteral("txt") + name, values[i], page);
        } else {
            auto *box = new QComboBox(page);
            box->setObjectName(QStringLiteral("cob") + name);
            box->setAccessibleName(p.caption);
            for (double c : p.choices)
                box->addItem(FieldText(c), c);
            box->setCurrentIndex(box->findData(values[i]));
            field = box;
        }
        form->addRow(FieldLabel(p), field);
        fields.push_back(field);
    }
    if (shape.parameters.empty())
        form->addRow(new QLabel(QStringLiteral("（无参数）"), page));
    fields_.push_back(std::move(fields));
    return page;
}

ShapeKind ShapeDialog::chosen() const
{
    return static_cast<ShapeKind>(std::max(0, list_->currentRow()));
}

QWidget *ShapeDialog::field(int which) const
{
    switch (which) {
    case kShapeStartField: return start_;
    case kShapeEndField: return end_;
    case kAmplitudeField: return amplitude_;
    case kOffsetField: return offset_;
    default: return fields_[static_cast<std::size_t>(chosen())][static_cast<std::size_t>(which)];
    }
}

std::optional<ShapeRequest> ShapeDialog::request(ShapeRefusal *refusal) const
{
    const auto refuse = [refusal](int which, const QString &message) {
        if (refusal)
            *refusal = {which, message};
        return std::nullopt;
    };
    ShapeRequest r;
    r.settings.kind = chosen();
    const ShapeDescription &shape = DescribeShape(r.settings.kind);
    const std::vector<QWidget *> &fields = fields_[static_cast<std::size_t>(r.settings.kind)];
    for (std::size_t i = 0; i < shape.parameters.size(); ++i) {
        const std::optional<double> v = FieldValue(fields[i], shape.parameters[i]);
        if (!v)
            return refuse(static_cast<int>(i), shape.parameters[i].rangeMessage());
        r.settings.values.push_back(*v);
    }
    const int count = static_cast<int>(points_.size());
    const ShapeParameter first = StartParameter(count);
    const std::optional<double> start = ReadShapeValue(first, start_->text());
    if (!start)
        return refuse(kShapeStartField, first.rangeMessage());
    r.start = static_cast<int>(*start);
    const ShapeParameter last = EndParameter(r.start, count);
    const std::optional<double> end = ReadShapeValue(last, end_->text());
    if (!end)
        return refuse(kShapeEndField, last.rangeMessage());
    r.end = static_cast<int>(*end);
    const std::optional<double> amplitude = ReadShapeValue(AmplitudeParameter(), amplitude_->text());
    if (!amplitude)
        return refuse(kAmplitudeField, AmplitudeParameter().rangeMessage());
    r.settings.amplitude = *amplitude;
    const std::optional<double> offset = ReadShapeValue(OffsetParameter(), offset_->text());
    if (!offset)
        return refuse(kOffsetField, OffsetParameter().rangeMessage());
    r.settings.offset = *offset;
    if (const std::optional<ShapeRefusal> together = CheckShapeSettings(r.settings))
        return refuse(together->field, together->message);
    return r;
}

void ShapeDialog::accept()
{
    ShapeRefusal refusal;
    if (!request(&refusal)) {
        prompt_.message(refusal.message, Title(), MessageIcon::Exclamation);
        if (QWidget *w = field(refusal.field))
            w->setFocus();
        return;
    }
    QDialog::accept();
}

// The preview shows the whole waveform as 确定 would leave it: with a value
// refused, as it is.
void ShapeDialog::refresh()
{
    const ShapeDescription &shape = DescribeShape(chosen());
    formula_->setText(QStringLiteral("s(u) = ") + shape.formula +
                      QStringLiteral("\n点值 = 幅度·s(u) + 偏移，u = (i - 起点)/(终点 - 起点 + 1)"));
    std::copy(points_.begin(), points_.end(), shown_.begin());
    ShapeRefusal refusal;
    const std::optional<ShapeRequest> r = request(&refusal);
    if (!r) {
        note_->setText(refusal.message);
    } else {
        const ShapeOutcome outcome =
            ComputeShape(r->settings, r->end - r->start + 1, shown_.data() + r->start);
        note_->setText(outcome.divided ? QStringLiteral("结果超出 ±1：确定后这一段将除以其最大绝对值 %1")
                                             .arg(QString::number(outcome.peak, 'g', 6))
                                       : QString());
    }
    preview_->showPoints(shown_.data(), static_cast<int>(shown_.size()));
}

} // namespace arb

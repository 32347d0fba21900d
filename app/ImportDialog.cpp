#include "app/ImportDialog.h"

#include "core/import/ImportMessages.h"
#include "view/WavePreview.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace arb
{

namespace
{

QLabel *NamedLabel(const char *name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    return l;
}

QString Number(double v)
{
    return QString::number(v, 'g', 7);
}

} // namespace

QStringList ImportDialog::ScalingCaptions()
{
    return {QStringLiteral("保持原值"), QStringLiteral("峰值归一化"), QStringLiteral("满量程")};
}

ImportDialog::ImportDialog(const ImportReadResult &read, const QString &fileName, QWidget *parent)
    : QDialog(parent), read_(read)
{
    setObjectName(QStringLiteral("ImportDialog"));
    setWindowTitle(QStringLiteral("导入波形"));
    auto *layout = new QVBoxLayout(this);

    preview_ = new WavePreview(this);
    preview_->setObjectName(QStringLiteral("picImportPreview"));
    preview_->setAccessibleName(QStringLiteral("导入波形预览"));
    preview_->setFixedSize(520, 220);
    layout->addWidget(preview_);

    auto *form = new QFormLayout;
    auto *file = NamedLabel("LblImportFile", this);
    file->setText(fileName);
    form->addRow(QStringLiteral("文件："), file);
    form_ = NamedLabel("LblImportForm", this);
    form->addRow(QStringLiteral("格式："), form_);
    const ImportTable &table = read.table;
    if (!table.fields.empty()) {
        auto *header = new QPlainTextEdit(this);
        header->setObjectName(QStringLiteral("txtImportHeader"));
        header->setAccessibleName(QStringLiteral("文件头"));
        header->setReadOnly(true);
        QStringList lines;
        for (const HeaderField &f : table.fields)
            lines << QString::fromUtf8(f.key.data(), static_cast<qsizetype>(f.key.size())) +
                         QStringLiteral(": ") +
                         QString::fromUtf8(f.value.data(), static_cast<qsizetype>(f.value.size()));
        header->setPlainText(lines.join(QLatin1Char('\n')));
        header->setFixedHeight(
            std::min(6, static_cast<int>(lines.size())) * header->fontMetrics().lineSpacing() + 12);
        form->addRow(QStringLiteral("文件头："), header);
    }
    if (read.otherMark) {
        // "0,25" is a quarter or the columns 0 and 25: the user says which.
        decimal_ = new QComboBox(this);
        decimal_->setObjectName(QStringLiteral("cobImportDecimal"));
        decimal_->setAccessibleName(QStringLiteral("小数点"));
        decimal_->addItem(QStringLiteral(". 点"), static_cast<int>(DecimalMark::Point));
        decimal_->addItem(QStringLiteral(", 逗号"), static_cast<int>(DecimalMark::Comma));
        decimal_->setCurrentIndex(decimal_->findData(static_cast<int>(read.decimalMark)));
        form->addRow(QStringLiteral("小数点："), decimal_);
    }
    fault_ = NamedLabel("LblImportFault", this);
    form->addRow(QString(), fault_);
    source_ = NamedLabel("LblImportSource", this);
    form->addRow(QStringLiteral("源数据："), source_);

    column_ = new QComboBox(this);
    column_->setObjectName(QStringLiteral("cobImportColumn"));
    column_->setAccessibleName(QStringLiteral("数据列"));
    form->addRow(QStringLiteral("数据列："), column_);

    scaling_ = new QComboBox(this);
    scaling_->setObjectName(QStringLiteral("cobImportScaling"));
    scaling_->setAccessibleName(QStringLiteral("缩放方式"));
    scaling_->addItems(ScalingCaptions());
    form->addRow(QStringLiteral("缩放："), scaling_);
    clipped_ = NamedLabel("LblImportClipped", this);
    form->addRow(QString(), clipped_);

    points_ = new QSpinBox(this);
    points_->setObjectName(QStringLiteral("txtImportPoints"));
    points_->setAccessibleName(QStringLiteral("导入点数"));
    points_->setRange(kMinArbLength, kMaxArbLength);
    form->addRow(QStringLiteral("点数："), points_);
    resampled_ = NamedLabel("LblImportResample", this);
    form->addRow(QString(), resampled_);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("cmdImportOk"));
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cmdImportCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // A new column brings its own default scaling; the preview is made once,
    // for both changes.
    connect(column_, &QComboBox::currentIndexChanged, this, [this] {
        {
            const QSignalBlocker quiet(scaling_);
            scaling_->setCurrentIndex(
                static_cast<int>(DefaultScaling(reading_->table, column_->currentIndex())));
        }
        refresh();
    });
    connect(scaling_, &QComboBox::currentIndexChanged, this, &ImportDialog::refresh);
    connect(points_, &QSpinBox::valueChanged, this, &ImportDialog::refresh);
    if (decimal_)
        connect(decimal_, &QComboBox::currentIndexChanged, this, &ImportDialog::takeReading);
    takeReading();
}

ImportDialog::~ImportDialog() = default;

DecimalMark ImportDialog::decimalMark() const
{
    return decimal_ ? static_cast<DecimalMark>(decimal_->currentData().toInt()) : read_.decimalMark;
}

ImportChoices ImportDialog::choices() const
{
    ImportChoices c;
    c.decimalMark = decimalMark();
    c.column = column_->currentIndex();
    c.scaling = static_cast<ImportScaling>(scaling_->currentIndex());
    c.points = points_->value();
    return c;
}

void ImportDialog::takeReading()
{
    reading_ = &ReadingWithMark(read_, decimalMark());
    const bool readable = reading_->error == ImportError::None;
    const ImportTable &table = reading_->table;
    form_->setText(readable ? ImportFormText(table) : QString());
    fault_->setText(readable ? QString()
                             : QStringLiteral("无法按此小数点读取：") + ImportFaultText(*reading_, {}));
    fault_->setVisible(!readable);
    {
        // One preview for the new column, scaling and points.
        const QSignalBlocker quietColumn(column_);
        const QSignalBlocker quietScaling(scaling_);
        const QSignalBlocker quietPoints(points_);
        column_->clear();
        for (int c = 0; c < table.columnCount(); ++c) {
            QString caption = QStringLiteral("第 %1 列").arg(c + 1);
            if (static_cast<std::size_t>(c) < table.columnNames.size() &&
                !table.columnNames[static_cast<std::size_t>(c)].empty())
                caption += QStringLiteral("：") +
                           QString::fromUtf8(table.columnNames[static_cast<std::size_t>(c)].c_str());
            column_->addItem(caption);
        }
        const ImportChoices first = DefaultImportChoices(table);
        column_->setCurrentIndex(first.column);
        scaling_->setCurrentIndex(static_cast<int>(first.scaling));
        points_->setValue(first.points);
    }
    column_->setEnabled(readable && table.columnCount() > 1);
    scaling_->setEnabled(readable);
    points_->setEnabled(readable);
    ok_->setEnabled(readable);
    refresh();
}

void ImportDialog::refresh()
{
    if (reading_->error != ImportError::None) {
        // Nothing to show but the fault.
        source_->clear();
        clipped_->hide();
        resampled_->hide();
        preview_->clear(PlotBackground());
        return;
    }
    const ImportTable &table = reading_->table;
    const ImportChoices c = choices();
    const ImportedPoints shaped = ShapeImport(table, c);
    const ColumnRange &r = shaped.range;
    QString source =
        QStringLiteral("%1 点，范围 %2 ～ %3").arg(table.rows()).arg(Number(r.min), Number(r.max));
    if (table.shortCodes)
        source += QStringLiteral("（码值 ÷ 32767 后）");
    source_->setText(source);

    clipped_->setText(shaped.clipped ? QStringLiteral("有 %1 个点超出 ±1，将被截断").arg(shaped.clipped)
                                     : QString());
    clipped_->setVisible(shaped.clipped != 0);
    const bool resample = table.rows() != static_cast<std::size_t>(c.points);
    resampled_->setText(
        resample
            ? QStringLiteral("将从 %1 点线性插值重采样为 %2 点（不滤波）").arg(table.rows()).arg(c.points)
            : QString());
    resampled_->setVisible(resample);

    preview_->showPoints(shaped.points.data(), static_cast<int>(shaped.points.size()));
}

} // namespace arb

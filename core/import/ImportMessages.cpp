#include "core/import/ImportMessages.h"

namespace arb
{

namespace
{

const QString kNotImported = QStringLiteral("，波形未导入！");

// "6400 万个", "12345 个": large counts in 万 (ten thousand).
QString Count(std::int64_t n)
{
    if (n >= 10000 && n % 10000 == 0)
        return QStringLiteral("%1 万个").arg(n / 10000);
    return QStringLiteral("%1 个").arg(n);
}

QString LineText(std::int64_t line)
{
    return QStringLiteral("第 %1 行").arg(line);
}

} // namespace

QString ImportErrorMessage(const ImportReadResult &r, const ImportReadOptions &o)
{
    const QString text = ImportFaultText(r, o);
    return text.isEmpty() ? text : text + kNotImported;
}

QString ImportFaultText(const ImportReadResult &r, const ImportReadOptions &o)
{
    QString text;
    switch (r.error) {
    case ImportError::None:
    case ImportError::Cancelled: return QString();
    case ImportError::ReadFailed: text = QStringLiteral("文件读取出错"); break;
    case ImportError::Empty: text = QStringLiteral("文件是空的"); break;
    case ImportError::Binary: text = QStringLiteral("文件含有二进制数据，不是文本文件"); break;
    case ImportError::LineTooLong:
        text = LineText(r.line) +
               QStringLiteral("太长（一行最多 %1 KB）").arg(static_cast<qulonglong>(o.maxLineBytes / 1024));
        break;
    case ImportError::NoNumbers: text = QStringLiteral("文件中没有数值"); break;
    case ImportError::NotANumber: text = LineText(r.line) + QStringLiteral("不是数值"); break;
    case ImportError::NotFinite: text = LineText(r.line) + QStringLiteral("的数值不是有限数"); break;
    case ImportError::BeyondSingle: text = LineText(r.line) + QStringLiteral("的数值超出单精度范围"); break;
    case ImportError::ColumnCount:
        text = LineText(r.line) + QStringLiteral("的列数不对（应为 %1 列）").arg(r.expected);
        break;
    case ImportError::TooManyColumns:
        text = LineText(r.line) + QStringLiteral("的列数超过 %1 列").arg(kImportMaxColumns);
        break;
    case ImportError::TooManyValues:
        text = QStringLiteral("文件中的数值超过上限 %1").arg(Count(o.maxValues));
        break;
    case ImportError::TooFewValues:
        text = QStringLiteral("文件中只有 %1 个数值，至少需要 %2 个").arg(r.found).arg(kImportMinValues);
        break;
    case ImportError::FewerThanHeader:
        text = QStringLiteral("文件头写明 %1 个点，文件中只有 %2 个").arg(r.expected).arg(r.found);
        break;
    }
    return text;
}

QString MissingColumnMessage(int column, int columns)
{
    return QStringLiteral("第 %1 列不存在（文件只有 %2 列）").arg(column + 1).arg(columns) + kNotImported;
}

QString ImportFormText(const ImportTable &table)
{
    switch (table.form) {
    case ImportForm::Plain: return QStringLiteral("本软件的数值文件（第一行为点数）");
    case ImportForm::Maker20: return QStringLiteral("本软件的 2.0 格式文件");
    case ImportForm::Agilent10: return QStringLiteral("1.0 格式文件（码值 ÷ 32768）");
    case ImportForm::HeaderForm:
        return table.shortCodes ? QStringLiteral("带文件头的波形文件（short 码值 ÷ 32767）")
                                : QStringLiteral("带文件头的波形文件");
    case ImportForm::Table: break;
    }
    return table.columnNames.empty() ? QStringLiteral("数值表，%1 列").arg(table.columnCount())
                                     : QStringLiteral("数值表，%1 列，带列名").arg(table.columnCount());
}

} // namespace arb

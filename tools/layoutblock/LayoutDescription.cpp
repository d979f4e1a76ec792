#include "tools/layoutblock/LayoutDescription.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace vantor::layoutblock {
namespace {

constexpr std::int32_t kMaxAppliedWidth = 0xFFFF;

std::optional<std::int32_t> ToInt32(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool Fail(QString* error, const QString& text)
{
    if (error != nullptr)
        *error = text;
    return false;
}

}  // namespace

std::optional<std::vector<ColumnLayout::Column>> ParseColumns(const QString& text, bool lenient, QString* error)
{
    const QStringList entries = text.split(QLatin1Char(','));
    std::vector<ColumnLayout::Column> columns;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString where = QStringLiteral("column %1 ('%2')").arg(i).arg(entries[i].trimmed());
        const QStringList parts = entries[i].split(QLatin1Char(':'));
        if (parts.size() < 2 || parts.size() > 3) {
            Fail(error, where + QStringLiteral(": expected STATE:WIDTH[:ORDER]"));
            return std::nullopt;
        }
        ColumnLayout::Column column;
        const QString state = parts[0].trimmed().toLower();
        if (state == QLatin1String("shown") || state == QLatin1String("1")) {
            column.visible = true;
        } else if (state == QLatin1String("hidden") || state == QLatin1String("0")) {
            column.visible = false;
        } else {
            Fail(error, where + QStringLiteral(": the state is 'shown' or 'hidden'"));
            return std::nullopt;
        }
        const std::optional<std::int32_t> width = ToInt32(parts[1]);
        if (!width || (!lenient && (*width < 0 || *width > kMaxAppliedWidth))) {
            Fail(error, where + QStringLiteral(": the width is a number of pixels 0-65535"));
            return std::nullopt;
        }
        column.width = *width;
        if (parts.size() == 3) {
            const std::optional<std::int32_t> order = ToInt32(parts[2]);
            if (!order) {
                Fail(error, where + QStringLiteral(": the order is a whole number"));
                return std::nullopt;
            }
            column.order = *order;
        } else {
            column.order = static_cast<std::int32_t>(i);
        }
        columns.push_back(column);
    }
    if (!lenient) {
        ColumnLayout check;
        check.columns = columns;
        const QString problem = ProblemText(check);
        if (!problem.isEmpty()) {
            Fail(error, problem);
            return std::nullopt;
        }
    }
    return columns;
}

std::optional<std::int32_t> ParseSortKey(const QString& text, QString* error)
{
    const std::optional<std::int32_t> key = ToInt32(text);
    if (!key)
        Fail(error, QStringLiteral("the sort key is a whole number ('%1')").arg(text));
    return key;
}

ColumnLayout DefaultDeviceListLayout()
{
    ColumnLayout layout;
    layout.sortKey = 2;
    constexpr std::int32_t widths[] = {120, 120, 120, 120, 130, 95};
    for (std::int32_t i = 0; i < 6; ++i)
        layout.columns.push_back({true, widths[i], i});
    return layout;
}

QString ProblemText(const ColumnLayout& layout)
{
    switch (layout.Check()) {
    case ColumnLayout::Problem::None:
        return {};
    case ColumnLayout::Problem::SortKeyOutOfRange:
        return QStringLiteral("the sort key must lie between -%1 and %1").arg(layout.columns.size());
    case ColumnLayout::Problem::OrderOutOfRange:
        return QStringLiteral("every order must lie between 0 and %1")
            .arg(static_cast<qsizetype>(layout.columns.size()) - 1);
    case ColumnLayout::Problem::OrderRepeated:
        return QStringLiteral("two columns have the same order");
    }
    return QStringLiteral("unknown problem");
}

QString ToHex(std::span<const std::uint8_t> bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    QString hex;
    hex.reserve(static_cast<qsizetype>(bytes.size() * 2));
    for (const std::uint8_t byte : bytes) {
        hex += QLatin1Char(digits[byte >> 4]);
        hex += QLatin1Char(digits[byte & 0x0F]);
    }
    return hex;
}

std::optional<std::vector<std::uint8_t>> FromHex(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char(' '));
    digits.remove(QLatin1Char('\n'));
    if (digits.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        bool ok = false;
        const uint value = digits.mid(i, 2).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

QString Describe(std::span<const std::uint8_t> block)
{
    if (block.size() < ColumnLayout::kHeaderSize)
        return QStringLiteral("not a layout block: %1 bytes, shorter than its 8-byte header").arg(block.size());
    std::uint32_t raw = 0;
    for (int i = 3; i >= 0; --i)
        raw = (raw << 8) | block[static_cast<std::size_t>(i)];
    const auto count = static_cast<std::int32_t>(raw);
    const std::optional<ColumnLayout> layout = ColumnLayout::Parse(block, count);
    if (!layout)
        return QStringLiteral("not a layout block: %1 bytes for a stored count of %2 (expected %3)")
            .arg(block.size())
            .arg(count)
            .arg(ColumnLayout::BlockSize(count));
    QStringList columns;
    for (const ColumnLayout::Column& column : layout->columns)
        columns << QStringLiteral("%1:%2:%3")
                       .arg(column.visible ? QStringLiteral("shown") : QStringLiteral("hidden"))
                       .arg(column.width)
                       .arg(column.order);
    QString text = QStringLiteral("sort key: %1\ncolumns: %2").arg(layout->sortKey).arg(columns.join(QLatin1Char(',')));
    const QString problem = ProblemText(*layout);
    if (!problem.isEmpty())
        text += QStringLiteral("\nthe program refuses this block: ") + problem;
    return text;
}

}  // namespace vantor::layoutblock

#include "listview/ColumnTable.h"

#include <algorithm>
#include <utility>

namespace vantor {

bool ColumnTable::AnyVisible() const
{
    return std::any_of(m_columns.begin(), m_columns.end(), [](const COLUMN_DATA& c) { return c.visible; });
}

int ColumnTable::ToLogicalColumn(int controlColumn) const
{
    int target = controlColumn;
    for (int i = 0; i < Count(); ++i) {
        if (!At(i).visible) {
            ++target;
        } else if (i == target) {
            return i;
        }
    }
    return -1;
}

int ColumnTable::ToControlColumn(int logicalColumn) const
{
    const int end = std::min(logicalColumn, Count());
    int count = 0;
    for (int i = 0; i < end; ++i) {
        count += At(i).visible ? 1 : 0;
    }
    return count;
}

int ColumnTable::ToControlOrder(int logicalOrder) const
{
    int count = 0;
    for (const COLUMN_DATA& column : m_columns) {
        count += column.visible && column.order < logicalOrder ? 1 : 0;
    }
    return count;
}

std::vector<int> ColumnTable::ColumnsByOrder() const
{
    const int n = Count();
    std::vector<int> columnAt(static_cast<std::size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        const int order = At(i).order;
        if (order >= 0 && order < n) {
            columnAt[static_cast<std::size_t>(order)] = i;
        }
    }
    return columnAt;
}

int ColumnTable::ToLogicalOrder(int controlOrder) const
{
    if (controlOrder < 0) {
        return -1;
    }
    const std::vector<int> columnAt = ColumnsByOrder();
    int target = controlOrder;
    for (int p = 0; p < Count(); ++p) {
        const int column = columnAt[static_cast<std::size_t>(p)];
        if (column < 0) {
            continue;
        }
        if (!At(column).visible) {
            ++target;
        } else if (p == target) {
            return p;
        }
    }
    return -1;
}

void ColumnTable::MoveOrder(int column, int newOrder)
{
    if (!IsValid(column) || newOrder < 0 || newOrder >= Count()) {
        return;
    }
    const int old = At(column).order;
    if (newOrder < old) {
        for (COLUMN_DATA& c : m_columns) {
            if (c.order >= newOrder && c.order < old) {
                ++c.order;
            }
        }
    } else if (newOrder > old) {
        for (COLUMN_DATA& c : m_columns) {
            if (c.order > old && c.order <= newOrder) {
                --c.order;
            }
        }
    }
    At(column).order = newOrder;
}

void ColumnTable::AllowHiding(int column)
{
    if (IsValid(column) && !At(column).hideable) {
        At(column).hideable = true;
        ++m_hideableCount;
    }
}

void ColumnTable::Insert(int column, COLUMN_DATA data)
{
    for (COLUMN_DATA& c : m_columns) {
        if (c.order >= data.order) {
            ++c.order;
        }
    }
    m_hideableCount += data.hideable ? 1 : 0;
    m_columns.insert(m_columns.begin() + column, std::move(data));
}

void ColumnTable::Erase(int column)
{
    const int order = At(column).order;
    for (COLUMN_DATA& c : m_columns) {
        if (c.order > order) {
            --c.order;
        }
    }
    if (At(column).hideable) {
        --m_hideableCount;  // the count stays the number of hideable columns in the table
    }
    m_columns.erase(m_columns.begin() + column);
}

}  // namespace vantor

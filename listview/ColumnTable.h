#pragma once

#include "platform/listcontrol/ListTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace vantor {

// Every column a caller inserted, hidden ones included, in insertion order (logical columns),
// with the two index spaces built on it: a logical column's control column is the number of
// visible columns before it, and a logical order's control order the number of visible
// columns with a lower order. The logical orders stay a permutation of 0..n-1. No control is
// involved: the extension asks the control first and changes the table once it agreed.
class ColumnTable {
public:
    // Stored column descriptor: the caller's descriptor with absent fields zeroed and the
    // heading duplicated. desc.pszText stays null; the heading lives in `text`.
    struct COLUMN_DESCRIPTION {
        lc::LVCOLUMNA desc;
        std::optional<std::string> text;
    };

    // One entry of the table.
    struct COLUMN_DATA {
        bool hideable = false;
        bool visible = true;
        int savedWidth = 0;  // width remembered while hidden
        int order = 0;       // logical order
        COLUMN_DESCRIPTION description;
    };

    int Count() const { return static_cast<int>(m_columns.size()); }
    bool IsValid(int column) const { return column >= 0 && column < Count(); }
    // Entry of a valid logical column. `hideable` is changed through AllowHiding only, so the
    // hideable count stays right.
    const COLUMN_DATA& At(int column) const { return m_columns[static_cast<std::size_t>(column)]; }
    COLUMN_DATA& At(int column) { return m_columns[static_cast<std::size_t>(column)]; }
    int HideableCount() const { return m_hideableCount; }
    bool AnyVisible() const;

    // Logical column shown at a control column; -1 when there is none.
    int ToLogicalColumn(int controlColumn) const;
    // Number of visible columns before a logical column.
    int ToControlColumn(int logicalColumn) const;
    // Number of visible columns whose logical order is below `logicalOrder`.
    int ToControlOrder(int logicalOrder) const;
    // Logical order of a display position of the control's header; -1 when there is none.
    int ToLogicalOrder(int controlOrder) const;
    // Entry p = the logical column at logical order p (-1 where no column claims p).
    std::vector<int> ColumnsByOrder() const;

    // Gives one column a new logical order, shifting the columns in between. Indexes or orders
    // outside the table change nothing.
    void MoveOrder(int column, int newOrder);
    // Marks a column hideable (counted once).
    void AllowHiding(int column);
    // Puts an entry at logical column `column` (0..Count()); the columns at or after its order
    // move one order on.
    void Insert(int column, COLUMN_DATA data);
    // Takes a valid column out; the columns after its order move one order back.
    void Erase(int column);

private:
    std::vector<COLUMN_DATA> m_columns;
    int m_hideableCount = 0;
};

}  // namespace vantor

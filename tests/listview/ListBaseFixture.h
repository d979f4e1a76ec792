#pragma once

#include "listview/CListBase.h"
#include "tests/listview/RecordingListControl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor::test {

// The extension with its parent hook recorded.
class ProbeListBase final : public CListBase {
public:
    using CListBase::CListBase;

    struct Forwarded {
        int item = -1;
        int subItem = -1;
        lc::LPARAM lParam = 0;
    };
    std::vector<Forwarded> forwarded;
    const char* parentAnswer = nullptr;  // what the parent hook answers with, if anything

protected:
    void ForwardGetDispInfo(lc::NMLVDISPINFOA& info) override
    {
        forwarded.push_back({info.item.iItem, info.item.iSubItem, info.item.lParam});
        if (parentAnswer != nullptr) {
            info.item.pszText = const_cast<char*>(parentAnswer);
        }
    }
};

// Input texts are only read by the extension and the control.
inline char* In(const char* text)
{
    return const_cast<char*>(text);
}

inline lc::LVCOLUMNA ColumnDescriptor(const char* heading, int width, int fmt = lc::LVCFMT_LEFT)
{
    lc::LVCOLUMNA d;
    d.mask = lc::LVCF_TEXT | lc::LVCF_WIDTH | lc::LVCF_FMT;
    d.pszText = In(heading);
    d.cx = width;
    d.fmt = fmt;
    return d;
}

inline lc::LVITEMA TextItem(int item, int subItem, const char* text)
{
    lc::LVITEMA d;
    d.mask = lc::LVIF_TEXT;
    d.iItem = item;
    d.iSubItem = subItem;
    d.pszText = In(text);
    return d;
}

// Expected cell text of the standard rows.
inline std::string CellName(int row, int column)
{
    return "r" + std::to_string(row) + "c" + std::to_string(column);
}

class ListBaseFixture : public ::testing::Test {
protected:
    ListBaseFixture()
    {
        control.dispInfo = [this](lc::NMLVDISPINFOA& info) { list.OnGetDispInfo(info); };
    }

    // Columns "C0".."C<n-1>", widths 100, 110, ...; every column but the first hideable.
    void AddColumns(int n)
    {
        for (int i = 0; i < n; ++i) {
            const std::string heading = "C" + std::to_string(i);
            ASSERT_EQ(list.InsertColumn(i, ColumnDescriptor(heading.c_str(), 100 + 10 * i)), i);
            if (i > 0) {
                list.AllowColumnHiding(i);
            }
        }
    }

    // Rows with texts CellName(row, column) in every column and item data 1000 + row.
    void AddRows(int rows)
    {
        for (int r = 0; r < rows; ++r) {
            const std::string first = CellName(r, 0);
            lc::LVITEMA item = TextItem(r, 0, first.c_str());
            item.mask |= lc::LVIF_PARAM;
            item.lParam = 1000 + r;
            ASSERT_EQ(list.InsertItem(item), r);
            for (int c = 1; c < list.GetColumnCount(); ++c) {
                const std::string text = CellName(r, c);
                ASSERT_TRUE(list.SetItemText(r, TextItem(r, c, text.c_str())));
            }
        }
    }

    // Text of a cell read back through the extension (logical column).
    std::string Text(int item, int column, int capacity = 64)
    {
        std::vector<char> buffer(static_cast<std::size_t>(capacity), 'X');
        lc::LVITEMA d;
        d.iSubItem = column;
        d.pszText = buffer.data();
        d.cchTextMax = capacity;
        const int copied = list.GetItemText(item, d);
        const std::string text(buffer.data());
        EXPECT_EQ(copied, static_cast<int>(text.size()));
        return text;
    }

    // Heading read back through the extension (logical column).
    std::string Heading(int column)
    {
        char buffer[64] = {};
        lc::LVCOLUMNA d;
        d.mask = lc::LVCF_TEXT;
        d.pszText = buffer;
        d.cchTextMax = sizeof buffer;
        EXPECT_TRUE(list.GetColumn(column, d));
        return buffer;
    }

    RecordingListControl control;
    ProbeListBase list{control};
};

}  // namespace vantor::test

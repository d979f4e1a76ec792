// The column table, the record table and a record's packed cells on their own, without a control.

#include "listview/ColumnTable.h"
#include "listview/PackedCells.h"
#include "listview/RecordTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::test {
namespace {

TEST(ColumnTable, IndexSpacesFollowVisibilityAndOrder)
{
    ColumnTable table;
    for (int i = 0; i < 5; ++i) {
        ColumnTable::COLUMN_DATA data;
        data.order = i;
        table.Insert(i, data);
    }
    table.At(1).visible = false;
    table.At(3).visible = false;
    table.MoveOrder(4, 0);  // display order 4 0 1 2 3, of which 4 0 2 are shown
    ASSERT_EQ(table.ColumnsByOrder(), (std::vector<int>{4, 0, 1, 2, 3}));
    struct Row {
        int logicalColumn, controlColumn, controlOrder, logicalOrder;
    };
    // Row i: the four mappings applied to i.
    const Row rows[] = {{0, 0, 0, 0}, {2, 1, 1, 1}, {4, 1, 2, 3}, {-1, 2, 2, -1}, {-1, 2, 3, -1}, {-1, 3, 3, -1}};
    for (int i = 0; i < 6; ++i) {
        const Row& row = rows[i];
        EXPECT_EQ(table.ToLogicalColumn(i), row.logicalColumn) << i;
        EXPECT_EQ(table.ToControlColumn(i), row.controlColumn) << i;
        EXPECT_EQ(table.ToControlOrder(i), row.controlOrder) << i;
        EXPECT_EQ(table.ToLogicalOrder(i), row.logicalOrder) << i;
    }

    table.AllowHiding(0);
    table.AllowHiding(0);
    EXPECT_EQ(table.HideableCount(), 1);
    table.Erase(0);  // the orders close up behind it
    EXPECT_EQ(table.HideableCount(), 0);
    EXPECT_EQ(table.ColumnsByOrder(), (std::vector<int>{3, 0, 1, 2}));
}

TEST(RecordTable, HandlesNameOneLiveRecordOnly)
{
    RecordTable records;
    RecordTable::ROW_DATA* first = records.NewRecord();
    ASSERT_NE(first, nullptr);
    const lc::LPARAM handle = first->itemData;
    EXPECT_LT(handle, 0);  // the top bit: never a caller's number or address
    EXPECT_EQ(records.RecordFromItemData(handle), first);

    records.FreeRecord(handle);
    RecordTable::ROW_DATA* again = records.NewRecord();
    EXPECT_EQ(again, first);  // the slot is reused under a new generation
    for (const lc::LPARAM stranger : {lc::LPARAM{0}, lc::LPARAM{1000}, handle, again->itemData + 1}) {
        EXPECT_EQ(records.RecordFromItemData(stranger), nullptr) << stranger;
    }
    records.FreeRecord(handle);  // stale: ignored
    EXPECT_EQ(records.LiveCount(), 1);

    again->cells.Set(1, RecordTable::CELL{});
    records.InsertColumn(0);
    EXPECT_TRUE(again->cells.Count() == 3 && again->cells.Read(2).has_value());
    records.DeleteColumn(1);
    EXPECT_TRUE(again->cells.Count() == 2 && again->cells.Read(1).has_value());
}

using CELL = PackedCells::CELL;
using TEXT_KIND = PackedCells::TEXT_KIND;

// Field by field, with the text compared by content.
void ExpectSameCell(const std::optional<CELL>& read, const std::optional<CELL>& expected, const std::string& where)
{
    ASSERT_EQ(read.has_value(), expected.has_value()) << where;
    if (!read) {
        return;
    }
    EXPECT_EQ(read->mask, expected->mask) << where;
    EXPECT_EQ(read->image, expected->image) << where;
    EXPECT_EQ(read->indent, expected->indent) << where;
    EXPECT_EQ(read->state, expected->state) << where;
    EXPECT_EQ(read->stateMask, expected->stateMask) << where;
    EXPECT_EQ(read->lParam, expected->lParam) << where;
    EXPECT_EQ(read->textKind, expected->textKind) << where;
    EXPECT_EQ(read->text, expected->text) << where;
    if (read->textKind == TEXT_KIND::Owned) {
        EXPECT_EQ(read->text.data()[read->text.size()], '\0') << where;  // handed to the control as it is
    }
}

TEST(PackedCells, EveryFieldCombinationReadsBackBetweenNeighbours)
{
    const std::string longText(1500, 'x');
    const std::string embedded("ab\0cd", 5);
    struct Text {
        TEXT_KIND kind;
        std::string_view given, kept;
    };
    const Text texts[] = {{TEXT_KIND::None, {}, {}},          {TEXT_KIND::Callback, {}, {}},
                          {TEXT_KIND::Owned, "", ""},         {TEXT_KIND::Owned, longText, longText},
                          {TEXT_KIND::Owned, embedded, "ab"}, {TEXT_KIND::Owned, "r1c2", "r1c2"}};
    const unsigned bits[] = {lc::LVIF_TEXT, lc::LVIF_IMAGE, lc::LVIF_INDENT, lc::LVIF_STATE, lc::LVIF_PARAM, 0x0100};
    CELL neighbour;
    neighbour.mask = lc::LVIF_TEXT;
    neighbour.textKind = TEXT_KIND::Owned;
    neighbour.text = "next";
    for (unsigned combination = 0; combination < 64; ++combination) {
        for (const Text& text : texts) {
            CELL given{0, -7, 1 << 30, 0xF00Fu, 0xFFFF'FFFFu, lc::LPARAM{-1} << 62, text.kind, text.given};
            for (int bit = 0; bit < 6; ++bit) {
                given.mask |= (combination >> bit & 1) != 0 ? bits[bit] : 0;
            }
            CELL expected{given.mask, 0, 0, 0, 0, 0, text.kind, text.kept};
            const auto has = [&](unsigned bit) { return (given.mask & bit) != 0; };
            expected.image = has(lc::LVIF_IMAGE) ? given.image : 0;  // absent fields are not kept
            expected.indent = has(lc::LVIF_INDENT) ? given.indent : 0;
            expected.state = has(lc::LVIF_STATE) ? given.state : 0;
            expected.stateMask = has(lc::LVIF_STATE) ? given.stateMask : 0;
            expected.lParam = has(lc::LVIF_PARAM) ? given.lParam : 0;

            PackedCells cells;
            cells.Set(3, neighbour);
            cells.Set(1, given);  // between an empty slot and a filled one
            const std::string where = std::to_string(combination) + "/" + std::string(text.kept);
            ASSERT_EQ(cells.Count(), 4) << where;
            ExpectSameCell(cells.Read(0), std::nullopt, where);
            ExpectSameCell(cells.Read(1), expected, where);
            ExpectSameCell(cells.Read(2), std::nullopt, where);
            ExpectSameCell(cells.Read(3), neighbour, where);
        }
    }
}

TEST(PackedCells, ColumnChangesMatchAVectorOfCells)
{
    enum class Op { Set, SetOwnText, InsertEmpty, Erase, Clear };
    struct Step {
        Op op;
        int slot;
    };
    // Slots well past the first few, and texts rewritten from their own stored bytes.
    const Step steps[] = {{Op::Set, 0},          {Op::Set, 2},     {Op::InsertEmpty, 0}, {Op::InsertEmpty, 3},
                          {Op::InsertEmpty, 4},  {Op::Erase, 1},   {Op::Erase, 9},       {Op::SetOwnText, 4},
                          {Op::Set, 130},        {Op::Erase, 0},   {Op::InsertEmpty, 1}, {Op::Erase, 129},
                          {Op::SetOwnText, 129}, {Op::Erase, 127}, {Op::Erase, 0},       {Op::Erase, 0},
                          {Op::Set, -1},         {Op::Clear, 0},   {Op::Erase, 0},       {Op::Set, 1}};
    PackedCells cells;
    std::vector<std::optional<std::string>> model;  // the texts of the cells, by slot
    int serial = 0;
    for (const Step& step : steps) {
        const auto at = static_cast<std::size_t>(step.slot);
        std::string text = "cell " + std::to_string(++serial);
        CELL cell;
        cell.mask = lc::LVIF_TEXT | lc::LVIF_PARAM;
        cell.lParam = serial;
        cell.textKind = TEXT_KIND::Owned;
        switch (step.op) {
        case Op::Set:
        case Op::SetOwnText:
            if (step.op == Op::SetOwnText) {
                text = model[at].value();
                cell.text = cells.Read(step.slot)->text;  // the stored text, rewritten in place
            } else {
                cell.text = text;
            }
            if (step.slot >= 0) {
                model.resize(std::max(model.size(), at + 1));
                model[at] = text;
            }
            cells.Set(step.slot, cell);
            break;
        case Op::InsertEmpty:
            if (at < model.size()) {
                model.insert(model.begin() + step.slot, std::nullopt);
            }
            cells.InsertEmpty(step.slot);
            break;
        case Op::Erase:
            if (at < model.size()) {
                model.erase(model.begin() + step.slot);
            }
            cells.Erase(step.slot);
            break;
        case Op::Clear:
            model.clear();
            cells.Clear();
            break;
        }
        ASSERT_EQ(cells.Count(), static_cast<int>(model.size())) << serial;
        for (std::size_t i = 0; i < model.size(); ++i) {
            const std::optional<CELL> read = cells.Read(static_cast<int>(i));
            ASSERT_EQ(read.has_value(), model[i].has_value()) << serial << " slot " << i;
            if (read) {
                EXPECT_EQ(read->text, *model[i]) << serial << " slot " << i;
            }
        }
    }
}

}  // namespace
}  // namespace vantor::test

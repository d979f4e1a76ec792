#include "listview/OrderedRowKeys.h"

#include "listview/DeviceRowOrder.h"
#include "protocol/DeviceRow.h"

#include <utility>

namespace vantor {

OrderedRowKeys::Key OrderedRowKeys::MakeKey(std::string_view record, int sortParam, lc::LPARAM itemData)
{
    Key key;
    key.itemData = itemData;
    const int field = SortFieldOf(sortParam);
    if (field < 0)
        return key;
    // Big-endian packing: comparing the two words as unsigned numbers compares the bytes one by
    // one as unsigned values, and the zero padding puts a field before every longer field it
    // begins (fields hold no NUL), which is the text order of the full comparison.
    const std::string_view text = RowRecordField(record, field);
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint64_t byte = i < text.size() ? static_cast<unsigned char>(text[i]) : 0U;
        std::uint64_t& word = i < 8 ? key.high : key.low;
        word |= byte << (8 * (7 - i % 8));
    }
    return key;
}

void OrderedRowKeys::Clear()
{
    m_orderedBy.reset();
    m_field = -1;
    m_descending = false;
    m_keys.clear();
}

void OrderedRowKeys::Assign(int sortParam, std::vector<Key> keys)
{
    m_orderedBy = sortParam;
    m_field = SortFieldOf(sortParam);
    m_descending = sortParam < 0;
    m_keys.assign(std::move(keys));
}

void OrderedRowKeys::Insert(int row, const Key& key)
{
    if (!m_orderedBy || row < 0 || row > Count()) {
        Clear();
        return;
    }
    m_keys.insert(static_cast<std::size_t>(row), key);
}

bool OrderedRowKeys::Remove(int row, lc::LPARAM itemData)
{
    if (row >= Count())
        return true;  // after the ordered part
    if (row < 0 || At(row).itemData != itemData) {
        Clear();
        return false;
    }
    m_keys.take(static_cast<std::size_t>(row));
    return true;
}

}  // namespace vantor

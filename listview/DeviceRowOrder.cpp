#include "listview/DeviceRowOrder.h"

#include "protocol/DeviceRow.h"

#include <climits>
#include <string>

namespace vantor {
namespace {

int CompareText(std::string_view a, std::string_view b)
{
    // char_traits<char> compares as unsigned char, which is the order of the C library's
    // string comparison; for UTF-8 it is also the order of the code points.
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

struct SortKey {
    int field;  // -1: no field, everything compares equal
    bool nameTieBreak;
};

// The key of a sort parameter: its magnitude names the field, its sign the direction. Widened
// before taking the magnitude: the parameter may come from a saved layout and be INT_MIN, whose
// magnitude does not fit an int.
SortKey KeyOfParam(int sortParam)
{
    const long long wide = sortParam;
    switch (wide < 0 ? -wide : wide) {
    case 1:
        return {0, false};
    case 2:
        return {1, true};
    case 3:
        return {2, true};
    case 4:
        return {3, true};
    case 5:
        return {4, false};
    default:
        return {-1, false};
    }
}

}  // namespace

int CompareRowRecords(std::string_view record1, std::string_view record2, int sortParam)
{
    const SortKey key = KeyOfParam(sortParam);
    if (key.field < 0)
        return 0;
    const int c = CompareText(RowRecordField(record1, key.field), RowRecordField(record2, key.field));
    if (c != 0)
        return sortParam > 0 ? c : -c;
    if (key.nameTieBreak)
        return CompareText(RowRecordField(record1, 0), RowRecordField(record2, 0));
    return 0;
}

int SortFieldOf(int sortParam)
{
    return KeyOfParam(sortParam).field;
}

lc::LPARAM RowRecordItemData(std::string_view record)
{
    return reinterpret_cast<lc::LPARAM>(record.data());
}

std::string_view RowRecordFromItemData(lc::LPARAM itemData)
{
    const char* start = reinterpret_cast<const char*>(itemData);
    const char* end = start;
    for (int field = 0; field < kRowFieldCount; ++field)
        end += std::char_traits<char>::length(end) + 1;
    return std::string_view(start, static_cast<std::size_t>(end - start));
}

int CompareDeviceRows(lc::LPARAM record1, lc::LPARAM record2, lc::LPARAM sortParam)
{
    const int param = sortParam < INT_MIN || sortParam > INT_MAX ? 0 : static_cast<int>(sortParam);
    return CompareRowRecords(RowRecordFromItemData(record1), RowRecordFromItemData(record2), param);
}

int SortParamKeyForColumn(int logicalColumn)
{
    return logicalColumn >= 0 && logicalColumn <= 4 ? logicalColumn + 1 : 1;
}

int SortParamAfterClick(int currentParam, int logicalColumn)
{
    const int key = SortParamKeyForColumn(logicalColumn);
    return key == currentParam ? -key : key;
}

}  // namespace vantor

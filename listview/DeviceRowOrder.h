#pragma once

#include "platform/listcontrol/ListTypes.h"

#include <string_view>

namespace vantor {

// Orders two row records by the sort parameter p: |p| selects the key (1 name, 2 IP address,
// 3 subnet mask, 4 gateway - each of those three broken by name ascending -, 5 MAC; 0 or 6 and
// above: everything compares equal), the sign the direction. Fields compare as text, byte by
// byte as unsigned values, so addresses sort as text (10.0.0.10 before 10.0.0.9).
int CompareRowRecords(std::string_view record1, std::string_view record2, int sortParam);

// The record field the sort parameter orders by first (0 name .. 4 MAC), or -1 when it orders
// nothing (everything compares equal).
int SortFieldOf(int sortParam);

// The list's compare callback: the item data values are the addresses of row records, the
// sort data is the sort parameter.
int CompareDeviceRows(lc::LPARAM record1, lc::LPARAM record2, lc::LPARAM sortParam);

// Item data of a row: the address of its row record's first byte, and back (the record ends
// with the NUL of its sixth field).
lc::LPARAM RowRecordItemData(std::string_view record);
std::string_view RowRecordFromItemData(lc::LPARAM itemData);

// Sort parameter key for a click on logical column l: 0..4 give 1..5; every other column
// (the Version column, or none) sorts by name (1).
int SortParamKeyForColumn(int logicalColumn);

// The parameter after a click: the same key again reverses the direction of an ascending
// sort, anything else sorts ascending by the new key.
int SortParamAfterClick(int currentParam, int logicalColumn);

}  // namespace vantor

// The device inventory both tools export: one row per listed device, as CSV
// (for spreadsheets) or as a JSON array (for scripts).
#pragma once

#include <string>
#include <vector>

namespace kyvo {

struct InventoryRow
{
    std::string address; // dotted IPv4
    std::string mac;     // as the list shows it
    std::string model;
    std::string firmware; // the version text the device reports
    std::string name;     // UTF-8
    std::string adapter;  // the local address the device was seen on
};

// A CSV field: quoted when it holds a separator, a quote or a line break,
// and guarded with a leading apostrophe when a spreadsheet would take it for
// a formula (a device name is chosen by whoever set the device up).
std::string csvField(const std::string &text);
// Header line and one line per row, CRLF-terminated as spreadsheets expect.
std::string inventoryCsv(const std::vector<InventoryRow> &rows);
// One JSON object's text with the row's fields (no line break).
std::string inventoryJsonObject(const InventoryRow &row);
// A JSON array of the rows, one object per line.
std::string inventoryJson(const std::vector<InventoryRow> &rows);
// A JSON string literal, escaping quotes, backslashes and control characters.
std::string jsonString(const std::string &text);

} // namespace kyvo

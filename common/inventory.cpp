// Inventory texts.
#include "common/inventory.h"

#include <cstdio>
#include <string_view>

namespace kyvo {

std::string csvField(const std::string &text)
{
    std::string value = text;
    if (!value.empty() && std::string_view("=+-@\t\r").find(value[0]) != std::string_view::npos)
        value.insert(value.begin(), '\'');
    if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string inventoryCsv(const std::vector<InventoryRow> &rows)
{
    std::string out = "address,mac,model,firmware,name,adapter\r\n";
    for (const InventoryRow &r : rows) {
        out += csvField(r.address) + ',' + csvField(r.mac) + ',' + csvField(r.model) + ',' +
               csvField(r.firmware) + ',' + csvField(r.name) + ',' + csvField(r.adapter) + "\r\n";
    }
    return out;
}

std::string jsonString(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += char(c);
            }
        }
    }
    return out + '"';
}

std::string inventoryJsonObject(const InventoryRow &r)
{
    return "{\"address\":" + jsonString(r.address) + ",\"mac\":" + jsonString(r.mac) +
           ",\"model\":" + jsonString(r.model) + ",\"firmware\":" + jsonString(r.firmware) +
           ",\"name\":" + jsonString(r.name) + ",\"adapter\":" + jsonString(r.adapter) + "}";
}

std::string inventoryJson(const std::vector<InventoryRow> &rows)
{
    std::string out = "[";
    for (std::size_t i = 0; i < rows.size(); ++i)
        out += (i ? ",\n " : "\n ") + inventoryJsonObject(rows[i]);
    return out + (rows.empty() ? "]\n" : "\n]\n");
}

} // namespace kyvo

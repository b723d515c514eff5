// The Modbus polling table of the gateway record: its lists and names, the
// cells of the table as text, the cache-address columns and the table edits.
#pragma once

#include "vorlet/link/link_frame.h"
#include "vorlet/record/parameter_record.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vorlet::poll {

inline constexpr std::size_t kMaxEntries = kPollEntriesUsable; // the table's capacity
inline constexpr std::size_t kNameBytes = 64;                  // a JSON name keeps its NUL

// How JSON names and the prefix are stored: the settings' "utf8" flag.
enum class NameEncoding { Gbk, Utf8 };

// Data types by stored code; the order is the code and must stay.
inline constexpr std::array<const char *, 17> kDataTypeNames = {"BYTE",
                                                                "unsigned short (16bit)",
                                                                "float (ABCD)",
                                                                "float (CDAB)",
                                                                "unsigned int (ABCD)",
                                                                "unsigned int (CDAB)",
                                                                "bool(0 or 1)",
                                                                "short (16bit)",
                                                                "int (ABCD)",
                                                                "int (CDAB)",
                                                                "bool(true or false)",
                                                                "float (BADC)",
                                                                "float (DCBA)",
                                                                "unsigned int (BADC)",
                                                                "unsigned int (DCBA)",
                                                                "int (BADC)",
                                                                "int (DCBA)"};

// The choice lists, by stored index.
inline constexpr const char *kUploadFormats[] = {"Modbus Tcp", "Modbus Rtu", "Json带设备ID",
                                                 "Json带前缀自定义格式", "阿里云 ALINK"};
inline constexpr const char *kTimeoutHandlings[] = {"超时无变化", "超时清零", "紧急数据"};
inline constexpr const char *kChangeUploads[] = {"不启用", "紧急数据变化上传", "所有数据变化上传",
                                                 "每次轮询结束后都上传一次"};
inline constexpr const char *kUploadChannels[] = {"TCP-A和TCP-B", "TCP-A", "TCP-B"};
inline constexpr const char *kWriteReplies[] = {
    "不回复",
    "正常回复",
    "回复错误码0x0b",
    "先正常回复后写",
    "先正常回复后写,若和缓存数据相同则不写",
    "先正常回复后写,若和缓存数据相同则不写，若轮询状态是超时，则不写"};

// The table's columns.
enum Column : int {
    kSerialColumn,
    kAddressColumn,
    kFunctionColumn,
    kStartColumn,
    kCountColumn,
    kTypeColumn,
    kNameColumn,
    kThreshold1Column,
    kThreshold2Column,
    kScaleColumn,
    kOffsetColumn,
    kUrgentColumn,
    kCacheColumn,
    kCache02Column,
    kCache01Column,
    kValueColumn,
    kColumnCount
};
inline constexpr const char *kColumnTitles[kColumnCount] = {
    "序号",  "地址",    "功能码",  "开始寄存器", "寄存器数量", "数据类型",   "json名",     "阀值1",
    "阀值2", "k(kx+b)", "b(kx+b)", "紧急数据",   "缓存地址",   "02缓存地址", "01缓存地址", "当前值"};
inline constexpr int kColumnWidths[kColumnCount] = {50, 50, 60, 90, 90, 100, 120, 60,
                                                    60, 60, 60, 80, 80, 120, 120, 120};

// Neither the serial number nor the computed columns take edits.
bool columnEditable(int column);

// The entries in use: the stored count, never more than the table holds.
std::size_t entriesInUse(const PollBlock &block);

// The name of a stored type code; empty for a code outside the list.
std::string_view dataTypeName(std::uint8_t code);
// The code of a type name; 0 for a text that names none.
std::uint8_t dataTypeCode(std::string_view name);

// Where the gateway caches each entry's values: a byte address for every
// entry, and the "02" or "01" bit address for function codes 2 and 1.
struct CacheAddress
{
    long byteAddress = 0;
    long discrete02 = -1; // -1: shown as "--"
    long coil01 = -1;
};
std::vector<CacheAddress> cacheAddresses(const PollBlock &block);

// k and b as the table shows them: "%.4f" of the stored value / 10000 in
// single precision; b sign-magnitude with bit 31 for '-'.
std::string scaleText(std::uint32_t k);
std::string offsetText(std::uint32_t b);
// And back: the number × 10000 truncated toward zero; a leading '-' on b
// sets bit 31 over the magnitude of the rest.
std::uint32_t parseScale(std::string_view text);
std::uint32_t parseOffset(std::string_view text);

// The text of a cell other than the name and the computed columns.
std::string cellText(const PollEntry &entry, int column);
// A committed cell: numbers by plain decimal conversion cut to the field,
// the type by its name, k and b as above. The name column is the view's,
// because its encoding is.
void setCell(PollEntry &entry, int column, std::string_view text);

// The length of the longest start of text within maxBytes that does not
// split a character of the encoding.
std::size_t cutLength(ByteView text, std::size_t maxBytes, NameEncoding encoding);
// Clears the 65-byte name and stores at most 64 bytes of it, whole characters only.
void setName(PollEntry &entry, ByteView name, NameEncoding encoding);

// The table edits. Each refuses (false) rather than hold more than
// kMaxEntries entries, and needs an index in use where it takes one.
// Append: a new entry address 1, function 3, start 0, count 1, type 0,
// thresholds and urgent flag 0, name "k<index>"; k and b stay the slot's.
bool appendEntry(PollBlock &block);
// Insert above: the entries from index on move up one slot, so the new
// entry is a copy of the one at index.
bool insertAbove(PollBlock &block, std::size_t index);
bool removeEntry(PollBlock &block, std::size_t index);
bool tableFull(const PollBlock &block);

// On opening: an upload channel other than 1 or 2 becomes 0, a write-reply
// mode above 5 becomes 0, an entry count above 256 becomes 0.
void repairOnOpen(PollBlock &block);

// The current-value query: BA 3A scope 03 00 01 B6 MAC "E" ".".
Bytes valuesQuery(std::uint8_t scope, const Mac &mac);
// The current values text split at ';' (up to its first NUL).
std::vector<std::string> valuePieces(ByteView buffer);

} // namespace vorlet::poll

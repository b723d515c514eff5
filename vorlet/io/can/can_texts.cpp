// The help text on the CAN packet formats, in both languages.
#include "vorlet/io/can/can_texts.h"

namespace vorlet::can {

namespace {

constexpr const char kHelpChinese[] =
    "1. 经典格式: 每帧 13 字节, 收发相同。\n"
    "   字节 0 为帧信息: bit7 = 1 扩展帧, 0 标准帧; bit6 = 1 远程帧, 0 数据帧; bit5、bit4 不用 (0);"
    " bit3..bit0 为数据长度 0..8。\n"
    "   字节 1..4 为 CAN ID, 高字节在前 (ID 0x1234 为 00 00 12 34)。\n"
    "   字节 5..12 为 8 个数据字节, 不足补 0。\n"
    "   例: 扩展数据帧, ID 0x1234, 数据 01..08:\n"
    "       88 00 00 12 34 01 02 03 04 05 06 07 08\n"
    "   例: 标准数据帧, ID 0x123, 数据 01..08:\n"
    "       08 00 00 01 23 01 02 03 04 05 06 07 08\n"
    "   例: 扩展远程帧, ID 0x1234, 长度 8:\n"
    "       C8 00 00 12 34 00 00 00 00 00 00 00 00\n"
    "\n"
    "2. 0xaa+时间戳+经典格式+0xbb: 设备上报的每帧 23 字节:\n"
    "   0xAA; 4 字节秒数 (自 1970-01-01 起, 高字节在前); 4 字节微秒 (高字节在前);"
    " 13 字节经典格式帧; 0xBB。\n"
    "   发给设备的帧仍为 13 字节经典格式。\n";

constexpr const char kHelpEnglish[] =
    "1. Classic format: every frame is 13 bytes, the same in both directions.\n"
    "   Byte 0, frame information: bit 7 = 1 extended frame, 0 standard; bit 6 = 1 remote frame,"
    " 0 data frame; bits 5 and 4 unused (0); bits 3..0 data length 0..8.\n"
    "   Bytes 1..4: the CAN ID, most significant byte first (ID 0x1234 is 00 00 12 34).\n"
    "   Bytes 5..12: 8 data bytes, padded with 0.\n"
    "   Example: extended data frame, ID 0x1234, data 01..08:\n"
    "       88 00 00 12 34 01 02 03 04 05 06 07 08\n"
    "   Example: standard data frame, ID 0x123, data 01..08:\n"
    "       08 00 00 01 23 01 02 03 04 05 06 07 08\n"
    "   Example: extended remote frame, ID 0x1234, length 8:\n"
    "       C8 00 00 12 34 00 00 00 00 00 00 00 00\n"
    "\n"
    "2. 0xaa+timestamp+Classic format+0xbb: every frame the device reports is 23 bytes:\n"
    "   0xAA; 4 bytes of seconds since 1970-01-01, most significant first; 4 bytes of microseconds,"
    " most significant first; the 13-byte classic frame; 0xBB.\n"
    "   Frames sent to the device are still 13-byte classic frames.\n";

} // namespace

QString packetFormatHelp(const Language &language)
{
    return QString::fromUtf8(language.isEnglish() ? kHelpEnglish : kHelpChinese);
}

} // namespace vorlet::can

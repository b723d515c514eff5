// The CAN panel's and dialogs' dialog numbers, item lists and the texts of
// ours that the language tables do not hold.
#pragma once

#include "vorlet/lang/language.h"

#include <QString>

namespace vorlet::can {

inline constexpr int kPanelDialog = 163;    // dcan
inline constexpr int kFilterDialog = 164;   // cansf
inline constexpr int kBitRateDialog = 165;  // canbitrate
inline constexpr int kHardwareDialog = 166; // canhf
inline constexpr int kSenderDialog = 167;   // cansend
inline constexpr int kFormatDialog = 169;   // caninfo
inline constexpr int kOk = 1003;            // "确定" in each dialog
inline constexpr int kOwnControls = 2001;   // our numbers for controls the design leaves unnumbered

// The bit-rate list; the position is the stored code.
inline constexpr const char *kBitRateItems[] = {
    "250k  bps", "10k   bps", "15k   bps", "20k   bps", "25k   bps", "40k   bps",
    "50k   bps", "80k   bps", "100k  bps", "125k  bps", "200k  bps", "400k  bps",
    "500k  bps", "666k  bps", "800k  bps", "1000k bps", "自定义"};
inline constexpr const char *kPacketFormats[] = {"经典格式", "0xaa+时间戳+经典格式+0xbb"};
inline constexpr const char *kDataTypes[] = {"CAN  ID",
                                             "char",
                                             "unsigned char",
                                             "short(AB)",
                                             "short(BA)",
                                             "unsigned short(AB)",
                                             "unsigned short(BA)",
                                             "int(ABCD)",
                                             "int(CDAB)",
                                             "int(BADC)",
                                             "int(DCBA)",
                                             "unsigned int(ABCD)",
                                             "unsigned int(CDAB)",
                                             "unsigned int(BADC)",
                                             "unsigned int(DCBA)",
                                             "浮点型(ABCD)",
                                             "浮点型(CDAB)",
                                             "浮点型(BADC)",
                                             "浮点型(DCBA)"};
inline constexpr const char *kLogicItems[] = {"不启用", "和前面所有条件 与 (&&)", "独立(条件符合即通过)"};
inline constexpr const char *kFrameTypes[] = {"不区分", "标准帧", "扩展帧"};

// A text of ours in both languages.
struct OwnText
{
    const char *chinese;
    const char *english;
};
inline QString ownText(const Language &language, OwnText text)
{
    return QString::fromUtf8(language.isEnglish() ? text.english : text.chinese);
}

inline constexpr OwnText kCustomItem{"自定义", "Custom"};
inline constexpr OwnText kBitRateTitle{"自定义波特率", "Custom Baudrate"};
inline constexpr OwnText kRateRefused{"期望波特率须在 1-1000k bps 之间",
                                      "The wanted rate must be 1-1000k bps"};
inline constexpr OwnText kBrpRefused{"分频(brp)须在 1-4000 之间", "BRP must be 1-4000"};

// The help text of caninfo in the language in force.
QString packetFormatHelp(const Language &language);

} // namespace vorlet::can

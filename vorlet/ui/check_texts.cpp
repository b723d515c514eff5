// Texts of the quick-set, firmware-file and device-list checks.
#include "vorlet/ui/check_texts.h"

#include "vorlet/lang/language.h"
#include "vorlet/ui/record_texts.h"

namespace vorlet {

namespace {
constexpr int kUpgradeDialog = 132;
}

QString partialConfigText(const QString &path, std::uint64_t size, bool english)
{
    return english ? QStringLiteral("%1 holds %2 bytes, not a whole parameter record (%3 bytes): it would "
                                    "overwrite only the beginning of the device's settings.")
                         .arg(path)
                         .arg(size)
                         .arg(kRecordSize)
                   : QStringLiteral(
                         "%1 只有 %2 字节，不是完整的参数记录（%3 字节），只会覆盖设备参数的开头部分。")
                         .arg(path)
                         .arg(size)
                         .arg(kRecordSize);
}

QString addressFaultText(AddressFault fault, const ParameterRecord &record, bool english)
{
    struct Field
    {
        const std::uint8_t *octets;
        const char *english;
        const char *chinese;
    };
    const Field field = fault == AddressFault::Address
                            ? Field{record.ipAddress, "static IP address", "静态IP地址"}
                        : fault == AddressFault::Mask ? Field{record.subnetMask, "subnet mask", "子网掩码"}
                                                      : Field{record.gateway, "gateway", "网关"};
    const QString value = addressText(field.octets);
    return english ? QStringLiteral("The file's %1 %2 cannot be used; nothing was sent.")
                         .arg(QString::fromLatin1(field.english), value)
                   : QStringLiteral("配置文件中的%1 %2 不可用，未发送任何数据。")
                         .arg(QString::fromUtf8(field.chinese), value);
}

QString firmwareFileErrorText(FirmwareFileError error, bool english)
{
    switch (error) {
    case FirmwareFileError::CannotOpen:
        return Language(english ? kEnglishLetter : kChineseLetter)
            .translate(kUpgradeDialog, "can not open!!!");
    case FirmwareFileError::TooLarge:
        return Language(english ? kEnglishLetter : kChineseLetter)
            .translate(kUpgradeDialog, "file is huge!!!");
    case FirmwareFileError::Malformed:
        return Language(english ? kEnglishLetter : kChineseLetter).translate(kUpgradeDialog, "file error!!!");
    case FirmwareFileError::NoImage:
        break;
    }
    return english ? QStringLiteral("The file holds no firmware image (its header declares 0 bytes).")
                   : QStringLiteral("文件中没有固件镜像（文件头声明的长度为 0）。");
}

QString unlistedDevicesText(std::size_t count, bool beyond, bool english)
{
    const QString number =
        beyond ? (english ? QStringLiteral("more than %1") : QStringLiteral("超过 %1")).arg(count)
               : QString::number(count);
    return english ? QStringLiteral("%1 more gateways answered and are not listed (the list holds 512)")
                         .arg(number)
                   : QStringLiteral("另有 %1 台网关应答，未列出（列表最多 512 台）").arg(number);
}

} // namespace vorlet

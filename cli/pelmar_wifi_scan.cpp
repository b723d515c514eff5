// The WiFi scan without the window: the same request and reply as "搜索".
#include "cli/pelmar_wifi_scan.h"

#include "cli/cli_common.h"
#include "common/gbk_text.h"
#include "pelmar/advanced/wifi_scan.h"
#include "pelmar/link/command_frame.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <optional>

namespace cli {

namespace {

constexpr std::uint8_t kWifiScanCode = 0x41;
constexpr int kTimedOutSlot = 352; // "搜索超时"

} // namespace

int pelmarWifiScan(pelmar::ServerCore &core, std::size_t index, bool json)
{
    const pelmar::MacTail tail = core.devices().at(index).macTail;
    std::optional<std::vector<std::string>> networks;
    QObject guard;
    QObject::connect(&core, &pelmar::ServerCore::wifiScanData, &guard, [&](const QByteArray &d) {
        const kyvo::ByteView bytes(reinterpret_cast<const std::uint8_t *>(d.constData()),
                                   std::size_t(d.size()));
        if (!networks && pelmar::frameMacTail(bytes) == tail) networks = pelmar::scanReplyNetworks(bytes);
    });
    core.sendToDevice(index, pelmar::buildDeviceCommand(kWifiScanCode, tail),
                      pelmar::ServerCore::Port::Device);
    waitUntil([&] { return networks.has_value(); }, pelmar::ScanCountdown::kSeconds * 1000);
    if (!networks) {
        err(core.language().text(kTimedOutSlot));
        return kFailed;
    }
    QJsonArray list;
    for (const std::string &name : *networks) {
        const QString text = kyvo::fromGbk(QByteArray::fromStdString(name));
        if (json)
            list.append(text);
        else
            out(text);
    }
    if (json) out(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)).trimmed());
    return kOk;
}

} // namespace cli

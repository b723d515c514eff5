// Opening the TLV dialogs from the main window.
#include "pelmar/advanced/tlv_dialogs/tlv_dialog_extensions.h"

#include "pelmar/advanced/tlv_dialogs/cache_dialog.h"
#include "pelmar/advanced/tlv_dialogs/heartbeat_dialog.h"
#include "pelmar/advanced/tlv_dialogs/mqtt_dialog.h"
#include "pelmar/files/message_box.h"
#include "pelmar/model/conversions.h"

namespace pelmar {

namespace {

constexpr char kMqttHelpText[] =
    "支持标准的MQTT，支持连接阿里云，凯沃云.   支持的型号：TW11  和固件版本以 L 开头的设备";
constexpr char kMqttHelpEnglish[] = "Standard MQTT, with connections to Alibaba Cloud and Kyvo Cloud.   "
                                    "Models: TW11 and devices whose firmware version starts with L";
constexpr char kCacheHelpText[] =
    "解决多主机多从机访问速度慢，有超时。原理：轮流向串口发送指令，并将指令的结果缓存在设备里，"
    "上位机请求数据时 就从设备缓存里取。\r\n优点：多主机访问速度很快。\r\n缺点：实时性差,"
    "适合写的比较少的应用\r\n";
constexpr char kCacheHelpEnglish[] =
    "For several Modbus masters and slaves that are slow or time out. The device sends the commands to the "
    "serial "
    "port in turn and keeps their answers; a master's request is answered from that cache.\r\nPro: fast for "
    "many "
    "masters.\r\nCon: the data are less current; for applications that write little.\r\n";

void openDialog(SubDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

ServerConfigDialog::Extension help(SubDialogOptions dialogs, QString (*text)(Language))
{
    ServerConfigDialog::Extension x;
    x.needsDevice = false;
    x.open = [dialogs, text](ServerConfigDialog &window, DeviceEntry *) {
        const QString t = text(window.language().language());
        if (dialogs.message)
            dialogs.message(&window, t, {});
        else
            openMessageBox(&window, t, {});
    };
    return x;
}

} // namespace

QString mqttHelpText(Language language)
{
    return QString::fromUtf8(language == Language::English ? kMqttHelpEnglish : kMqttHelpText);
}

QString modbusCacheHelpText(Language language)
{
    return QString::fromUtf8(language == Language::English ? kCacheHelpEnglish : kCacheHelpText);
}

SubDialogTarget subDialogTarget(ServerConfigDialog &window, const DeviceEntry &entry)
{
    SubDialogTarget t;
    t.mac = entry.mac;
    t.deviceAddress = QString::fromStdString(entry.addressText);
    t.adapterAddress = window.core().adapterAddressOf(entry);
    t.port = std::max(0, window.shownPort());
    t.portCount = int(usablePortCount(entry));
    return t;
}

void addPortTlvDialogs(ServerConfigDialog::Options &options, SubDialogOptions dialogs)
{
    ServerConfigDialog::Extension mqtt;
    mqtt.open = [dialogs](ServerConfigDialog &window, DeviceEntry *entry) {
        openDialog(new MqttDialog(subDialogTarget(window, *entry), window.language(), dialogs, &window));
    };
    options.extensions[control::kMqtt] = mqtt;

    ServerConfigDialog::Extension heartbeat;
    heartbeat.open = [dialogs](ServerConfigDialog &window, DeviceEntry *entry) {
        openDialog(new HeartbeatDialog(subDialogTarget(window, *entry), window.language(), dialogs, &window));
    };
    options.extensions[control::kHeartbeatPackets] = heartbeat;

    ServerConfigDialog::Extension cache;
    cache.open = [dialogs](ServerConfigDialog &window, DeviceEntry *entry) {
        const SubDialogTarget target = subDialogTarget(window, *entry);
        if (entry->longRecord)
            return openDialog(new ModbusCacheDialog(target, window.language(), dialogs, &window));
        if (target.port >= kLegacyCachePorts) return;
        ModbusCacheDialog::LegacyFlags flags{};
        for (int i = 0; i < kLegacyCachePorts; ++i)
            flags[std::size_t(i)] = entry->ports[std::size_t(i)].modbusCacheByte;
        auto *dialog = new ModbusCacheDialog(target, window.language(), flags, dialogs, &window);
        // The entry is looked up again: the list may have changed while the dialog was open.
        const Mac mac = entry->mac;
        QObject::connect(dialog, &QDialog::accepted, &window, [&window, dialog, mac] {
            DeviceEntry *shown = window.shownEntry();
            if (!shown || shown->mac != mac) return;
            for (int i = 0; i < kLegacyCachePorts; ++i)
                shown->ports[std::size_t(i)].modbusCacheByte = dialog->legacyFlags()[std::size_t(i)];
        });
        openDialog(dialog);
    };
    options.extensions[control::kModbusCache] = cache;

    options.extensions[kMqttHelp] = help(dialogs, mqttHelpText);
    options.extensions[kModbusCacheHelp] = help(dialogs, modbusCacheHelpText);
}

} // namespace pelmar

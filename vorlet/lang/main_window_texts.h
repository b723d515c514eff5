// The main window's texts that its language pass rebuilds: the menu, the
// device list columns, the adapter default and the translated item lists.
// The main window fills its lists from these both at start-up and on a switch.
#pragma once

#include "vorlet/lang/language.h"

#include <QStringList>

#include <span>

namespace vorlet::mainwindow {

struct MenuText
{
    int id;
    const char *chinese;
};

inline constexpr MenuText kDeviceMenu{32777, "设备"}; // top item 0
// The Tools items translated in place. The English-edition item is keyed by
// "生成纯英文配置软件", the text the table holds for it.
inline constexpr MenuText kToolsMenu[] = {
    {32774, "深度恢复出厂"},     {32775, "导入配置"},          {32776, "导出配置"},
    {32779, "定制恢复出厂参数"}, {3355, "生成纯英文配置软件"},
};
// The list saved as an inventory; its English is the supplement's.
inline constexpr const char *kExportInventoryText = "导出设备清单";
// Reads "简体中文" while Chinese is in force and "English" while English is.
inline constexpr MenuText kLanguageMenu{32780, "简体中文"};

inline constexpr const char *kDeviceListColumns[] = {"SN",       "设备IP", "MAC地址",
                                                     "固件版本", "型号",   "设备名称"};
inline constexpr const char kDefaultAdapterText[] = "默认   (若搜不到设备，请选择对应的网卡)";

inline constexpr const char *kIpTypeItems[] = {"静态", "动态"};
inline constexpr const char *kWifiModeItems[] = {"AP(热点)", "STA(连路由器)"};
inline constexpr const char *kTlsItems[] = {"TLS 不启用", "TLS 单向认证", "TLS 双向认证"};
inline constexpr const char *kChannel0WorkModes[] = {
    "不启用",
    "TCP SERVER(支持24个TCP连接)",
    "TCP CLIENT",
    "UDP SERVER",
    "UDP CLIENT",
    "HTTP-C  (POST/GET)",
    "MQTT",
    "Websocket-Server",
    "HTTPS-C  (POST/GET)",
};
inline constexpr const char *kChannel1WorkModes[] = {
    "不启用",
    "TCP SERVER(不支持)",
    "TCP CLIENT",
    "UDP SERVER",
    "UDP CLIENT",
    "HTTP-C  (POST/GET)",
    "MQTT",
    "Websocket-Server(不支持)",
    "HTTPS-C  (POST/GET)",
};
inline constexpr const char *kEncryptionItems[] = {
    "AUTO(自动)", "WEP", "WPA_PSK", "WPA2_PSK", "WPA_WPA2_PSK", "WPA2_ENTERPRISE", "WPA3_PSK", "WAPI_PSK"};
inline constexpr const char *kConnectModeItems[] = {
    "不启用",
    "被动断开后，按顺序连接",
    "被动断开后，选择信号最优连接",
    "信号低于25%时,主动断开连接,并按顺序连接",
    "信号低于25%时,主动断开连接,选择信号最优连接",
};
inline constexpr const char *kSerialModeItems[] = {
    "透传",
    "(从)ModbusTcp Rtu 互转(从-串口接从站)",
    "(主)ModbusTcp Rtu 互转(主-串口接主站)",
    "一问一答",
};

// Each text through Translate of dialog 102; texts without a row (the
// protocol names) stay as they are.
QStringList translatedItems(const Language &language, std::span<const char *const> chinese);

} // namespace vorlet::mainwindow

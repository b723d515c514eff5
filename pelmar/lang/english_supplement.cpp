// The supplementary English table of the serial-server tool.
#include "pelmar/lang/english_supplement.h"

#include <QHash>

namespace pelmar {

namespace {

struct SupplementRow
{
    const char *chinese;
    const char *english;
};

// clang-format off
constexpr SupplementRow kRows[] = {
    {"确定要对 %1 台设备执行“%2”吗？", "Run \"%2\" on %1 devices?"},
    {"固件 (*.bin);;所有文件(*.*)", "Firmware (*.bin);;All files (*.*)"},
    {"设备已不在列表中，请重新搜索", "The device is no longer listed: search again"},
    {"保存无应答", "No answer to the save"},
    {"该设备的记录格式无法写入", "This server's record form cannot be written"},
    {"V174 串口服务器配置软件", "V174 Serial Device Server Configurator"},
    {"？", "?"},
    {"云透传", "Cloud pass-through"},
    {"全部网卡", "All adapters"},
    {"安全", "Security"},
    {"dhcp服务器", "DHCP server"},
    {"STP协议", "STP protocol"},
    {"MODBUS缓存数据", "MODBUS data cache"},
    {"MODBUS读取MAC IP 波特率", "MODBUS reads MAC IP baud rate"},
    {"MQTT设置", "MQTT settings"},
    {"一串口转多串口", "One port to many"},
    {"使用mac做注册包数据", "MAC as registration data"},
    {"凯沃物联串口服务器选型", "Choosing a serial device server"},
    {"导出设备清单", "Export inventory"},
    {"地址设置", "Address settings"},
    {"标准MQTT", "Standard MQTT"},
    {"简体中文", "Simplified Chinese"},
    {"自设波特率", "Custom baud rate"},
    {"高级功能（部分型号支持）", "Advanced (some models)"},
    {"对话", "One to many"},
    {"一串口转多串口，适合MODBUS协议，主串口可以根据映射的地址向从串口发送数据。", "One serial port to many, for the MODBUS protocol: the master port sends data to the slave ports by their mapped addresses."},
    {"中继模式", "Relay mode"},
    {"编码器FFH81H", "Encoder FFH81H"},
    {"更多转换协议欢迎前来定制", "More protocols made on request"},
    {"转换协议", "Conversion protocol"},
    {"如果你购买的设备没有24个串口，请忽略后面的设置。", "If your device has fewer than 24 serial ports, ignore the settings beyond them."},
    {"PORT%1地址", "PORT%1 address"},
    {"映射地址", "Mapped address"},
    {"云 ID 只能是数字", "The cloud ID can only hold digits"},
    {"云 ID 是20位的数字", "The cloud ID is a number of 20 digits"},
    {"云密码必须是8位", "The cloud password must have 8 characters"},
    {"设备云SN", "Device cloud SN"},
    {"设备云密码", "Device cloud password"},
    {"设备云IP2", "Device cloud IP2"},
    {"SCAN   双击选择", "SCAN   double-click to choose"},
    {"BUG 修复", "Fault repair"},
    {"BUG 修复中  ", "Repairing  "},
    {"BUG正在修复中 %1", "Repairing the fault %1"},
    {"Modbus 地址转换设置，极少用到。默认为0即可。谨慎设置\nModbus 若设置为大于0，比如设置为3，会将modbus主站发来的地址替换成3\n从站发来的地址会在替换成主站的地址。",
     "Modbus address conversion, rarely needed: 0 by default. Set it with care.\nModbus: set above 0, for example to 3, the address in the Modbus master's requests is replaced by 3\nand the address in the slave's answers by the master's address."},
    {"用户可以自主发数据更改串口参数，若数据符合格式，直接执行，并不返回数据，若不符合格式则转发。当次设置，当次有效，断电丢失。支持的型号：TW11   和固件版本以 L 开头的设备",
     "The user can change the serial parameters by sending data: data in the format is carried out at once and not answered, other data is passed on. A setting lasts until the power is lost. Models: TW11   and devices whose firmware version starts with L"},
    {"请在port1 界面中使用此功能！！！",
     "Please use this function on the port1 page!!!"},
    {"不推荐使用此模式 ！！！  AP-CLIENT 可实现WIFI中继，简单的可以认为AP和STA共存，但是延迟大，会有轻微的丢包现象，数据不稳定，请谨慎使用！！！",
     "This mode is not recommended!!!  AP-CLIENT relays WiFi (think of AP and STA at once), but with long delays, slight packet loss and unsteady data. Use it with care!!!"},
    {"请输入0-%1的数字！",
     "Please enter a number from 0 to %1!"},
    {"PORT%1 与PORT%2 的本地端口一样，请设置不同的值，\n注：所有PORT的本地端口不允许一样！！！",
     "PORT%1 and PORT%2 have the same local port; please set different values.\nNote: no two PORTs may share a local port!!!"},
    {"无效的网址！",
     "Invalid web address!"},
    {"MAC地址无效，请输入如 00-1A-2B-3C-4D-5E 的地址！",
     "Invalid MAC address: enter one such as 00-1A-2B-3C-4D-5E!"},
    {"端口 %1 绑定失败，收不到设备的应答。请关闭占用该端口的程序后重试。",
     "Port %1 could not be bound, so no device's answer can arrive. Close the program that uses the port and try again."},
    {"文件 (*.ini)",
     "Files (*.ini)"},
    {"(*.ini);;所有文件(*.*)",
     "(*.ini);;All files (*.*)"},
    {"请先导入配置参数！",
     "Please import a parameter file first!"},
    {"无法写入文件 %1",
     "Cannot write the file %1"},
    {"此版本需要修复BUG,请点击确定 ，进行修复 ,大概需要8s",
     "This version needs a fault repair. Click OK to repair it; it takes about 8 s"},
    {"请仔细阅读下面内容\n1.搜索不到:点击菜单栏 ‘网络适配器’，选择对应的网卡，一般是有线网卡\n2.升级不成功:必须关闭防火墙，电脑ip 必须和串口服务器同一网段。",
     "Please read the following carefully\n1. No device found: choose the network adapter of the devices in the menu 'Network adapter', usually the wired one\n2. Upgrade failed: the firewall must be off and the PC's IP in the serial server's subnet."},
    {"一旦使能此模式，串口的网络转换将不可用，此模式下 PORT1 是主串口，其余是从串口，会根据modbus协议将PORT1的数据分发到其他的串口。目前支持的型号 固件版本以 L 开头的设备",
     "Once this mode is on, the serial ports' network conversion is unavailable. In this mode PORT1 is the master port and the others are slave ports: PORT1's data goes to the other ports by the Modbus protocol. Models: devices whose firmware version starts with L"},
    {"通过串口读取设备的MAC IP 和波特率 \t地址 01 功能码 03  开始地址 2000  长度7\r\n如 mac地址是 48 01 01 01 01 01  ip 是c0 a8 01 16(192.168.1.22)\t波特率 9600\r\n此时 1-7 的寄存器内容是48 01 01 01 01 01 c0 a8 01 16 00 00 25 80\r\nmac 地址是 3个寄存器 ip 是两个寄存器 波特率是 2个寄存器\r\n支持设备：固件版本以 L 开头的设备",
     "Reads the device's MAC, IP and baud rate through the serial port \taddress 01 function 03  start 2000  length 7\r\nFor MAC 48 01 01 01 01 01, IP c0 a8 01 16 (192.168.1.22)\tand baud rate 9600\r\nregisters 1-7 hold 48 01 01 01 01 01 c0 a8 01 16 00 00 25 80\r\nThe MAC takes 3 registers, the IP two, the baud rate 2\r\nDevices: firmware version starting with L"},
    {"主端口：PORT1   注：如果第一个串口设置为一串口转多串口模式，则其余的全为从串口，网络转换将不可用",
     "Master port: PORT1   Note: when the first serial port is set to one-to-many, all the others are slave ports and network conversion is unavailable"},
};
// clang-format on

const QHash<QString, QString> &table()
{
    static const QHash<QString, QString> rows = [] {
        QHash<QString, QString> h;
        for (const SupplementRow &r : kRows)
            h.insert(QString::fromUtf8(r.chinese), QString::fromUtf8(r.english));
        return h;
    }();
    return rows;
}

} // namespace

QString supplementaryEnglish(const QString &chinese)
{
    return table().value(chinese);
}

QString inLanguage(Language language, const QString &chinese)
{
    if (language != Language::English) return chinese;
    const QString english = supplementaryEnglish(chinese);
    return english.isEmpty() ? chinese : english;
}

QString inLanguage(Language language, const char *chinese)
{
    return inLanguage(language, QString::fromUtf8(chinese));
}

} // namespace pelmar

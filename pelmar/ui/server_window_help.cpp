// What the main window answers itself beyond its settings: the help
// messages behind "Tips" and its "？" labels, the product selection page,
// and the hidden left Ctrl shortcuts (B: the firmware repair, an extension;
// I: an empty message box).
#include "pelmar/ui/server_config_dialog.h"

#include "pelmar/ui/left_control.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QMenuBar>

#include <map>

namespace pelmar {

namespace {

const std::map<int, const char *> &helpTexts()
{
    static const std::map<int, const char *> texts = {
        {control::kTips, "请仔细阅读下面内容\n1.搜索不到:点击菜单栏 "
                         "‘网络适配器’，选择对应的网卡，一般是有线网卡\n2.升级不成功:"
                         "必须关闭防火墙，电脑ip 必须和串口服务器同一网段。"},
        {control::kOneToManyHelp, "一旦使能此模式，串口的网络转换将不可用，此模式下 PORT1 "
                                  "是主串口，其余是从串口，会根据modbus协议将PORT1"
                                  "的数据分发到其他的串口。目前支持的型号 固件版本以 L 开头的设备"},
        {control::kModbusIdentityHelp, "通过串口读取设备的MAC IP 和波特率 \t地址 01 功能码 03  开始地址 2000 "
                                       " 长度7\r\n如 mac地址是 48 01 01 01 "
                                       "01 01  ip 是c0 a8 01 16(192.168.1.22)\t波特率 9600\r\n此时 1-7 "
                                       "的寄存器内容是48 01 01 01 01 01 c0 a8 01 "
                                       "16 00 00 25 80\r\nmac 地址是 3个寄存器 ip 是两个寄存器 波特率是 "
                                       "2个寄存器\r\n支持设备：固件版本以 L "
                                       "开头的设备"},
    };
    return texts;
}

} // namespace

bool ServerConfigDialog::hasOwnHelp(int control)
{
    return helpTexts().count(control) != 0;
}

bool ServerConfigDialog::showOwnHelp(int control)
{
    const auto it = helpTexts().find(control);
    if (it == helpTexts().end()) return false;
    message(ownText(it->second));
    return true;
}

void ServerConfigDialog::connectHelpAndKeys()
{
    m_ui.tips->installEventFilter(this);
    if (!m_options.openUrl) m_options.openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    // Without a page the item is taken off the menu bar, as the window always did.
    if (m_options.productSelectionPage.isEmpty()) {
        menuBar()->removeAction(m_ui.productItem);
        m_ui.productItem->setVisible(false);
    }
    connect(m_ui.productItem, &QAction::triggered, this,
            [this] { m_options.openUrl(m_options.productSelectionPage); });
    auto *keys = new LeftControlWatch(this, QStringLiteral("BI"));
    connect(keys, &LeftControlWatch::letter, this, &ServerConfigDialog::onLeftControlLetter);
}

void ServerConfigDialog::onLeftControlLetter(char key)
{
    if (key == 'B' && hasExtension(control::kRepairKey)) openExtension(control::kRepairKey);
    if (key == 'I') message(QString());
}

} // namespace pelmar

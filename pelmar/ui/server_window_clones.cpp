// The "克隆" buttons of the port settings and their enabled state, and the
// help behind the ">>" before "ModbusAddress" and the "?" of "自设波特率".
#include "pelmar/ui/server_config_dialog.h"

#include "pelmar/model/conversions.h"

#include <QLabel>
#include <QPushButton>

namespace pelmar {

namespace {

const char *const kFirstPortOnlyText = "请在port1 界面中使用此功能！！！";
const char *const kModbusAddressText =
    "Modbus 地址转换设置，极少用到。默认为0即可。谨慎设置\nModbus 若设置为大于0，比如设置为3，"
    "会将modbus主站发来的地址替换成3\n从站发来的地址会在替换成主站的地址。";
const char *const kCustomBaudText =
    "用户可以自主发数据更改串口参数，若数据符合格式，直接执行，并不返回数据，若不符合格式则转发。"
    "当次设置，当次有效，断电丢失。支持的型号：TW11   和固件版本以 L 开头的设备";

} // namespace

void ServerConfigDialog::cloneSetting(CloneRow row)
{
    DeviceEntry *e = shownEntry();
    if (!e) return requireDeviceText();
    if (m_shownPort < 0) return;
    switch (pelmar::cloneSetting(*e, std::size_t(m_shownPort), row)) {
    case CloneResult::OnlyFromFirstPort:
        message(ownText(kFirstPortOnlyText));
        return;
    case CloneResult::NoPort:
        return;
    case CloneResult::Done:
        break;
    }
    if (row == CloneRow::TargetHost) followClonedHosts(*e);
    updateCloneButtons();
}

// A host typed longer than its field goes to every port with it, so each
// port's save refuses it as the shown port's does.
void ServerConfigDialog::followClonedHosts(const DeviceEntry &e)
{
    const auto typed = m_longHosts.find({m_shown, m_shownPort});
    const std::optional<QString> text =
        typed != m_longHosts.end() ? std::optional<QString>(typed->second) : std::nullopt;
    for (int k = 0; k < int(usablePortCount(e)); ++k) {
        if (text)
            m_longHosts[{m_shown, k}] = *text;
        else
            m_longHosts.erase({m_shown, k});
    }
}

void ServerConfigDialog::updateCloneButtons()
{
    const DeviceEntry *e = m_shownPort >= 0 ? shownEntry() : nullptr;
    for (std::size_t i = 0; i < m_ui.clones.size(); ++i)
        m_ui.clones[i]->setEnabled(e && i < kCloneRows && cloneChangesSomething(*e, CloneRow(i)));
}

void ServerConfigDialog::explainModbusAddress()
{
    message(ownText(kModbusAddressText));
    m_ui.modbusAddressRow->show();
}

void ServerConfigDialog::explainCustomBaud()
{
    message(ownText(kCustomBaudText));
}

// The labels the window answers itself; the others open their extensions.
bool ServerConfigDialog::handleOwnLabel(QWidget *label)
{
    if (label == m_ui.modbusMarker) {
        explainModbusAddress();
        return true;
    }
    if (label == m_ui.profilePath) {
        openImportedFile();
        return true;
    }
    if (showOwnHelp(label->property(kControlIdProperty).toInt())) return true;
    if (label->property(kControlIdProperty).toInt() == control::kCustomBaudHelp) {
        explainCustomBaud();
        return true;
    }
    return false;
}

} // namespace pelmar

// Showing a device and its selected port in the controls, and the
// enabling rules of the work mode, the Modbus box and the WiFi mode.
#include "pelmar/ui/server_config_dialog.h"

#include "common/widgets/long_texts.h"

#include "common/gbk_text.h"
#include "pelmar/model/conversions.h"
#include "pelmar/ui/address_field.h"
#include "pelmar/ui/field_rules.h"
#include "pelmar/ui/server_list_model.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

namespace pelmar {

namespace {

QString gbkText(const std::string &bytes)
{
    return kyvo::fromGbk(QByteArray::fromStdString(bytes));
}

// A stored 1-based (or offset) value as a list selection; a value outside
// the list selects the first item.
void selectStored(QComboBox *list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : 0);
}

const char *const kApClientWarning =
    "不推荐使用此模式 ！！！  AP-CLIENT 可实现WIFI中继，简单的可以认为AP和STA共存，但是延迟大，"
    "会有轻微的丢包现象，数据不稳定，请谨慎使用！！！";

} // namespace

void ServerConfigDialog::showDevice(int index)
{
    if (index < 0 || index >= m_model->rowCount() || !m_core.devices().at(std::size_t(index)).present) return;
    // The list takes the focus before the row changes: an edit that loses
    // the focus now still stores into the device it was filled from.
    m_ui.deviceList->setFocus(Qt::OtherFocusReason);
    m_selecting = true;
    // A row of a selection of many is shown without undoing the selection.
    QItemSelectionModel *selection = m_ui.deviceList->selectionModel();
    if (!selection->isRowSelected(index, {}))
        selection->select(m_model->index(index, 0),
                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->setCurrentIndex(m_model->index(index, 0), QItemSelectionModel::NoUpdate);
    m_selecting = false;
    m_shown = index;
    const DeviceEntry &e = m_core.devices().at(std::size_t(index));
    m_model->rowChanged(index);
    m_ui.mac->setText(QString::fromStdString(macText(e)));

    m_ui.dhcpServer->hide();
    m_ui.stp->hide();
    m_ui.addressSet->hide();
    m_ui.oneToMany->setChecked(e.oneToManyEnable == 1);
    m_ui.addressSet->setVisible(e.oneToManyEnable == 1);

    showWifi(e);

    m_ui.heartbeatPackets->setVisible(e.longRecord);
    if (e.longRecord) m_ui.modbusIdentity->setChecked(e.modbusIdentity == 1);

    selectStored(m_ui.ipType, e.ipMode - 1);
    m_ui.ip->setOctets(e.ip);
    m_ui.mask->setOctets(e.mask);
    m_ui.gateway->setOctets(e.gateway);
    m_ui.dns->setOctets(e.dns);
    m_ui.user->setText(gbkText(e.user.text()));
    m_ui.password->setText(gbkText(e.password.text()));
    m_ui.filterOn->setChecked(e.broadcastFilterOff == 0);

    refillPortList(e);
    const int ports = portCount(e);
    if (m_ui.portSelect->currentIndex() >= ports) m_ui.portSelect->setCurrentIndex(ports - 1);
    m_ui.packTime->setEnabled(e.deviceKind == 1);
    m_ui.packLength->setEnabled(e.deviceKind == 1);
    m_ui.registerMode->setEnabled(e.registerCapable);
    setRegisterDataEnabled(e.registerCapable);
    updatePortSaveButton();

    const int port = m_ui.portSelect->currentIndex();
    if (port < 0 || port >= int(kMaxPorts)) {
        m_shownPort = -1;
        updateExtensionControls();
        return;
    }
    showPort(true);
}

void ServerConfigDialog::showWifi(const DeviceEntry &e)
{
    ServerWindowControls &ui = m_ui;
    const std::initializer_list<QLineEdit *> edits{ui.apSsid, ui.apPassword, ui.staSsid, ui.staPassword};
    if (!e.isWifi) {
        ui.wifiScan->setEnabled(false);
        ui.signalBar->setValue(0);
        ui.signalText->clear();
        for (QWidget *w : std::initializer_list<QWidget *>{ui.wifiMode, ui.security, ui.encryption})
            w->setEnabled(false);
        for (QLineEdit *edit : edits) {
            edit->setEnabled(false);
            edit->clear();
        }
        return;
    }
    ui.wifiMode->setEnabled(true);
    for (QLineEdit *edit : edits)
        edit->setEnabled(true);
    ui.apSsid->setText(gbkText(e.apSsid.text()));
    ui.apPassword->setText(gbkText(e.apPassword.text()));
    ui.staSsid->setText(gbkText(e.staSsid.text()));
    ui.staPassword->setText(gbkText(e.staPassword.text()));
    ui.security->setEnabled(false);
    ui.encryption->setEnabled(false);
    ui.signalText->setText(QString::fromStdString(signalText(e)));
    const SignalBar bar = signalBar(e);
    ui.signalBar->setRange(bar.minimum, bar.maximum);
    ui.signalBar->setValue(std::clamp(bar.position, bar.minimum, bar.maximum));
    QStringList modes{QStringLiteral("AP"), QStringLiteral("STA")};
    if (e.wifiExtended) {
        ui.security->setEnabled(true);
        selectStored(ui.security, e.wifiSecurity);
        selectStored(ui.encryption, e.wifiEncryption);
        ui.encryption->setEnabled(e.wifiSecurity >= 2);
        ui.dhcpServer->show();
        ui.stp->show();
        ui.dhcpServer->setChecked(e.wifiDhcpServer == 2);
        ui.stp->setChecked(e.wifiStp == 2);
        modes << QStringLiteral("AP-CLIENT");
    }
    ui.wifiMode->clear();
    ui.wifiMode->addItems(modes);
    selectStored(ui.wifiMode, e.wifiMode - 1);
    applyWifiModeRule(ui.wifiMode->currentIndex(), false);
}

void ServerConfigDialog::refillPortList(const DeviceEntry &e)
{
    const auto size = portListSize(e.portCountChar());
    if (!size || *size == m_ui.portSelect->count()) return;
    const int selected = m_ui.portSelect->currentIndex();
    m_ui.portSelect->clear();
    for (int i = 1; i <= *size; ++i)
        m_ui.portSelect->addItem(QStringLiteral("PORT%1").arg(i));
    m_ui.portSelect->setCurrentIndex(selected < *size ? selected : *size - 1);
}

void ServerConfigDialog::showPort(bool fromShowDevice)
{
    DeviceEntry *entry = shownEntry();
    const int k = m_ui.portSelect->currentIndex();
    if (!entry || k < 0 || k >= int(kMaxPorts)) return;
    m_shownPort = k;
    const DeviceEntry &e = *entry;
    const PortSettings &p = e.ports[std::size_t(k)];
    ServerWindowControls &ui = m_ui;
    selectStored(ui.baud, p.baudIndex - 1);
    selectStored(ui.parity, p.parity - 1);
    selectStored(ui.dataBits, p.dataBits - 7);
    selectStored(ui.stopBits, p.stopBits - 1);

    if (const auto type = shownSerialType(e, std::size_t(k))) {
        ui.serialType->setCurrentIndex(*type);
        ui.serialType->setEnabled(true);
    } else {
        ui.serialType->setEnabled(false);
        ui.serialType->setCurrentIndex(0);
    }

    selectStored(ui.workMode, p.workMode - 1);
    const auto longHost = m_longHosts.find({m_shown, k});
    ui.targetHost->setText(longHost != m_longHosts.end() ? longHost->second : gbkText(p.targetHost.text()));
    ui.targetPort->setText(QString::number(p.targetPort));
    ui.enable->setChecked(p.enable == 2);
    ui.modbusTcpToRtu->setChecked(p.modbusTcpToRtu == 2);
    ui.localPort->setText(QString::number(p.localPort));
    ui.standardMqtt->setChecked(p.standardMqtt == 1);
    ui.heartbeatData->setText(gbkText(p.heartbeatData.text()));
    ui.heartbeatInterval->setText(QString::number(p.heartbeatInterval));
    ui.timeout->setText(QString::number(shownTimeout(e.deviceKind, p)));
    ui.modbusAddress->setText(QString::number(p.modbusAddress));
    ui.packTime->setText(QString::number(p.packTime));
    ui.packLength->setText(QString::number(p.packLength));

    applyWorkModeRule(p.workMode);
    applyModbusRule(p.modbusTcpToRtu == 2, p.workMode, false);

    selectStored(ui.registerMode, p.registerMode);
    if (!fromShowDevice || p.workMode == 2) setRegisterDataEnabled(p.registerMode != 0);
    ui.registerData->setText(gbkText(registerText(p, ui.hex->isChecked())));
    ui.customBaud->setChecked(p.customBaud != 0);
    kyvo::showTextStarts(ui.portGroup);
    updateExtensionControls();
}

void ServerConfigDialog::setRegisterDataEnabled(bool enabled)
{
    // Register data belongs to the servers whose records carry it.
    const DeviceEntry *e = m_shown >= 0 ? &m_core.devices().at(std::size_t(m_shown)) : nullptr;
    const bool on = enabled && e && e->registerCapable;
    m_ui.registerData->setEnabled(on);
    m_ui.hex->setEnabled(on);
}

void ServerConfigDialog::applyWorkModeRule(int workMode)
{
    const WorkModeRule r = workModeRule(workMode);
    const DeviceEntry *e = m_shown >= 0 ? &m_core.devices().at(std::size_t(m_shown)) : nullptr;
    m_ui.targetHost->setEnabled(r.target);
    m_ui.targetPort->setEnabled(r.target);
    m_ui.heartbeatData->setEnabled(r.heartbeat);
    m_ui.heartbeatInterval->setEnabled(r.heartbeat);
    m_ui.registerMode->setEnabled(r.registerMode && e && e->registerCapable);
    if (r.registerDataOff) setRegisterDataEnabled(false);
}

void ServerConfigDialog::applyModbusRule(bool ticked, int workMode, bool cacheOnly)
{
    const ModbusRule r = modbusRule(ticked, workMode);
    m_ui.modbusCache->setEnabled(r.cacheButton && extensionEnabled(control::kModbusCache));
    if (cacheOnly) return;
    m_ui.timeout->setEnabled(r.timeout);
    m_ui.modbusAddress->setEnabled(r.timeout);
    m_ui.modbusMarker->setVisible(r.marker);
    if (r.hideAddressRow) m_ui.modbusAddressRow->hide();
}

void ServerConfigDialog::applyWifiModeRule(int modeIndex, bool warn)
{
    const WifiModeRule r = wifiModeRule(modeIndex);
    m_ui.apSsid->setEnabled(r.ap);
    m_ui.apPassword->setEnabled(r.ap);
    m_ui.staSsid->setEnabled(r.sta);
    m_ui.staPassword->setEnabled(r.sta);
    m_ui.wifiScan->setEnabled(r.scan && extensionEnabled(control::kWifiScan));
    if (warn && r.warn) message(ownText(kApClientWarning));
}

} // namespace pelmar

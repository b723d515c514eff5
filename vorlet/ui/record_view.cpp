// The main window's record view: copying a record into the controls, the
// enabling rules, the status texts, and collecting the controls back.
#include "vorlet/ui/main_window.h"

#include "common/fixed_field.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/ui/address_edit.h"
#include "vorlet/ui/record_texts.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>

namespace vorlet {

namespace {

void setIndex(QComboBox *combo, int value)
{
    combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : 0);
}

std::uint8_t indexOf(const QComboBox *combo)
{
    return std::uint8_t(std::max(0, combo->currentIndex()));
}

void setNumber(QLineEdit *edit, long long value)
{
    edit->setText(QString::number(value));
}

std::uint16_t number16(const QLineEdit *edit)
{
    return std::uint16_t(decimalValue(edit->text()));
}

void setColour(QWidget *w, QRgb colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, QColor::fromRgba(colour));
    w->setPalette(p);
}

int signedWord(std::uint32_t v)
{
    return int(v);
}

ChannelPanelKind panelKindFor(int mode)
{
    if (mode == 5 || mode == 8) return ChannelPanelKind::Http;
    if (mode == 6) return ChannelPanelKind::Mqtt;
    return ChannelPanelKind::Socket;
}

} // namespace

void CvorletDlg::showRecord(const ParameterRecord &r)
{
    m_shown = &r;
    MainWindowControls &ui = m_ui;
    setIndex(ui.ipType, r.ipType);
    ui.ip->setOctets(r.ipAddress);
    ui.mask->setOctets(r.subnetMask);
    ui.gateway->setOctets(r.gateway);
    ui.dns->setOctets(r.dns);
    ui.user->setText(gbkFieldText(r.userName));
    ui.password->setText(gbkFieldText(r.password));
    ui.ipv6->setText(gbkFieldText(r.ipv6));

    ui.modbusPoll->setChecked(r.poll.enabled != 0);
    ui.web->setChecked(r.webSwitch != 0x55);
    ui.userJson->setChecked(r.userJson == 0x55);
    ui.channelBridge->setChecked(r.channelBridge != 0);
    ui.ntp->setChecked(r.ntpEnabled != 0);
    ui.customBaud->setChecked(r.customBaud != 0);
    ui.debug->setChecked(r.debugOutput != 0);
    ui.userCode->setChecked(r.userCode != 0);

    setNumber(ui.netLossMinutes, r.netLossRestartMin.get());
    ui.versionNumber->setText(QString::asprintf("V%03d", signedWord(r.firmwareNumber.get())));
    ui.ioModuleText->setText(
        QString::asprintf("%d-V%03d", signedWord(r.io.moduleAddress.get()), int(r.ioVersion.get())));
    ui.rtu->setEnabled(hasExtension(1078) && (r.ioInputs != 0 || r.ioOutputs != 0));

    // The WiFi controls always hold this record's values, so that collecting
    // them never carries another device's network into it.
    const bool wifi = r.capabilities[2] != 0;
    for (QWidget *w : {static_cast<QWidget *>(ui.wifiMode), static_cast<QWidget *>(ui.ssid),
                       static_cast<QWidget *>(ui.wifiPassword), static_cast<QWidget *>(ui.encryption),
                       static_cast<QWidget *>(ui.wifiMore)})
        w->setEnabled(wifi);
    ui.connectMode->setEnabled(false); // shows the value only
    setIndex(ui.wifiMode, r.wifiMode);
    ui.ssid->setText(utf8FieldText(r.ssidList, sizeof r.ssidList));
    ui.wifiPassword->setText(gbkFieldText(r.wifiPasswords));
    setIndex(ui.encryption, r.wifiEncryption);
    setIndex(ui.connectMode, r.wifiConnectMode);
    ui.bssidOnly->setChecked(r.bssidOnly == 0x55);
    ui.bssid->setText(bssidText(r.bssid));
    ui.bssid->setEnabled(ui.bssidOnly->isChecked());
    applyWifiModeRule();

    setIndex(ui.tls, r.tlsMode);
    ui.certChecks->setText(QString::asprintf("(%04x,%04x,%04x)", int(r.certChecks[0].get()),
                                             int(r.certChecks[1].get()), int(r.certChecks[2].get())));
    showStatusTexts(r);
}

// The read-only texts of the record: no-data time, WiFi signal, production
// date, clock line. A language switch shows them again.
void CvorletDlg::showStatusTexts(const ParameterRecord &r)
{
    MainWindowControls &ui = m_ui;
    ui.noDataText->setText(formatText(tr102("无数据时间:%d 秒"), signedWord(r.idleS.get())));
    if (r.capabilities[2] != 0)
        ui.signal->setText(
            QString::asprintf("%d%%(%d)", signalPercent(r.wifiSignal), int(std::int8_t(r.wifiSignal))));
    else
        ui.signal->clear();

    const std::uint32_t made = r.productionTime.get();
    const QDateTime local = QDateTime::fromSecsSinceEpoch(qint64(made)).toLocalTime();
    ui.productionDate->setText(formatText(tr102("生产日期:%d-%02d-%02d-%02d:%02d:%02d"), local.date().year(),
                                          local.date().month(), local.date().day(), local.time().hour(),
                                          local.time().minute(), local.time().second()));
    setColour(ui.productionDate, productionTimeTrusted(made) ? kLinkGreen : kDateRed);
    showClockLine(r);
}

void CvorletDlg::showClockLine(const ParameterRecord &r)
{
    const bool rtc = r.capabilities[3] == 1;
    const std::uint8_t *c = r.clock;
    const QString weekday = tr102(weekdayName(c[6]));
    const QString text = formatText(tr102(rtc ? "RTC校准(%d-%02d-%02d %02d:%02d:%02d  %s)"
                                              : "无RTC.NTP:(%d-%02d-%02d %02d:%02d:%02d  %s)"),
                                    c[0] + 1900, c[1] + 1, int(c[2]), int(c[3]), int(c[4]), int(c[5]),
                                    weekday.toUtf8().constData());
    setControlCaption(m_ui.clockLine, text);
    m_ui.clockLine->setEnabled(r.capabilities[3] != 0);
}

void CvorletDlg::showSerialCaption(const ParameterRecord &r)
{
    if (r.capabilities[4] == 1) return; // the group is the CAN group
    m_ui.serialGroup->setTitle(formatText(tr102("串口(rx:%d,tx:%d)"), signedWord(r.serialReceived.get()),
                                          signedWord(r.serialSent.get())));
}

void CvorletDlg::showSerial(const ParameterRecord &r)
{
    MainWindowControls &ui = m_ui;
    showSerialCaption(r);
    const SerialBlock &s = r.serial;
    setIndex(ui.baud, s.baudIndex);
    setIndex(ui.parity, s.parityIndex);
    setIndex(ui.stopBits, s.stopBitsIndex);
    setIndex(ui.serialMode, s.serialMode);
    setIndex(ui.dataBits, int(s.dataBits) - 7);
    setNumber(ui.packingTime, s.packingTimeMs.get());
    setNumber(ui.packingLength, s.packingLength.get());
    setNumber(ui.replyTimeout, s.replyTimeoutMs.get());
    setNumber(ui.updatePeriod, s.updatePeriodMs.get());
    setNumber(ui.commandDelay, s.commandDelayMs.get());
    ui.commandCache->setChecked(s.commandCache != 0);
    applySerialRule();
}

void CvorletDlg::applySerialRule()
{
    MainWindowControls &ui = m_ui;
    for (QWidget *w : {static_cast<QWidget *>(ui.commandCache), static_cast<QWidget *>(ui.replyTimeout),
                       static_cast<QWidget *>(ui.updatePeriod), static_cast<QWidget *>(ui.commandDelay)})
        w->setEnabled(false);
    switch (ui.serialMode->currentIndex()) {
    case 1:
        ui.commandCache->setEnabled(true);
        ui.replyTimeout->setEnabled(true);
        ui.commandDelay->setEnabled(true);
        ui.updatePeriod->setEnabled(ui.commandCache->isChecked());
        break;
    case 3:
        ui.replyTimeout->setEnabled(true);
        ui.commandDelay->setEnabled(true);
        break;
    default:
        break;
    }
}

void CvorletDlg::applyWifiModeRule()
{
    const bool wifi = m_shown && m_shown->capabilities[2] != 0;
    m_ui.wifiScan->setEnabled(hasExtension(1054) && wifi && m_ui.wifiMode->currentIndex() == 1);
}

void CvorletDlg::showFieldPortGroup(const ParameterRecord &r)
{
    MainWindowControls &ui = m_ui;
    if (r.capabilities[4] == 1) {
        ui.serialControls->hide();
        ui.serialGroup->setTitle(tr102("CAN"));
        if (m_canPanel) m_canPanel->load(r);
        m_canLoaded = m_canPanel != nullptr;
        ui.canPlace->show();
        return;
    }
    ui.canPlace->hide();
    m_canLoaded = false;
    ui.serialControls->show();
    ui.serialGroup->setTitle(tr102("串口"));
    const bool fixedLine = r.capabilities[5] == 1;
    for (QWidget *w : ui.lineParameters)
        w->setEnabled(!fixedLine);
}

void CvorletDlg::placeChannelPanel(int channel, const ParameterRecord &r)
{
    const auto c = std::size_t(channel);
    for (ChannelPanel *panel : m_panels[c])
        if (panel) panel->hide();
    m_placed[c] = nullptr;
    const int mode = r.channels[c].workMode;
    setIndex(m_ui.channels[c].workMode, mode);
    showChannelStatus(r);
    ChannelPanel *panel = channelPanelFor(channel, mode);
    if (!panel) return;
    panel->load(r.channels[c]);
    panel->show();
    m_placed[c] = panel;
}

ChannelPanel *CvorletDlg::channelPanelFor(int channel, int mode) const
{
    // TCP-B has no server modes: they show no panel.
    if (channel == 1 && (mode == 1 || mode == 7)) return nullptr;
    if (mode == 0 || mode > 8) return nullptr;
    return m_panels[std::size_t(channel)][std::size_t(panelKindFor(mode))];
}

void CvorletDlg::onWorkModeChanged(int channel, int index)
{
    ParameterRecord *record = requireDevice();
    if (!record || index < 0) return;
    const auto c = std::size_t(channel);
    // What was typed into the panel that goes away stays in the record.
    if (m_placed[c] && record == m_shown) m_placed[c]->store(record->channels[c]);
    record->channels[c].workMode = std::uint8_t(index);
    placeChannelPanel(channel, *record);
}

void CvorletDlg::showChannelStatus(const ParameterRecord &r)
{
    for (int c = 0; c < 2; ++c) {
        const ChannelStatus &s = r.channelStatus[c];
        const int rx = signedWord(s.received.get()), tx = signedWord(s.sent.get());
        const auto outcome = [this](bool ok) { return tr102(ok ? "成功" : "失败").toUtf8(); };
        const QString listening = formatText(tr102("正在监听, 接收:%d  发送:%d"), rx, tx);
        QString text;
        switch (r.channels[c].workMode) {
        case 1:
            text = formatText(tr102("客户端(%d), 接收:%d  发送:%d"), int(s.clientCount), rx, tx);
            break;
        case 7:
            if (c == 0) text = formatText(tr102("客户端(%d), 接收:%d  发送:%d"), int(s.clientCount), rx, tx);
            break;
        case 3:
            text = listening;
            break;
        case 4:
            text = c == 0 && s.connectionState == 253
                       ? formatText(tr102("监听失败, 接收:%d  发送:%d"), rx, tx)
                       : listening;
            break;
        case 6:
            text =
                formatText(tr102("连接%s,订阅%s  接收:%d 发送:%d"), outcome(s.mqttConnected == 1).constData(),
                           outcome(s.mqttSubscribed == 1).constData(), rx, tx);
            break;
        case 2:
        case 5:
        case 8:
            text = formatText(tr102("连接%s, 接收:%d 发送:%d"), outcome(s.connectionState == 1).constData(),
                              rx, tx);
            break;
        default:
            break;
        }
        m_ui.channels[std::size_t(c)].status->setText(text);
    }
}

void CvorletDlg::onQueryAnswered(int row)
{
    // A query answer may carry the serial counters and settings.
    if (std::size_t(row) < m_core.devices().count() && &m_core.devices().at(std::size_t(row)) == m_shown)
        showSerial(*m_shown);
}

QStringList CvorletDlg::panelProblems(const ParameterRecord &r) const
{
    QStringList problems;
    if (m_shown != &r) return problems; // collecting stores no panel then
    for (const ChannelPanel *panel : m_placed)
        if (panel)
            for (const QString &text : panel->problems())
                if (!problems.contains(text)) problems << text;
    return problems;
}

void CvorletDlg::collectRecord(ParameterRecord &r)
{
    const MainWindowControls &ui = m_ui;
    r.ipType = indexOf(ui.ipType);
    ui.ip->storeOctets(r.ipAddress);
    ui.mask->storeOctets(r.subnetMask);
    ui.gateway->storeOctets(r.gateway);
    ui.dns->storeOctets(r.dns);
    setGbkField(r.userName, ui.user->text(), 63);
    setGbkField(r.password, ui.password->text(), 63);
    setGbkField(r.ipv6, ui.ipv6->text(), 47);

    r.poll.enabled = ui.modbusPoll->isChecked() ? 1 : 0;
    r.ntpEnabled = ui.ntp->isChecked() ? 1 : 0;
    r.customBaud = ui.customBaud->isChecked() ? 1 : 0;
    r.netLossRestartMin = number16(ui.netLossMinutes);
    r.channelBridge = ui.channelBridge->isChecked() ? 1 : 0;
    r.debugOutput = ui.debug->isChecked() ? 1 : 0;
    r.userCode = ui.userCode->isChecked() ? 1 : 0;
    r.tlsMode = indexOf(ui.tls);

    SerialBlock &s = r.serial;
    s.baudIndex = indexOf(ui.baud);
    s.parityIndex = indexOf(ui.parity);
    s.dataBits = std::uint8_t(indexOf(ui.dataBits) + 7);
    s.stopBitsIndex = indexOf(ui.stopBits);
    s.packingTimeMs = number16(ui.packingTime);
    s.packingLength = number16(ui.packingLength);
    s.serialMode = indexOf(ui.serialMode);
    s.commandCache = ui.commandCache->isChecked() ? 1 : 0;
    s.replyTimeoutMs = number16(ui.replyTimeout);
    s.commandDelayMs = number16(ui.commandDelay);
    s.updatePeriodMs = number16(ui.updatePeriod);

    r.webSwitch = ui.web->isChecked() ? 0 : 0x55;
    r.userJson = ui.userJson->isChecked() ? 0x55 : 0;

    r.wifiMode = indexOf(ui.wifiMode);
    setUtf8Field(r.ssidList, sizeof r.ssidList, ui.ssid->text(), sizeof r.ssidList - 1);
    setGbkField(r.wifiPasswords, ui.wifiPassword->text(), 31);
    r.wifiEncryption = indexOf(ui.encryption);
    r.wifiConnectMode = indexOf(ui.connectMode);
    r.bssidOnly = ui.bssidOnly->isChecked() ? 0x55 : 0;
    if (const auto bssid = parseBssid(ui.bssid->text())) std::memcpy(r.bssid, bssid->data(), 6);

    // Only panels that were filled from this record copy anything back.
    if (m_shown == &r) {
        for (int c = 0; c < 2; ++c)
            if (ChannelPanel *panel = m_placed[std::size_t(c)]) panel->store(r.channels[c]);
        if (m_canLoaded && r.capabilities[4] == 1) m_canPanel->store(r);
    }
}

} // namespace vorlet

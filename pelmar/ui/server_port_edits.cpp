// The edit handlers: every change goes straight into the shown device's
// entry or its shown port, after the field's check.
#include "pelmar/ui/server_config_dialog.h"

#include "common/gbk_text.h"
#include "common/hex_text.h"
#include "pelmar/model/conversions.h"
#include "pelmar/ui/field_rules.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace pelmar {

namespace {

const char *const kNumberText = "请输入0-%1的数字！";
const char *const kDuplicatePortText =
    "PORT%1 与PORT%2 的本地端口一样，请设置不同的值，\n注：所有PORT的本地端口不允许一样！！！";

std::string gbk(const QString &text)
{
    return kyvo::toGbk(text).toStdString();
}

} // namespace

void ServerConfigDialog::connectEdits()
{
    ServerWindowControls &ui = m_ui;
    // Handled on each change of the text and again when the edit is left.
    for (QLineEdit *edit : {ui.targetHost, ui.targetPort, ui.localPort, ui.heartbeatData,
                            ui.heartbeatInterval, ui.packTime, ui.packLength, ui.timeout}) {
        const int id = edit->property(kControlIdProperty).toInt();
        connect(edit, &QLineEdit::textEdited, this, [this, id](const QString &text) {
            m_editedSinceLeft.insert(id);
            onTextEdited(id, text);
        });
        edit->installEventFilter(this);
    }
    // Handled only when the edit is left.
    for (QLineEdit *edit : {ui.registerData, ui.modbusAddress}) {
        const int id = edit->property(kControlIdProperty).toInt();
        connect(edit, &QLineEdit::textEdited, this, [this, id] { m_editedSinceLeft.insert(id); });
        edit->installEventFilter(this);
    }

    for (QComboBox *list : {ui.baud, ui.parity, ui.dataBits, ui.stopBits, ui.workMode, ui.serialType,
                            ui.registerMode, ui.wifiMode, ui.security}) {
        const int id = list->property(kControlIdProperty).toInt();
        connect(list, &QComboBox::activated, this, [this, id](int index) { onListChosen(id, index); });
    }
    connect(ui.portSelect, &QComboBox::activated, this, [this] { showPort(false); });
    connect(ui.portSelect, &PortCombo::aboutToShowPopup, this, [this] {
        if (const DeviceEntry *e = shownEntry()) refillPortList(*e);
    });
    for (QCheckBox *box : {ui.enable, ui.modbusTcpToRtu, ui.hex, ui.customBaud, ui.oneToMany, ui.standardMqtt}) {
        const int id = box->property(kControlIdProperty).toInt();
        connect(box, &QCheckBox::clicked, this, [this, id](bool ticked) { onBoxClicked(id, ticked); });
    }
    connect(ui.macAsRegister, &QPushButton::clicked, this, &ServerConfigDialog::macAsRegisterData);
}

PortSettings *ServerConfigDialog::editedPort()
{
    DeviceEntry *e = shownEntry();
    if (!e) {
        requireDeviceText();
        return nullptr;
    }
    if (m_shownPort < 0 || m_shownPort >= int(kMaxPorts)) return nullptr;
    return &e->ports[std::size_t(m_shownPort)];
}

bool ServerConfigDialog::numericField(QLineEdit *edit, std::uint32_t max, std::uint32_t &value,
                                      bool zeroOnFailure)
{
    if (const auto v = checkNumber(edit->text().toStdString(), max)) {
        value = *v;
        return true;
    }
    // The edit is emptied first, so leaving it while the box is up stores nothing.
    edit->setText(zeroOnFailure ? QStringLiteral("0") : QString());
    message(ownText(kNumberText).arg(max));
    return false;
}

void ServerConfigDialog::onTextEdited(int control, const QString &text)
{
    PortSettings *p = editedPort();
    if (!p) return;
    const DeviceEntry &e = *shownEntry();
    std::uint32_t value = 0;
    switch (control) {
    case control::kTargetHost:
        hostTyped(text);
        break;
    case control::kTargetPort:
        p->targetPort = typedU16(text.toStdString());
        break;
    case control::kLocalPort:
        p->localPort = typedU16(text.toStdString());
        break;
    case control::kHeartbeatData:
        p->heartbeatData.set(gbk(text));
        break;
    case control::kHeartbeatInterval:
        if (numericField(m_ui.heartbeatInterval, 65535, value)) p->heartbeatInterval = std::uint16_t(value);
        break;
    case control::kTimeout:
        if (numericField(m_ui.timeout, 65535, value)) storeTypedTimeout(e.deviceKind, *p, value);
        break;
    case control::kPackTime:
        if (numericField(m_ui.packTime, 255, value)) p->packTime = std::uint8_t(value);
        break;
    case control::kPackLength:
        p->packLength = typedU16(text.toStdString());
        break;
    default:
        return;
    }
    updateExtensionControls();
}

void ServerConfigDialog::hostTyped(const QString &text)
{
    PortSettings &p = shownEntry()->ports[std::size_t(m_shownPort)];
    const std::string bytes = gbk(text);
    p.targetHost.set(bytes);
    const std::pair<int, int> key{m_shown, m_shownPort};
    if (bytes.size() > kMaxTargetHostLength)
        m_longHosts[key] = text;
    else
        m_longHosts.erase(key);
}

void ServerConfigDialog::onEditLeft(int control, bool windowLeft)
{
    if (m_selecting) return;
    const bool edited = m_editedSinceLeft.erase(control) > 0;
    // Another program, a menu or a box took the focus: what was typed is
    // stored, and an edit left untouched stays as it is.
    if (windowLeft && !edited) return;
    PortSettings *p = editedPort();
    if (!p) return;
    const DeviceEntry &e = *shownEntry();
    switch (control) {
    case control::kLocalPort: {
        // The typed value is in the entry already (each keystroke stores it);
        // a duplicate is reported at each leaving, once per click.
        const std::uint16_t value = typedU16(m_ui.localPort->text().toStdString());
        if (const auto other = duplicateLocalPort(e, std::size_t(m_shownPort), value)) {
            m_ui.localPort->setFocus(Qt::OtherFocusReason);
            message(ownText(kDuplicatePortText).arg(m_shownPort + 1).arg(*other + 1));
            return;
        }
        p->localPort = value;
        break;
    }
    case control::kRegisterData:
        storeRegisterText();
        break;
    case control::kModbusAddress: {
        std::uint32_t value = 0;
        if (numericField(m_ui.modbusAddress, 65535, value, true)) p->modbusAddress = std::uint8_t(value);
        break;
    }
    default:
        // The edits handled on each change run once more.
        if (auto *edit = qobject_cast<QLineEdit *>(findControl(this, control)))
            onTextEdited(control, edit->text());
        return;
    }
    updateExtensionControls();
}

void ServerConfigDialog::storeRegisterText()
{
    PortSettings *p = editedPort();
    if (!p) return;
    const auto data = typedRegisterData(gbk(m_ui.registerData->text()), m_ui.hex->isChecked());
    if (!data) {
        message(QString::fromLatin1(kyvo::kHexErrorText.data(), qsizetype(kyvo::kHexErrorText.size())));
        return;
    }
    storeRegisterData(*p, *data);
}

void ServerConfigDialog::macAsRegisterData()
{
    DeviceEntry *e = shownEntry();
    if (!e) return requireDeviceText();
    m_ui.registerData->setFocus(Qt::OtherFocusReason);
    m_editedSinceLeft.insert(control::kRegisterData);
    m_ui.hex->setChecked(true);
    m_ui.registerData->setText(QString::fromStdString(macAsRegisterText(e->mac)));
}

void ServerConfigDialog::onListChosen(int control, int index)
{
    if (control == control::kWifiMode || control == control::kSecurity) {
        if (!shownEntry()) return requireDeviceText();
        if (control == control::kWifiMode)
            applyWifiModeRule(index, true);
        else
            m_ui.encryption->setEnabled(index >= 2);
        return;
    }
    PortSettings *p = editedPort();
    if (!p || index < 0) return;
    switch (control) {
    case control::kBaud:
        p->baudIndex = std::uint8_t(index + 1);
        break;
    case control::kParity:
        p->parity = std::uint8_t(index + 1);
        break;
    case control::kStopBits:
        p->stopBits = std::uint8_t(index + 1);
        break;
    case control::kDataBits:
        p->dataBits = std::uint8_t(index + 7);
        break;
    case control::kWorkMode:
        p->workMode = std::uint8_t(index + 1);
        applyWorkModeRule(p->workMode);
        applyModbusRule(p->modbusTcpToRtu == 2, p->workMode, true);
        break;
    case control::kSerialType:
        if (m_shownPort < 8) p->serialType = std::uint8_t(index + 1);
        break;
    case control::kRegisterMode:
        p->registerMode = std::uint8_t(index);
        setRegisterDataEnabled(index != 0);
        break;
    default:
        return;
    }
    updateExtensionControls();
}

void ServerConfigDialog::onBoxClicked(int control, bool ticked)
{
    if (control == control::kOneToMany) {
        DeviceEntry *e = shownEntry();
        if (!e) {
            m_ui.oneToMany->setChecked(false);
            return requireDeviceText();
        }
        e->oneToManyEnable = ticked ? 1 : 0;
        m_ui.addressSet->setVisible(ticked);
        return;
    }
    PortSettings *p = editedPort();
    if (!p) return;
    switch (control) {
    case control::kEnable:
        if (m_shownPort < 8) p->enable = std::uint8_t(ticked + 1);
        return; // the clone buttons do not follow this one
    case control::kModbusTcpToRtu:
        p->modbusTcpToRtu = std::uint8_t(ticked + 1);
        applyModbusRule(ticked, p->workMode, false);
        break;
    case control::kHex:
        m_ui.registerData->setText(kyvo::fromGbk(QByteArray::fromStdString(registerText(*p, ticked))));
        break;
    case control::kCustomBaud:
        p->customBaud = ticked ? 1 : 0;
        break;
    case control::kStandardMqtt:
        p->standardMqtt = ticked ? 1 : 0;
        break;
    default:
        return;
    }
    updateExtensionControls();
}

} // namespace pelmar

// The socket panel: enabling by work mode, the ports, addresses, heartbeat
// and registration data, the shared hex flags.
#include "vorlet/services/tcp_panel.h"

#include "common/gbk_text.h"
#include "panel_bench.h"
#include "tests/support/test_support.h"
#include "vorlet/services/mqtt_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

using namespace vorlet;
using namespace vorlet::tcpcontrol;
using namespace servicetest;

namespace {

struct TcpBench : PanelBench
{
    TcpPanel *panel = make<TcpPanel>(ChannelPanelKind::Socket);
    QLineEdit *edit(int id) { return control<QLineEdit>(panel, id); }
    QCheckBox *box(int id) { return control<QCheckBox>(panel, id); }
};

void fillSocketFields(ChannelBlock &b)
{
    b.localPort = 8887;
    kyvo::setFieldText(b.targetAddress, "192.168.1.100");
    b.targetPort = 8888;
    b.heartbeatLength = 2;
    b.heartbeatData[0] = 'h';
    b.heartbeatData[1] = 'b';
    b.heartbeatIntervalS = 60;
    b.registrationMode = 3;
    b.registrationLength = 4;
    for (int i = 0; i < 4; ++i)
        b.registrationData[i] = std::uint8_t(i + 1);
    b.multicast = 1;
}

} // namespace

TEST(TcpPanel, EnablesTheControlsOfTheWorkMode)
{
    TcpBench t;
    const int clientControls[] = {kTargetAddress, kTargetPort, kLocalPort,
                                  kHeartbeat,     kInterval,   kRegistration};
    auto enabled = [&](int id) { return vorlet::findControl(t.panel, id)->isEnabled(); };
    for (std::uint8_t serverMode : {1, 3, 7}) {
        t.panel->load(*zeroBlock(serverMode));
        for (int id : clientControls)
            EXPECT_EQ(enabled(id), id == kLocalPort) << int(serverMode) << " " << id;
        EXPECT_FALSE(enabled(kRegistrationMode));
        EXPECT_FALSE(enabled(kMulticast));
    }
    t.panel->load(*zeroBlock(2));
    for (int id : clientControls)
        EXPECT_TRUE(enabled(id)) << id;
    EXPECT_TRUE(enabled(kRegistrationMode));
    EXPECT_FALSE(enabled(kMulticast));
    t.panel->load(*zeroBlock(4));
    for (int id : clientControls)
        EXPECT_TRUE(enabled(id)) << id;
    EXPECT_TRUE(enabled(kMulticast));
    for (std::uint8_t other : {0, 5, 6, 8}) {
        t.panel->load(*zeroBlock(other));
        for (int id : clientControls)
            EXPECT_FALSE(enabled(id)) << int(other) << " " << id;
        EXPECT_FALSE(enabled(kMulticast));
    }
    // The hex boxes are settings of the PC, never tied to the mode.
    EXPECT_TRUE(enabled(kHeartbeatHex));
    EXPECT_TRUE(enabled(kRegistrationHex));
}

TEST(TcpPanel, StoresWhatItLoadedAndTouchesNothingElse)
{
    TcpBench t;
    auto block = zeroBlock(2);
    std::memset(block.get(), 0x5A, sizeof *block); // every byte the panel does not own stays 0x5A
    block->workMode = 2;
    std::memset(block->targetAddress, 0, sizeof block->targetAddress);
    std::memset(block->heartbeatData, 0, sizeof block->heartbeatData);
    std::memset(block->registrationData, 0, sizeof block->registrationData);
    fillSocketFields(*block);
    t.panel->load(*block);
    EXPECT_EQ(t.edit(kTargetAddress)->text(), QStringLiteral("192.168.1.100"));
    EXPECT_EQ(t.edit(kLocalPort)->text(), QStringLiteral("8887"));
    EXPECT_EQ(t.edit(kInterval)->text(), QStringLiteral("60"));
    EXPECT_EQ(t.edit(kHeartbeat)->text(), QStringLiteral("hb"));
    EXPECT_EQ(control<QComboBox>(t.panel, kRegistrationMode)->currentIndex(), 3);
    EXPECT_TRUE(t.box(kMulticast)->isChecked());

    const ChannelBlock before = *block;
    t.panel->store(*block);
    EXPECT_EQ(0, std::memcmp(&before, block.get(), sizeof before));
    EXPECT_TRUE(t.messages.isEmpty());
}

TEST(TcpPanel, ReadsNumbersAsDecimalAndCutsTheAddress)
{
    TcpBench t;
    auto block = zeroBlock(2);
    t.panel->load(*block);
    t.edit(kTargetPort)->setText(QStringLiteral("8080x"));
    t.edit(kLocalPort)->setText(QString());
    t.edit(kInterval)->setText(QStringLiteral("70000")); // cut to 16 bits, as the field holds
    t.edit(kTargetAddress)->setText(QString(200, QLatin1Char('h')));
    t.panel->store(*block);
    EXPECT_EQ(block->targetPort.get(), 8080);
    EXPECT_EQ(block->localPort.get(), 0);
    EXPECT_EQ(block->heartbeatIntervalS.get(), 70000 % 65536);
    EXPECT_EQ(fieldBytes(block->targetAddress), QByteArray(127, 'h'));
    EXPECT_EQ(block->targetAddress[127], 0);

    // A Chinese name is cut on a character boundary.
    t.edit(kTargetAddress)->setText(QString(126, QLatin1Char('a')) + u("网关"));
    t.panel->store(*block);
    EXPECT_EQ(fieldBytes(block->targetAddress), QByteArray(126, 'a'));
}

TEST(TcpPanel, ALongHostShowsItsStartAndTheModeListNamesItsChoice)
{
    TcpBench t;
    auto block = zeroBlock(2);
    fillSocketFields(*block);
    kyvo::setFieldText(block->targetAddress, "plant-gateway-17.line-3.example.net");
    t.panel->load(*block);
    EXPECT_EQ(t.edit(kTargetAddress)->cursorPosition(), 0);
    auto *mode = control<QComboBox>(t.panel, kRegistrationMode);
    EXPECT_EQ(mode->toolTip(), mode->currentText());
    EXPECT_FALSE(mode->toolTip().isEmpty());
}

TEST(TcpPanel, HeartbeatInHexOrAsTextByTheFlag)
{
    TcpBench t;
    auto block = zeroBlock(2);
    t.settings.hbHex = 1;
    t.panel->load(*block);
    t.edit(kHeartbeat)->setText(QStringLiteral("AB CD"));
    t.panel->store(*block);
    EXPECT_EQ(block->heartbeatLength, 2);
    EXPECT_EQ(block->heartbeatData[0], 0xAB);
    EXPECT_EQ(block->heartbeatData[1], 0xCD);

    t.settings.hbHex = 0;
    t.panel->load(*block);
    t.edit(kHeartbeat)->setText(QStringLiteral("AB CD"));
    t.panel->store(*block);
    EXPECT_EQ(block->heartbeatLength, 5);
    EXPECT_EQ(fieldBytes(block->heartbeatData), QByteArray("AB CD"));
}

TEST(TcpPanel, A128ByteHeartbeatShownInHexComesBackUnchanged)
{
    TcpBench t;
    t.settings.hbHex = 1;
    t.settings.regHex = 1;
    auto block = zeroBlock(2);
    block->heartbeatLength = 128;
    block->registrationLength = 128;
    for (int i = 0; i < 128; ++i) {
        block->heartbeatData[i] = std::uint8_t(255 - i);
        block->registrationData[i] = std::uint8_t(i * 2);
    }
    const ChannelBlock before = *block;
    t.panel->load(*block);
    EXPECT_EQ(t.edit(kHeartbeat)->text().size(), 384);
    EXPECT_TRUE(t.edit(kHeartbeat)->text().startsWith(QStringLiteral("ff fe fd ")));
    // Typed again in capitals without spaces: read through the converter.
    t.edit(kHeartbeat)->setText(t.edit(kHeartbeat)->text().remove(QLatin1Char(' ')).toUpper());
    t.edit(kRegistration)->setText(t.edit(kRegistration)->text() + QLatin1Char(' '));
    std::memset(block->heartbeatData, 0, sizeof block->heartbeatData);
    std::memset(block->registrationData, 0, sizeof block->registrationData);
    t.panel->store(*block);
    EXPECT_EQ(0, std::memcmp(&before, block.get(), sizeof before));
}

TEST(TcpPanel, ABadHexTextKeepsTheOldDataAndIsNamedOnce)
{
    TcpBench t;
    t.settings.hbHex = 1;
    t.settings.regHex = 1;
    auto block = zeroBlock(2);
    fillSocketFields(*block);
    t.panel->load(*block);
    t.edit(kHeartbeat)->setText(QStringLiteral("12G4"));
    t.edit(kTargetPort)->setText(QStringLiteral("9000"));
    EXPECT_EQ(t.panel->problems(), QStringList{QStringLiteral("Please type hex number")});
    t.panel->store(*block);
    EXPECT_EQ(block->heartbeatLength, 2);
    EXPECT_EQ(fieldBytes(block->heartbeatData), QByteArray("hb"));
    EXPECT_EQ(block->registrationLength, 4);  // the good registration text is stored
    EXPECT_EQ(block->targetPort.get(), 9000); // and so is everything else

    // Two bad fields: one message, and the store itself shows none.
    t.edit(kRegistration)->setText(u("注册"));
    EXPECT_EQ(t.panel->problems(), QStringList{QStringLiteral("Please type hex number")});
    t.panel->store(*block);
    EXPECT_TRUE(t.messages.isEmpty());
    EXPECT_EQ(block->registrationLength, 4);
    EXPECT_EQ(block->registrationData[3], 4);
}

TEST(TcpPanel, AClickStoresBothFlagsAndTheOtherPanelsFollow)
{
    TcpBench t;
    auto *other = t.make<TcpPanel>(ChannelPanelKind::Socket, 1);
    auto *mqtt = t.make<MqttPanel>(ChannelPanelKind::Mqtt, 0);
    auto block = zeroBlock(2);
    fillSocketFields(*block);
    other->load(*block);
    const QString shownBefore = control<QLineEdit>(other, kHeartbeat)->text();

    t.box(kHeartbeatHex)->click();
    EXPECT_EQ(t.settings.hbHex, 1);
    EXPECT_EQ(t.settings.regHex, 0);
    EXPECT_TRUE(control<QCheckBox>(other, kHeartbeatHex)->isChecked());
    EXPECT_FALSE(control<QCheckBox>(other, kRegistrationHex)->isChecked());
    // The data already shown is not rewritten ...
    EXPECT_EQ(control<QLineEdit>(other, kHeartbeat)->text(), shownBefore);
    // ... but the next store reads it by the new flag: "hb" is no hex.
    EXPECT_EQ(other->problems().size(), 1);

    // The MQTT panel's registration box is the same flag.
    control<QCheckBox>(mqtt, mqttcontrol::kRegistrationHex)->click();
    EXPECT_EQ(t.settings.regHex, 1);
    EXPECT_EQ(t.settings.hbHex, 1);
    EXPECT_TRUE(t.box(kRegistrationHex)->isChecked());
    EXPECT_TRUE(control<QCheckBox>(other, kRegistrationHex)->isChecked());

    // A click in one socket panel stores what both of its boxes show.
    control<QCheckBox>(other, kHeartbeatHex)->click();
    EXPECT_EQ(t.settings.hbHex, 0);
    EXPECT_EQ(t.settings.regHex, 1);
    EXPECT_FALSE(t.box(kHeartbeatHex)->isChecked());
}

TEST(TcpPanel, CaptionsAndModesFollowTheLanguage)
{
    TcpBench t;
    auto *modes = control<QComboBox>(t.panel, kRegistrationMode);
    EXPECT_EQ(control<QLabel>(t.panel, kTargetAddressLabel)->text(), u("目标IP"));
    EXPECT_EQ(modes->itemText(0), u("不启用"));
    modes->setCurrentIndex(2);
    t.panel->retranslate(Language('e'));
    EXPECT_EQ(control<QLabel>(t.panel, kTargetAddressLabel)->text(), QStringLiteral("TargetIp"));
    EXPECT_EQ(t.box(kMulticast)->text(), QStringLiteral("Multicast"));
    EXPECT_EQ(modes->itemText(0), QStringLiteral("Disable"));
    EXPECT_EQ(modes->itemText(3), QStringLiteral("Support above two ways"));
    EXPECT_EQ(modes->currentIndex(), 2);
    EXPECT_EQ(modes->count(), 4);
}

TEST(TcpPanel, AStoredModeOutsideTheListShowsTheFirst)
{
    TcpBench t;
    auto block = zeroBlock(2);
    block->registrationMode = 9;
    t.panel->load(*block);
    EXPECT_EQ(control<QComboBox>(t.panel, kRegistrationMode)->currentIndex(), 0);
}

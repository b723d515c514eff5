// The MQTT panel with its will and cloud dialogs.
#include "vorlet/services/mqtt_panel.h"

#include "panel_bench.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>

using namespace vorlet;
using namespace vorlet::mqttcontrol;
using namespace servicetest;

namespace {

struct MqttBench : PanelBench
{
    MqttPanel *panel = make<MqttPanel>(ChannelPanelKind::Mqtt);
    QLineEdit *edit(int id) { return control<QLineEdit>(panel, id); }
    QLabel *link(int id) { return control<QLabel>(panel, id); }
    QComboBox *list(int id) { return control<QComboBox>(panel, id); }
    void activate(int id) { Q_EMIT link(id)->linkActivated(QStringLiteral("#")); }
};

std::unique_ptr<ChannelBlock> brokerBlock()
{
    auto b = zeroBlock(6);
    std::memset(b.get(), 0x33, sizeof *b); // bytes the panel does not name stay as they are
    b->workMode = 6;
    kyvo::setFieldText(b->brokerHost, "broker.example.net");
    b->brokerPort = 1883;
    kyvo::setFieldText(b->mqttUser, "user");
    kyvo::setFieldText(b->mqttPassword, "secret");
    kyvo::setFieldText(b->mqttClientId, "gw-17");
    b->keepAlive = 60;
    b->qos = 1;
    b->willEnabled = 1;
    kyvo::setFieldText(b->willTopic, "will/topic");
    kyvo::setFieldText(b->willMessage, "offline");
    for (auto &t : b->subscribeTopics)
        kyvo::setFieldText(t, "sub/n");
    for (auto &t : b->publishTopics)
        kyvo::setFieldText(t, "pub/n");
    kyvo::setFieldText(b->subscribeTopics[0], "sub/1");
    kyvo::setFieldText(b->publishTopics[0], "pub/1");
    b->mqttTls = 1;
    b->cloudPlatform = 2;
    kyvo::setFieldText(b->productKey, "pk");
    kyvo::setFieldText(b->cloudDeviceName, "dn");
    kyvo::setFieldText(b->deviceSecret, "ds");
    b->registrationMode = 1;
    b->registrationLength = 3;
    std::memset(b->registrationData, 0, sizeof b->registrationData);
    b->registrationData[0] = 'r';
    b->registrationData[1] = 'e';
    b->registrationData[2] = 'g';
    return b;
}

} // namespace

TEST(MqttPanel, ShowsTheAreaAndStoresItBackByteForByte)
{
    MqttBench t;
    auto block = brokerBlock();
    t.panel->load(*block);
    EXPECT_EQ(t.edit(kBroker)->text(), QStringLiteral("broker.example.net"));
    EXPECT_EQ(t.edit(kPort)->text(), QStringLiteral("1883"));
    EXPECT_EQ(t.edit(kKeepAlive)->text(), QStringLiteral("60"));
    EXPECT_EQ(t.edit(kSubscribe)->text(), QStringLiteral("sub/1"));
    EXPECT_EQ(t.edit(kPublish)->text(), QStringLiteral("pub/1"));
    EXPECT_EQ(t.edit(kRegistration)->text(), QStringLiteral("reg"));
    EXPECT_EQ(t.list(kQos)->currentIndex(), 1);
    EXPECT_EQ(t.list(kCloud)->currentIndex(), 2);
    EXPECT_TRUE(control<QCheckBox>(t.panel, kTls)->isChecked());
    EXPECT_TRUE(control<QCheckBox>(t.panel, kWill)->isChecked());

    const ChannelBlock before = *block;
    t.panel->store(*block);
    EXPECT_EQ(0, std::memcmp(&before, block.get(), sizeof before));
}

TEST(MqttPanel, StoresEditsWithNumbersAsDecimalAndTextsCut)
{
    MqttBench t;
    auto block = brokerBlock();
    t.panel->load(*block);
    t.edit(kBroker)->setText(QString(200, QLatin1Char('b')));
    t.edit(kUser)->setText(QString(130, QLatin1Char('u')));
    t.edit(kClientId)->setText(u("车间网关"));
    t.edit(kPort)->setText(QStringLiteral("abc"));
    t.edit(kKeepAlive)->setText(QStringLiteral("120s"));
    t.edit(kSubscribe)->setText(QString(100, QLatin1Char('s')));
    t.edit(kPublish)->setText(QStringLiteral("pub/changed"));
    t.list(kQos)->setCurrentIndex(2);
    control<QCheckBox>(t.panel, kTls)->setChecked(false);
    t.panel->store(*block);
    EXPECT_EQ(fieldBytes(block->brokerHost), QByteArray(127, 'b'));
    EXPECT_EQ(block->brokerHost[127], 0);
    EXPECT_EQ(fieldBytes(block->mqttUser), QByteArray(127, 'u'));
    EXPECT_EQ(fieldBytes(block->mqttClientId), QByteArray("\xb3\xb5\xbc\xe4\xcd\xf8\xb9\xd8")); // GBK
    EXPECT_EQ(block->brokerPort.get(), 0);
    EXPECT_EQ(block->keepAlive.get(), 120);
    EXPECT_EQ(fieldBytes(block->subscribeTopics[0]), QByteArray(64, 's'));
    EXPECT_TRUE(allZeroFrom(block->subscribeTopics[0], 64));
    EXPECT_EQ(fieldBytes(block->publishTopics[0]), QByteArray("pub/changed"));
    EXPECT_EQ(block->qos, 2);
    EXPECT_EQ(block->mqttTls, 0);
    // The other six topic slots travel unchanged.
    EXPECT_EQ(fieldBytes(block->subscribeTopics[3]), QByteArray("sub/n"));
    EXPECT_EQ(fieldBytes(block->publishTopics[1]), QByteArray("pub/n"));
}

TEST(MqttPanel, RegistrationPacketInHex)
{
    MqttBench t;
    t.settings.regHex = 1;
    auto block = brokerBlock();
    t.panel->load(*block);
    EXPECT_EQ(t.edit(kRegistration)->text(), QStringLiteral("72 65 67 "));
    t.edit(kRegistration)->setText(QStringLiteral("41 42 4"));
    t.panel->store(*block);
    EXPECT_EQ(block->registrationLength, 3);
    EXPECT_EQ(fieldBytes(block->registrationData), QByteArray("AB\x04"));
    t.panel->load(*block);
    EXPECT_EQ(t.edit(kRegistration)->text(), QStringLiteral("41 42 04 "));

    t.edit(kRegistration)->setText(QStringLiteral("12G4"));
    EXPECT_EQ(t.panel->problems(), QStringList{QStringLiteral("Please type hex number")});
    t.panel->store(*block);
    EXPECT_EQ(block->registrationLength, 3);
    EXPECT_EQ(fieldBytes(block->registrationData), QByteArray("AB\x04"));
}

TEST(MqttPanel, SettingsLinksFollowTheCloudChoiceAndTheWillBox)
{
    MqttBench t;
    auto block = brokerBlock();
    block->cloudPlatform = 0;
    block->willEnabled = 0;
    t.panel->load(*block);
    EXPECT_FALSE(t.link(kCloudSet)->isEnabled());
    EXPECT_FALSE(t.link(kWillSet)->isEnabled());
    t.activate(kCloudSet);
    t.activate(kWillSet);
    EXPECT_EQ(t.dialogsRun, 0);
    EXPECT_TRUE(t.messages.isEmpty());

    t.list(kCloud)->setCurrentIndex(1);
    EXPECT_TRUE(t.link(kCloudSet)->isEnabled());
    t.list(kCloud)->setCurrentIndex(0);
    EXPECT_FALSE(t.link(kCloudSet)->isEnabled());
    control<QCheckBox>(t.panel, kWill)->click();
    EXPECT_TRUE(t.link(kWillSet)->isEnabled());
    control<QCheckBox>(t.panel, kWill)->click();
    EXPECT_FALSE(t.link(kWillSet)->isEnabled());
}

TEST(MqttPanel, TheMakersCloudShowsItsParametersInsteadOfADialog)
{
    MqttBench t;
    auto block = brokerBlock();
    t.panel->load(*block); // cloud 2
    t.activate(kCloudSet);
    EXPECT_EQ(t.dialogsRun, 0);
    ASSERT_EQ(t.messages.size(), 1);
    EXPECT_EQ(t.messages[0], u("1.启用MQTT\n2.服务器:broker.test.invalid\n3.端口：1883\n4.用户名：设备SN\n"
                               "5.密码：通讯密码\n6.KEEPALIVE:120"));
    t.language = Language('e');
    t.activate(kCloudSet);
    ASSERT_EQ(t.messages.size(), 2);
    EXPECT_EQ(t.messages[1], u("1.EnableMQTT\n2.Server:broker.test.invalid\n3.Port：1883\n4.UserName：DEVSN\n"
                               "5.PWD：Communication password\n6.KEEPALIVE:120"));
}

TEST(MqttPanel, CloudDialogEditsTheDeviceTriple)
{
    MqttBench t;
    auto block = brokerBlock();
    block->cloudPlatform = 1;
    t.panel->load(*block);
    QStringList shown;
    t.script = [&](QDialog &d) {
        for (int i = 0; i < 3; ++i)
            shown << control<QLineEdit>(&d, 2001 + i)->text();
        control<QLineEdit>(&d, 2001)->setText(QString(70, QLatin1Char('k')));
        control<QLineEdit>(&d, 2002)->setText(QStringLiteral("device-7"));
        control<QLineEdit>(&d, 2003)->setText(QStringLiteral("s3cret"));
        EXPECT_EQ(control<QPushButton>(&d, 1003)->text(), u("确定"));
        control<QPushButton>(&d, 1003)->click();
    };
    t.activate(kCloudSet);
    EXPECT_EQ(t.dialogsRun, 1);
    EXPECT_TRUE(t.messages.isEmpty());
    EXPECT_EQ(shown, (QStringList{QStringLiteral("pk"), QStringLiteral("dn"), QStringLiteral("ds")}));
    t.panel->store(*block);
    EXPECT_EQ(fieldBytes(block->productKey), QByteArray(64, 'k'));
    EXPECT_EQ(block->productKey[64], 0);
    EXPECT_EQ(fieldBytes(block->cloudDeviceName), QByteArray("device-7"));
    EXPECT_EQ(fieldBytes(block->deviceSecret), QByteArray("s3cret"));
}

TEST(MqttPanel, WillDialogStoresOnlyOnConfirm)
{
    MqttBench t;
    auto block = brokerBlock();
    t.panel->load(*block);
    // Closed without "确定": nothing changes.
    t.script = [](QDialog &d) { control<QLineEdit>(&d, 2001)->setText(QStringLiteral("ignored")); };
    t.activate(kWillSet);
    EXPECT_EQ(t.lastDialogTitle, QStringLiteral("Will"));
    t.panel->store(*block);
    EXPECT_EQ(fieldBytes(block->willTopic), QByteArray("will/topic"));

    t.typeAndConfirm({QStringLiteral("gw/state"), QString(90, QLatin1Char('m'))});
    t.activate(kWillSet);
    // The record changes when the window collects it.
    EXPECT_EQ(fieldBytes(block->willTopic), QByteArray("will/topic"));
    t.panel->store(*block);
    EXPECT_EQ(fieldBytes(block->willTopic), QByteArray("gw/state"));
    EXPECT_EQ(fieldBytes(block->willMessage), QByteArray(64, 'm'));
    EXPECT_TRUE(allZeroFrom(block->willTopic, 8));
}

TEST(MqttPanel, ListsAndCaptionsFollowTheLanguage)
{
    MqttBench t;
    EXPECT_EQ(t.list(kCloud)->itemText(1), u("阿里云"));
    EXPECT_EQ(t.list(kRegistrationMode)->itemText(0), u("注册包不启用"));
    t.panel->retranslate(Language('e'));
    EXPECT_EQ(t.list(kCloud)->itemText(0), QStringLiteral("Clound-Disable"));
    EXPECT_EQ(t.list(kRegistrationMode)->itemText(0), QStringLiteral("RegPack-Disable"));
    EXPECT_EQ(t.list(kQos)->count(), 3);
    EXPECT_EQ(control<QLabel>(t.panel, kBrokerLabel)->text(), QStringLiteral("ServerIP"));
    EXPECT_EQ(control<QCheckBox>(t.panel, kWill)->text(), QStringLiteral("WILL"));
    EXPECT_EQ(t.link(kWillSet)->text(), QStringLiteral("SET"));
}

// Pixels of the link's picture in a colour (not grey, black or white).
int colouredPixels(QLabel *link)
{
    const QImage image = link->grab().toImage();
    int coloured = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)).hsvSaturation() > 80) ++coloured;
    return coloured;
}

TEST(MqttPanel, DisabledSettingsLinksAreGrey)
{
    MqttBench t;
    auto block = brokerBlock();
    block->cloudPlatform = 0;
    block->willEnabled = 0;
    t.panel->load(*block);
    t.panel->show();
    for (int id : {kCloudSet, kWillSet}) {
        ASSERT_FALSE(t.link(id)->isEnabled());
        EXPECT_EQ(colouredPixels(t.link(id)), 0) << id;
    }
    t.list(kCloud)->setCurrentIndex(1);
    EXPECT_GT(colouredPixels(t.link(kCloudSet)), 0);
}

TEST(MqttPanel, StoredIndexesOutsideTheirListsShowTheFirstItem)
{
    MqttBench t;
    auto block = brokerBlock();
    block->qos = 7;
    block->cloudPlatform = 3;
    t.panel->load(*block);
    EXPECT_EQ(t.list(kQos)->currentIndex(), 0);
    EXPECT_EQ(t.list(kCloud)->currentIndex(), 0);
    EXPECT_FALSE(t.link(kCloudSet)->isEnabled());
}

// The gallery of the network service settings: each channel panel in every
// work mode that shows it, the will, cloud and NTP dialogs, in Chinese and
// English, as PNG files under the build folder for a person to look at.
#include "vorlet/services/mqtt_panel.h"
#include "vorlet/services/text_fields_dialog.h"

#include "panel_bench.h"
#include "tests/support/gallery.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QSet>

using namespace vorlet;
using namespace servicetest;

namespace {

using testsupport::galleryDir;

// Dialogs and panels at their own size.
void shoot(QWidget *widget, const QString &name, const char *caption)
{
    widget->show();
    widget->adjustSize();
    testsupport::shoot(widget, name, caption, 5);
}

// A channel block as a gateway in the field might hold it.
std::unique_ptr<ChannelBlock> sampleBlock(std::uint8_t mode)
{
    auto b = zeroBlock(mode);
    b->localPort = 8887;
    kyvo::setFieldText(b->targetAddress, "192.168.1.100");
    b->targetPort = 8888;
    b->heartbeatLength = 4;
    std::memcpy(b->heartbeatData, "\xAA\x55\x01\x02", 4);
    b->heartbeatIntervalS = 60;
    b->registrationMode = 1;
    b->registrationLength = 8;
    std::memcpy(b->registrationData, "GW-00017", 8);
    kyvo::setFieldText(b->brokerHost, "mq.plant.local");
    b->brokerPort = 1883;
    kyvo::setFieldText(b->mqttUser, "line-3");
    kyvo::setFieldText(b->mqttPassword, "secret");
    kyvo::setFieldText(b->mqttClientId, "gw-00017");
    b->keepAlive = 120;
    b->qos = 1;
    b->willEnabled = 1;
    kyvo::setFieldText(b->subscribeTopics[0], "plant/line3/down");
    kyvo::setFieldText(b->publishTopics[0], "plant/line3/up");
    b->cloudPlatform = 1;
    kyvo::setFieldText(b->httpServer, "api.plant.local");
    b->httpPort = 8080;
    b->httpMethod = 0;
    kyvo::setFieldText(b->httpHeader, "POST /api/data HTTP/1.1\r\nContent-Type: application/json");
    return b;
}

const char *languageName(const Language &l)
{
    return l.isEnglish() ? "en" : "zh";
}

} // namespace

TEST(ServiceGallery, EachPanelInEveryModeThatShowsIt)
{
    const std::pair<ChannelPanelKind, std::vector<std::uint8_t>> panels[] = {
        {ChannelPanelKind::Socket, {1, 2, 3, 4, 7}},
        {ChannelPanelKind::Mqtt, {6}},
        {ChannelPanelKind::Http, {5, 8}}};
    const char *names[] = {"tcp", "mqtt", "http"};
    const std::pair<const char *, const char *> captions[] = {
        {"本地端口", "LocalPort"}, {"订阅Topic", "SubTopic"}, {"服务器地址", "ServerIP"}};
    for (const Language &language : {Language('c'), Language('e')}) {
        PanelBench b;
        b.language = language;
        b.settings.hbHex = 1;
        for (std::size_t k = 0; k < std::size(panels); ++k) {
            ChannelPanel *panel = b.make(panels[k].first);
            for (std::uint8_t mode : panels[k].second) {
                panel->load(*sampleBlock(mode));
                shoot(panel,
                      QStringLiteral("panel-%1-mode%2-%3")
                          .arg(QLatin1String(names[k]))
                          .arg(mode)
                          .arg(QLatin1String(languageName(language))),
                      language.isEnglish() ? captions[k].second : captions[k].first);
            }
        }
    }
    EXPECT_TRUE(QFile::exists(galleryDir() + QStringLiteral("/panel-tcp-mode4-en.png")));
}

TEST(ServiceGallery, WillCloudAndNtpDialogs)
{
    WillFields will{};
    kyvo::setFieldText(will.topic, "plant/line3/state");
    kyvo::setFieldText(will.message, "offline");
    CloudFields cloud{};
    kyvo::setFieldText(cloud.productKey, "a1B2c3D4e5");
    kyvo::setFieldText(cloud.deviceName, "gw-00017");
    kyvo::setFieldText(cloud.deviceSecret, "0123456789abcdef");
    auto record = std::make_unique<ParameterRecord>();
    std::memset(record.get(), 0, sizeof *record);
    kyvo::setFieldText(record->ntpServer, "ntp.plant.local");
    for (const Language &language : {Language('c'), Language('e')}) {
        const QString suffix = QLatin1String(languageName(language));
        std::unique_ptr<QDialog> dialogs[] = {
            std::unique_ptr<QDialog>(newWillDialog(will, language, nullptr)),
            std::unique_ptr<QDialog>(newCloudDialog(cloud, language, nullptr)),
            std::unique_ptr<QDialog>(newNtpDialog(*record, language, nullptr))};
        const char *names[] = {"will", "cloud", "ntp"};
        const bool english = language.isEnglish();
        const char *captions[] = {english ? "OK" : "确定", english ? "OK" : "确定",
                                  english ? "NTP Server" : "NTP首选服务器"};
        for (std::size_t i = 0; i < std::size(dialogs); ++i)
            shoot(dialogs[i].get(), QStringLiteral("dialog-%1-%2").arg(QLatin1String(names[i]), suffix),
                  captions[i]);
    }
}

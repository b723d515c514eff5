// The HTTP client panel.
#include "vorlet/services/http_panel.h"

#include "panel_bench.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

using namespace vorlet;
using namespace vorlet::httpcontrol;
using namespace servicetest;

namespace {

struct HttpBench : PanelBench
{
    HttpPanel *panel = make<HttpPanel>(ChannelPanelKind::Http);
    QLineEdit *edit(int id) { return control<QLineEdit>(panel, id); }
    QPlainTextEdit *header() { return control<QPlainTextEdit>(panel, kHeader); }
    void activate(int id) { Q_EMIT control<QLabel>(panel, id)->linkActivated(QStringLiteral("#")); }
};

} // namespace

TEST(HttpPanel, TrailingLineBreaksOfTheHeaderAreNotStored)
{
    HttpBench t;
    auto block = zeroBlock(5);
    t.panel->load(*block);
    t.header()->setPlainText(QStringLiteral("POST /api HTTP/1.1\nHost: x\n\n"));
    t.panel->store(*block);
    // Lines end as the device sends them, in CR LF.
    EXPECT_EQ(fieldBytes(block->httpHeader), QByteArray("POST /api HTTP/1.1\r\nHost: x"));
    EXPECT_TRUE(allZeroFrom(block->httpHeader, 27));
    t.panel->load(*block);
    EXPECT_EQ(t.header()->toPlainText(), QStringLiteral("POST /api HTTP/1.1\nHost: x"));

    // Cut to 127 bytes first: a line break cut in half is removed as well.
    t.header()->setPlainText(QString(126, QLatin1Char('h')) + QStringLiteral("\n\n"));
    t.panel->store(*block);
    EXPECT_EQ(fieldBytes(block->httpHeader), QByteArray(126, 'h'));
    EXPECT_TRUE(allZeroFrom(block->httpHeader, 126));
}

TEST(HttpPanel, AddressIsCutAndPortReadAsDecimal)
{
    HttpBench t;
    auto block = zeroBlock(8);
    std::memset(block->httpServer, 0x41, sizeof block->httpServer);
    t.panel->load(*block);
    t.edit(kAddress)->setText(QString(300, QLatin1Char('a')));
    t.edit(kPort)->setText(QStringLiteral("8080x"));
    t.panel->store(*block);
    EXPECT_EQ(fieldBytes(block->httpServer), QByteArray(126, 'a'));
    EXPECT_EQ(block->httpServer[126], 0);
    EXPECT_EQ(block->httpPort.get(), 8080);
    t.edit(kPort)->setText(QString());
    t.panel->store(*block);
    EXPECT_EQ(block->httpPort.get(), 0);
}

TEST(HttpPanel, MethodAndHexOptionRoundTrip)
{
    HttpBench t;
    auto block = zeroBlock(5);
    std::memset(block.get(), 0x77, sizeof *block);
    block->workMode = 5;
    kyvo::setFieldText(block->httpServer, "http.example.net");
    kyvo::setFieldText(block->httpHeader, "Content-Type: application/json");
    block->httpPort = 80;
    block->httpMethod = 2;
    block->httpHexConversion = 1;
    t.panel->load(*block);
    EXPECT_EQ(control<QComboBox>(t.panel, kMethod)->currentText(),
              QStringLiteral("POST-x-www-form-urlencoded"));
    EXPECT_TRUE(control<QCheckBox>(t.panel, kHexConversion)->isChecked());
    const ChannelBlock before = *block;
    t.panel->store(*block);
    EXPECT_EQ(0, std::memcmp(&before, block.get(), sizeof before));

    control<QComboBox>(t.panel, kMethod)->setCurrentIndex(1);
    control<QCheckBox>(t.panel, kHexConversion)->setChecked(false);
    t.panel->store(*block);
    EXPECT_EQ(block->httpMethod, 1);
    EXPECT_EQ(block->httpHexConversion, 0);
    EXPECT_EQ(block->reserved1898, 0x77);
}

TEST(HttpPanel, DemoButtonsAndHelpTexts)
{
    HttpBench t;
    t.panel->load(*zeroBlock(5));
    control<QPushButton>(t.panel, kGetDemo)->click();
    EXPECT_EQ(t.edit(kAddress)->text(), QStringLiteral("demo.test.invalid"));
    EXPECT_EQ(t.header()->toPlainText(), QStringLiteral("GET /http-test.php?"));
    control<QPushButton>(t.panel, kPostDemo)->click();
    EXPECT_EQ(t.header()->toPlainText(), QStringLiteral("POST /http-test.php"));
    EXPECT_EQ(control<QLabel>(t.panel, kExampleUrl)->text(),
              u("如网址:http://demo.test.invalid/http-test.php"));

    t.activate(kPortHelp);
    t.activate(kAddressHelp);
    ASSERT_EQ(t.messages.size(), 2);
    EXPECT_EQ(t.messages[0], u("HTTP 端口一般是 80  HTTPS 的默认端口一般是443"));
    EXPECT_TRUE(t.messages[1].contains(QStringLiteral("demo.test.invalid")));
    t.language = Language('e');
    t.activate(kPortHelp);
    EXPECT_EQ(t.messages[2], QStringLiteral("HTTP PORT:80 HTTPS PORT:443"));
}

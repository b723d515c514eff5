// The maintenance dialogs and the TLS dialog offscreen with a recording
// environment on a manual clock: what they send, show and store.
#include "vorlet/maintenance/devinfo_dialog.h"
#include "vorlet/maintenance/vip_dialog.h"
#include "vorlet/maintenance/wifisouch_dialog.h"
#include "vorlet/services/tls_dialog.h"

#include "tests/support/loopback.h"
#include "tests/support/test_support.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"
#include "vorlet/record/parameter_record.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace vorlet;
using testsupport::toHex;

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

struct Bench
{
    Bench()
    {
        record->mac[5] = 7;
        std::memcpy(record->seenAddress, "\x7f\x00\x00\x01", 4);
    }
    DeviceDialogEnvironment env()
    {
        DeviceDialogEnvironment e;
        e.language = &language;
        e.scope = [this] { return scope; };
        e.send = [this](const Bytes &m) { sent.push_back(m); };
        e.acknowledged = [this] { return acknowledged; };
        e.clearAcknowledgement = [this] {
            acknowledged = false;
            ++clears;
        };
        e.message = [this](QWidget *, const QString &text) { messages << text; };
        e.confirm = [this](QWidget *, const QString &text, std::function<void()> yes) {
            questions << text;
            if (answerYes) yes();
        };
        e.openFile = [this](QWidget *, const QString &filter) {
            askedFilter = filter;
            return chosen;
        };
        e.copyText = [this](const QString &text) { copied = text; };
        e.clock = &clock;
        e.localTime = [] { return QDateTime(QDate(2026, 12, 9), QTime(8, 5, 3)); };
        return e;
    }
    void advance(DeviceDialog &d, int ms)
    {
        clock.advance(kyvo::Millis{ms});
        d.poll();
    }
    QString file(const char *name, qsizetype size, char fill = 'f')
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(size, fill));
        return path;
    }

    Language language;
    std::unique_ptr<ParameterRecord> record = std::make_unique<ParameterRecord>();
    kyvo::ManualClock clock;
    std::uint8_t scope = 1;
    std::vector<Bytes> sent;
    bool acknowledged = false;
    int clears = 0;
    bool answerYes = false;
    QStringList messages, questions;
    QString chosen, askedFilter, copied;
    QTemporaryDir dir;
};

template <typename W> W *control(QWidget *d, int id)
{
    return qobject_cast<W *>(findControl(d, id));
}

} // namespace

TEST(VipDialog, TheStatusLineTellsTheLastOperation)
{
    const std::pair<std::uint8_t, const char *> cases[] = {{1, "最近操作:保存 时间:2026-01-02 03:04:05"},
                                                           {0, "最近操作:清除 时间:2026-01-02 03:04:05"},
                                                           {0xFF, "最近操作:无"},
                                                           {5, "最近操作:未知"}};
    for (const auto &[operation, expected] : cases) {
        Bench b;
        b.record->customDefaults[1] = operation;
        std::memcpy(b.record->customDefaults + 8, "2026-01-02 03:04:05", 19);
        vip d(*b.record, b.env());
        EXPECT_EQ(d.statusText(), u(expected));
    }
}

TEST(VipDialog, SaveWaitsForTheAcknowledgementWithBothButtonsOff)
{
    Bench b;
    vip d(*b.record, b.env());
    b.acknowledged = true; // left from an earlier write
    control<QPushButton>(&d, 1039)->click();
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(toHex(ByteView(b.sent[0]).subspan(6, 6)), "01 b8 00 28 88 01");
    EXPECT_EQ(b.clears, 1);
    EXPECT_FALSE(control<QPushButton>(&d, 1005)->isEnabled());
    b.advance(d, 4900);
    EXPECT_TRUE(b.messages.isEmpty());
    b.acknowledged = true;
    b.advance(d, 100);
    EXPECT_EQ(b.messages, QStringList{u("操作成功")});
    EXPECT_TRUE(control<QPushButton>(&d, 1039)->isEnabled());

    control<QPushButton>(&d, 1005)->click(); // clear, unanswered
    EXPECT_EQ(toHex(ByteView(b.sent[1]).subspan(6, 6)), "00 b8 00 28 88 00");
    b.advance(d, 5000);
    EXPECT_EQ(b.messages.last(), u("操作失败"));
    EXPECT_TRUE(control<QPushButton>(&d, 1005)->isEnabled());
}

TEST(MaintenanceDialogs, EnglishModeTakesTheStatusMessagesAndTitlesFromTheDialogsTables)
{
    Bench b;
    b.language = Language('e');
    b.record->customDefaults[1] = 0xFF;
    vip custom(*b.record, b.env());
    EXPECT_EQ(custom.statusText(), QStringLiteral("Recent operation: None"));
    custom.saveCustom();
    b.acknowledged = true;
    b.advance(custom, 100);
    wifisouch scan(*b.record, b.env());
    EXPECT_EQ(scan.list()->horizontalHeaderItem(1)->text(), QStringLiteral("Ap"));
    tls certificates(*b.record, b.env());
    certificates.upload(); // no CA file stored
    EXPECT_EQ(b.messages, (QStringList{QStringLiteral("Operation successful"),
                                       QStringLiteral("CA file is required, please import!")}));
}

TEST(VipDialog, TheFifteenthClickOnTheStatusShowsTheFetchButton)
{
    Bench b;
    vip::statusClicks() = 0;
    vip d(*b.record, b.env());
    for (int i = 1; i < vip::kRevealClicks; ++i)
        d.clickStatus();
    EXPECT_FALSE(d.fetchShown());
    d.clickStatus();
    EXPECT_TRUE(d.fetchShown());
    vip again(*b.record, b.env()); // the count lives as long as the program
    EXPECT_TRUE(again.fetchShown());
}

TEST(VipDialog, TheImageFetchKeepsTheDevicesBlocksAndReplacesTheBackupWhole)
{
    Bench b;
    const quint16 port = testsupport::freeUdpPort();
    VipOptions o;
    o.imagePort = port;
    o.bindAddress = QHostAddress(QStringLiteral("127.0.0.1"));
    o.deviceAddress = QHostAddress(QStringLiteral("127.0.0.1"));
    o.backupPath = b.dir.filePath(QStringLiteral("hx-bk-cfg.bin"));
    b.file("hx-bk-cfg.bin", 9000, 'o'); // an older, longer image
    vip d(*b.record, b.env(), o);
    d.fetchImage();
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(toHex(b.sent[0]), "ba 3a 01 03 00 01 b9 00 00 00 00 00 07 45 2e");
    QUdpSocket device;
    for (int n : {0, 1, 2, 70}) {
        QByteArray datagram(1025, char('a' + n));
        datagram[0] = char(n);
        device.writeDatagram(datagram, QHostAddress(QStringLiteral("127.0.0.1")), port);
    }
    ASSERT_TRUE(
        testsupport::waitFor([&] { return d.image().blocksKept() + d.image().blocksDropped() == 4; }));
    b.advance(d, 3000);
    EXPECT_TRUE(d.fetching());
    b.advance(d, 1);
    EXPECT_FALSE(d.fetching());
    QFile backup(o.backupPath);
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    const QByteArray image = backup.readAll();
    backup.close();
    ASSERT_EQ(image.size(), 3072);
    EXPECT_EQ(image.count('a'), 1024);
    EXPECT_EQ(image.at(3071), 'c');
    ASSERT_EQ(b.messages.size(), 1);
    EXPECT_TRUE(b.messages[0].contains(u("已保存 3 个数据块（3072 字节）"))) << b.messages[0].toStdString();
    EXPECT_TRUE(b.messages[0].contains(u("丢弃 1 个"))) << b.messages[0].toStdString();

    d.fetchImage(); // nothing arrives: the good backup stays
    b.advance(d, 3001);
    EXPECT_EQ(QFile(o.backupPath).size(), 3072);
    EXPECT_TRUE(b.messages.last().startsWith(u("没有收到参数数据"))) << b.messages.last().toStdString();
}

TEST(VipDialog, ABusyImagePortIsReported)
{
    Bench b;
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    VipOptions o;
    o.imagePort = holder.localPort();
    o.bindAddress = QHostAddress(QStringLiteral("127.0.0.1"));
    vip d(*b.record, b.env(), o);
    d.fetchImage();
    EXPECT_EQ(b.messages, QStringList{QStringLiteral("socket bind error")});
    EXPECT_TRUE(b.sent.empty());
}

TEST(DevinfoDialog, AnUnknownResetReasonShowsAndStaysZero)
{
    Bench b;
    b.record->resetReason = 12;
    b.record->uptimeS = 90061;
    devinfo d(*b.record, b.env());
    EXPECT_EQ(d.lineText(1048), QStringLiteral(" up 1days 01:01:01         last  reset code:UNKNOWN"));
    EXPECT_EQ(b.record->resetReason, 0);
}

TEST(DevinfoDialog, ANameOfSeventyCharactersFillsTheFieldWithItsFirstSixtyFour)
{
    Bench b;
    devinfo d(*b.record, b.env());
    control<QLineEdit>(&d, 1017)->setText(QString(70, QLatin1Char('n')));
    control<QPushButton>(&d, 1004)->click();
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(b.record->deviceName), 64), std::string(64, 'n'));
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST(DevinfoDialog, TheIdentityGoesToTheClipboard)
{
    Bench b;
    for (int i = 0; i < 9; ++i)
        b.record->identity[i] = std::uint8_t(0x11 * i);
    devinfo d(*b.record, b.env());
    d.clickIdentity();
    EXPECT_EQ(b.copied, QStringLiteral("001122334455667788"));
    EXPECT_EQ(d.lineText(1050), QStringLiteral("Device ID:001122334455667788      !!!COPED!!!"));
}

TEST(DevinfoDialog, TheHiddenQueryAsksEveryThreeSecondsShowsNewTextAndStopsWithTheDialog)
{
    Bench b;
    devinfo::uptimeClicks() = 0;
    devinfo d(*b.record, b.env());
    for (int i = 0; i < 20; ++i)
        d.clickUptime();
    EXPECT_FALSE(d.queryShown());
    d.clickUptime();
    ASSERT_TRUE(d.queryShown());
    control<QCheckBox>(&d, 1051)->setChecked(true);
    b.record->pollValues[0] = 'x';
    b.advance(d, 2999);
    EXPECT_TRUE(b.sent.empty());
    b.advance(d, 1);
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(toHex(b.sent[0]), "ba 3a 01 03 00 01 b3 00 00 00 00 00 07 45 2e");
    EXPECT_EQ(b.record->pollValues[0], 0);
    std::memcpy(b.record->infoText, "cpu: 12%", 8); // the answer parsed into the record
    b.advance(d, 1000);
    EXPECT_EQ(d.infoText(), QStringLiteral("cpu: 12%"));
    d.reject();
    EXPECT_FALSE(d.querying());
    b.advance(d, 6000);
    EXPECT_EQ(b.sent.size(), 1u);
}

TEST(WifisouchDialog, TheAnswerFillsTheListAndTheChosenRowIsTheResult)
{
    Bench b;
    wifisouch d(*b.record, b.env());
    std::memcpy(b.record->wifiExtension, "old", 3);
    control<QPushButton>(&d, 1079)->click();
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(toHex(b.sent[0]), "ba 3a 01 03 00 01 86 00 00 00 00 00 07 45 2e");
    EXPECT_EQ(b.record->wifiExtension[0], 0);
    EXPECT_FALSE(control<QPushButton>(&d, 1079)->isEnabled());
    const char scan[] = "Home`a4504612abcd`-40`3;bad`entry;访客 网络`5c02147e9a11`-67`12";
    std::memcpy(b.record->wifiExtension, scan, sizeof scan - 1);
    b.advance(d, 1000);
    EXPECT_TRUE(control<QPushButton>(&d, 1079)->isEnabled());
    QTableWidget *list = d.list();
    ASSERT_EQ(list->rowCount(), 2);
    const QStringList row2{QStringLiteral("2"), u("访客 网络"), QStringLiteral("5c02147e9a11 "),
                           QStringLiteral("-67 "), QStringLiteral("UNKNOW")};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(list->item(1, c)->text(), row2[c]) << c;
    list->selectRow(1);
    control<QPushButton>(&d, 1004)->click();
    EXPECT_EQ(d.chosenSsid(), u("访客 网络"));
    EXPECT_EQ(d.chosenMac(), QStringLiteral("5c02147e9a11 "));
}

TEST(WifisouchDialog, NoAnswerInSixSecondsLeavesTheListEmptyAndTheButtonOn)
{
    Bench b;
    wifisouch d(*b.record, b.env());
    d.scan();
    b.advance(d, 5999);
    EXPECT_TRUE(d.scanning());
    b.advance(d, 1);
    EXPECT_FALSE(d.scanning());
    EXPECT_TRUE(control<QPushButton>(&d, 1079)->isEnabled());
    EXPECT_EQ(d.list()->rowCount(), 0);
}

TEST(TlsDialog, ImportTakesFilesUpTo4000BytesAndShowsTheirChecksums)
{
    Bench b;
    b.record->certChecks[0] = 0x1A2B;
    tls d(*b.record, b.env());
    EXPECT_EQ(d.deviceSum(tls::Ca), QStringLiteral("1a2b"));
    EXPECT_EQ(d.fileSum(tls::Ca), QStringLiteral("0000"));
    b.chosen = b.file("ca.crt", 4000, 1);
    d.import(tls::Ca);
    EXPECT_EQ(b.askedFilter, u("(*.crt);;所有文件(*.*)"));
    EXPECT_EQ(d.fileSum(tls::Ca), QStringLiteral("0fa0"));
    EXPECT_EQ(QString::fromUtf8(reinterpret_cast<const char *>(b.record->tlsCaPath)), b.chosen);
    const QString kept = b.chosen;
    b.chosen = b.file("big.key", 4001);
    d.import(tls::Key);
    EXPECT_EQ(b.askedFilter, u("(*.key);;所有文件(*.*)"));
    EXPECT_EQ(b.messages, QStringList{QStringLiteral("file is huge!!!")});
    EXPECT_EQ(b.record->tlsKeyPath[0], 0);
    b.chosen = b.dir.filePath(QStringLiteral("missing.crt"));
    d.import(tls::Cert);
    EXPECT_EQ(b.messages.last(), QStringLiteral("open failed"));
    EXPECT_EQ(d.pathText(tls::Ca), kept);
}

TEST(TlsDialog, TheUploadSendsTheBundleAndTicksForTheAcknowledgement)
{
    Bench b;
    tls d(*b.record, b.env());
    control<QPushButton>(&d, 1008)->click();
    EXPECT_EQ(b.messages, QStringList{u("CA文件是必需的，请导入！！！")});
    EXPECT_TRUE(b.sent.empty());

    b.chosen = b.file("ca.crt", 1200, 'c');
    d.import(tls::Ca);
    d.upload();
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(b.sent[0].size(), 1222u);
    EXPECT_EQ(b.record->tlsBundleLength.get(), 1204u);
    EXPECT_EQ(toHex(ByteView(b.record->tlsBundle).subspan(1200, 4)), "00 3b 00 3b");
    b.advance(d, 3800);
    b.acknowledged = true;
    d.upload(); // a second press restarts the wait with a cleared flag
    EXPECT_FALSE(b.acknowledged);
    b.advance(d, 3800);
    EXPECT_TRUE(b.messages.size() == 1);
    b.advance(d, 200);
    EXPECT_EQ(b.messages.last(), u("保存失败"));
    d.upload();
    b.acknowledged = true;
    b.advance(d, 200);
    EXPECT_EQ(b.messages.last(), u("保存成功"));
}

TEST(TlsDialog, ABundleBeyondItsFieldIsRefusedWithItsSizes)
{
    Bench b;
    tls d(*b.record, b.env());
    for (auto [file, name] :
         {std::pair{tls::Ca, "ca.crt"}, {tls::Cert, "client.crt"}, {tls::Key, "client.key"}}) {
        b.chosen = b.file(name, 3000);
        d.import(file);
    }
    d.upload();
    EXPECT_TRUE(b.sent.empty());
    ASSERT_EQ(b.messages.size(), 1);
    EXPECT_TRUE(b.messages[0].contains(QStringLiteral("9004")) &&
                b.messages[0].contains(QStringLiteral("8192")))
        << b.messages[0].toStdString();
    EXPECT_EQ(b.record->tlsBundleLength.get(), 0u);
}

TEST(TlsDialog, AClientKeyGoesByBroadcastOnlyAfterTheUserAgrees)
{
    Bench b;
    b.scope = 0;
    tls d(*b.record, b.env());
    b.chosen = b.file("ca.crt", 100);
    d.import(tls::Ca);
    d.upload(); // no key: nothing to ask
    EXPECT_EQ(b.sent.size(), 1u);
    EXPECT_TRUE(b.questions.isEmpty());
    b.chosen = b.file("client.key", 100);
    d.import(tls::Key);
    d.upload();
    ASSERT_EQ(b.questions.size(), 1);
    EXPECT_EQ(b.sent.size(), 1u);
    b.answerYes = true;
    d.upload();
    EXPECT_EQ(b.sent.size(), 2u);
}

// The `rtu` dialog offscreen with a recording environment: what it sends,
// what it shows, what it stores, and the hidden firmware download.
#include "vorlet/io/module/rtu_dialog.h"

#include "tests/support/test_support.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
    explicit Bench(Language l = Language()) : language(l)
    {
        record->mac[5] = 7;
        record->ioInputs = 8;
        record->ioOutputs = 4;
        record->ioAnalog = 2;
        record->io.moduleAddress = 12;
        record->io.debounceMs = 20;
        record->io.timersEnabled = 1;
        record->io.retention = 0x10;
    }
    rtu &open()
    {
        RtuEnvironment env;
        env.language = &language;
        env.scope = [] { return std::uint8_t(1); };
        env.send = [this](const Bytes &m) { sent.push_back(m); };
        env.acknowledged = [this] { return acknowledged; };
        env.clearAcknowledgement = [this] {
            acknowledged = false;
            ++clears;
        };
        env.openFile = [this](QWidget *, const QString &filter) {
            askedFilter = filter;
            return chosen;
        };
        env.message = [this](QWidget *, const QString &text) { messages << text; };
        env.clock = &clock;
        dialog = std::make_unique<rtu>(*record, std::move(env));
        dialog->show();
        return *dialog;
    }
    void advance(int ms)
    {
        clock.advance(kyvo::Millis{ms});
        dialog->poll();
    }
    template <typename W> W *control(int id) { return qobject_cast<W *>(findControl(dialog.get(), id)); }
    QString file(const char *name, qsizetype size)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(QByteArray(size, 'f'));
        return path;
    }
    // Reveals the service controls and downloads a file of this size.
    void download(qsizetype size)
    {
        for (int i = 0; i < rtu::kServiceClicks; ++i)
            dialog->clickBlankArea();
        chosen = file("module.bin", size);
        control<QPushButton>(1111)->click();
        control<QPushButton>(1110)->click();
    }

    Language language;
    std::unique_ptr<ParameterRecord> record = std::make_unique<ParameterRecord>();
    kyvo::ManualClock clock;
    std::vector<Bytes> sent;
    bool acknowledged = true;
    int clears = 0;
    QString chosen, askedFilter;
    QStringList messages;
    QTemporaryDir dir;
    std::unique_ptr<rtu> dialog;
};

} // namespace

TEST(RtuDialog, OpensWithTheRecordsSettingsAndTheModuleCountsInItsTitle)
{
    const struct
    {
        char letter;
        const char *title, *buttons;
    } languages[] = {{'c', "rtu信息  x:8 y:4 adc:2", "全开|全关|计数清零"},
                     {'e', "RtuInfo  x:8 y:4 adc:2", "All Open|All Close|Clear"}};
    for (const auto &[letter, title, buttons] : languages) {
        Bench b{Language(letter)};
        rtu &d = b.open();
        EXPECT_EQ(d.windowTitle(), u(title));
        QStringList shown;
        for (QPushButton *button : d.findChildren<QPushButton *>())
            if (u(buttons).split(QLatin1Char('|')).contains(button->text())) shown << button->text();
        EXPECT_EQ(shown.join(QLatin1Char('|')), u(buttons));
        EXPECT_TRUE(b.control<QCheckBox>(1006)->isChecked());
        EXPECT_FALSE(b.control<QCheckBox>(1033)->isChecked());
        EXPECT_FALSE(b.control<QCheckBox>(3352)->isChecked());
        EXPECT_TRUE(b.control<QCheckBox>(3353)->isChecked());
        const QStringList edits = {d.findChildren<QLineEdit *>()[0]->text(),
                                   d.findChildren<QLineEdit *>()[1]->text()};
        EXPECT_EQ(edits, (QStringList{QStringLiteral("12"), QStringLiteral("20")}));
    }
}

TEST(RtuDialog, OkStoresTheTypedSettingsAndCloses)
{
    Bench b;
    rtu &d = b.open();
    auto edits = d.findChildren<QLineEdit *>();
    edits[0]->setText(QStringLiteral("65535x"));
    edits[1]->setText(QStringLiteral("300"));
    b.control<QCheckBox>(1033)->setChecked(true);
    b.control<QCheckBox>(1007)->setChecked(true);
    b.control<QCheckBox>(3352)->setChecked(true);
    b.control<QCheckBox>(3353)->setChecked(false);
    b.control<QPushButton>(1004)->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(b.record->io.moduleAddress.get(), 65535u);
    EXPECT_EQ(b.record->io.debounceMs.get(), 300);
    EXPECT_EQ(b.record->io.linkageEnabled, 1);
    EXPECT_EQ(b.record->io.upload.enabled, 1);
    EXPECT_EQ(b.record->io.retention, 0x01);
    EXPECT_TRUE(b.sent.empty());
}

TEST(RtuDialog, RelayButtonsSendTheirCodesAndClearTheAcknowledgement)
{
    Bench b;
    rtu &d = b.open();
    d.relayButton(2)->click();
    EXPECT_TRUE(d.relayShowsOn(2));
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(toHex(kyvo::ByteView(b.sent[0]).subspan(10, 16)),
              "03 03 01 03 03 03 03 03 03 03 03 03 03 03 03 03");
    EXPECT_EQ(b.sent[0][2], 1); // the scope byte
    EXPECT_FALSE(b.acknowledged);
    d.switchAll(false);
    EXPECT_FALSE(d.relayShowsOn(2));
    EXPECT_EQ(b.sent.back()[10], 0);
    d.clearCounters();
    EXPECT_EQ(toHex(kyvo::ByteView(b.sent.back()).first(11)), "ba 3a 01 04 00 05 00 91 00 01 00");
    EXPECT_EQ(b.clears, 3);
}

TEST(RtuDialog, LiveRefreshQueriesAndRedrawsWhileCheckedOnly)
{
    Bench b;
    rtu &d = b.open();
    b.control<QCheckBox>(1053)->setChecked(true);
    b.record->live.relayStates[4] = 1;
    b.record->live.inputStates[1] = 1;
    b.record->live.analogRaw[0] = 2048;
    b.record->live.analogScaled[0] = 2500;
    b.record->live.counters[3] = 42;
    b.advance(100);
    EXPECT_TRUE(b.sent.empty());
    EXPECT_TRUE(d.relayShowsOn(4));
    EXPECT_TRUE(d.inputShowsActive(1));
    const QStringList analog = {d.analogText(0, 0), d.analogText(1, 0), d.analogText(2, 0),
                                d.analogText(3, 0)};
    EXPECT_EQ(analog, (QStringList{QStringLiteral("2048"), QStringLiteral("2.500"), QStringLiteral("5.000"),
                                   QStringLiteral("10.000")}));
    EXPECT_EQ(d.counterText(3), QStringLiteral("42"));
    b.advance(400);
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(toHex(b.sent[0]), "ba 3a 01 03 00 01 90 00 00 00 00 00 07 45 2e");

    b.control<QCheckBox>(1053)->setChecked(false);
    b.record->live.counters[3] = 43;
    b.advance(5000);
    EXPECT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(d.counterText(3), QStringLiteral("42"));
}

TEST(RtuDialog, TheServiceControlsShowOnTheSixthClickOnly)
{
    Bench b;
    rtu &d = b.open();
    for (int i = 0; i < 5; ++i)
        QTest::mouseClick(d.blankArea(), Qt::LeftButton);
    EXPECT_FALSE(b.control<QPushButton>(1110)->isVisible());
    QTest::mouseClick(d.blankArea(), Qt::LeftButton);
    EXPECT_TRUE(b.control<QPushButton>(1110)->isVisible());
    EXPECT_TRUE(b.control<QPushButton>(1012)->isVisible());
    b.control<QPushButton>(1012)->click();
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(toHex(b.sent[0]), "ba 3a 01 03 00 01 8f 00 00 00 00 00 07 45 2e");
}

TEST(RtuDialog, FirmwareFilesThatCannotGoAreRefusedWithTheirTexts)
{
    Bench b;
    b.open();
    b.download(8193);
    EXPECT_EQ(b.askedFilter, u("(*.bin);;所有文件(*.*)"));
    b.chosen = b.dir.filePath(QStringLiteral("missing.bin"));
    b.control<QPushButton>(1111)->click();
    b.control<QPushButton>(1110)->click();
    EXPECT_EQ(b.messages,
              (QStringList{QStringLiteral("file is huge!!!"), QStringLiteral("can not open!!!")}));
    EXPECT_TRUE(b.sent.empty());
}

TEST(RtuDialog, ADownloadEndsWithTheAcknowledgementOrFailsAfterTenSeconds)
{
    Bench b;
    rtu &d = b.open();
    b.download(8192);
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(b.sent[0].size(), 8210u);
    EXPECT_FALSE(b.control<QPushButton>(1110)->isEnabled());
    b.advance(9900);
    EXPECT_TRUE(b.messages.isEmpty());
    b.advance(100);
    EXPECT_EQ(b.messages, QStringList{u("下载失败")});
    EXPECT_TRUE(b.control<QPushButton>(1110)->isEnabled());

    b.control<QPushButton>(1110)->click();
    b.advance(100);
    b.acknowledged = true; // the gateway's 0x84 answer 8F 02
    b.advance(100);
    EXPECT_EQ(b.messages.last(), u("下载成功"));
    EXPECT_FALSE(d.downloading());
}

TEST(RtuDialog, ClosingEndsTheDownloadWait)
{
    Bench b;
    rtu &d = b.open();
    b.download(10);
    EXPECT_TRUE(d.downloading());
    d.reject();
    EXPECT_FALSE(d.downloading());
    b.advance(20000);
    EXPECT_TRUE(b.messages.isEmpty());
}

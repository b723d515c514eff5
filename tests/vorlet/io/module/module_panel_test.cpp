// The I/O module's messages, settings, live texts, pictures and timers.
#include "vorlet/io/module/module_panel.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vorlet;
using testsupport::hex;
using testsupport::toHex;

namespace {
const Mac kMac = {0x00, 0x4B, 0x59, 0x0A, 0x00, 0x07};
using kyvo::Millis;
} // namespace

TEST(ModuleMessages, LiteralBytes)
{
    RelayCodes y3;
    y3.fill(3);
    y3[2] = 1;
    const struct
    {
        Bytes message;
        const char *expected;
    } cases[] = {
        {moduleStatusQuery(0, kMac), "ba 3a 00 03 00 01 90 00 4b 59 0a 00 07 45 2e"},
        {adcCalibrationQuery(1, kMac), "ba 3a 01 03 00 01 8f 00 4b 59 0a 00 07 45 2e"},
        {counterClearMessage(0, kMac), "ba 3a 00 04 00 05 00 91 00 01 00 00 4b 59 0a 00 07 45 2e"},
        {relaySwitchMessage(1, kMac, y3),
         "ba 3a 01 04 00 14 00 90 00 10 03 03 01 03 03 03 03 03 03 03 03 03 03 03 "
         "03 03 00 4b 59 0a 00 07 45 2e"},
        {moduleFirmwareMessage(0, kMac, hex("de ad be")),
         "ba 3a 00 04 00 07 00 8f 00 03 de ad be 00 4b 59 0a 00 07 45 2e"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(toHex(c.message), c.expected);
}

TEST(ModuleMessages, ALargestFirmwareFileTravelsIn8210Bytes)
{
    const Bytes image(kModuleFirmwareLimit, 0x5A);
    const Bytes m = moduleFirmwareMessage(0, kMac, image);
    ASSERT_EQ(m.size(), 8210u);
    EXPECT_EQ(toHex(kyvo::ByteView(m).first(10)), "ba 3a 00 04 20 04 00 8f 20 00");
}

TEST(ModulePanel, RelayClicksFlipThePictureAndSendOnlyThatRelay)
{
    RelayPictures p;
    const RelayCodes close = p.click(2);
    EXPECT_EQ(toHex(close), "03 03 01 03 03 03 03 03 03 03 03 03 03 03 03 03");
    EXPECT_TRUE(p.on(2));
    EXPECT_EQ(p.click(2)[2], kRelayOpen);
    EXPECT_FALSE(p.on(2));
    EXPECT_EQ(toHex(p.all(true)), "01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01");
    EXPECT_TRUE(p.on(15));
    EXPECT_EQ(toHex(p.all(false)), "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    // The device's states take over the pictures.
    auto live = std::make_unique<LiveIo>();
    live->relayStates[7] = 1;
    p.follow(*live);
    EXPECT_TRUE(p.on(7));
    EXPECT_FALSE(p.on(0));
}

TEST(ModulePanel, OnlyChangedInputsAreRedrawn)
{
    InputPictures p;
    auto live = std::make_unique<LiveIo>();
    live->inputStates[0] = 1;
    live->inputStates[9] = 7;
    EXPECT_EQ(p.update(*live), (std::vector<std::size_t>{0, 9}));
    EXPECT_TRUE(p.update(*live).empty());
    live->inputStates[0] = 0;
    EXPECT_EQ(p.update(*live), (std::vector<std::size_t>{0}));
    EXPECT_FALSE(p.active(0));
    EXPECT_TRUE(p.active(9));
}

TEST(ModulePanel, ScaledValuesOnTheirThreeRanges)
{
    const struct
    {
        std::uint16_t thousandths;
        const char *v5, *v10, *ma20;
    } cases[] = {
        {2500, "2.500", "5.000", "10.000"},
        {0, "0.000", "0.000", "0.000"},
        {1, "0.001", "0.002", "0.004"},
        {65535, "65.535", "131.070", "262.140"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(scaledText(c.thousandths, 1), c.v5);
        EXPECT_EQ(scaledText(c.thousandths, 2), c.v10);
        EXPECT_EQ(scaledText(c.thousandths, 4), c.ma20);
    }
    auto live = std::make_unique<LiveIo>();
    live->analogRaw[7] = 4095;
    live->analogScaled[7] = 2500;
    live->counters[15] = 0xFFFFFFFF;
    const LiveTexts t = liveTexts(*live);
    EXPECT_EQ(t.raw[7], "4095");
    EXPECT_EQ(t.milliamps[7], "10.000");
    EXPECT_EQ(t.counters[15], "-1"); // counters are signed
}

TEST(ModulePanel, SettingsAreStoredByTheirRules)
{
    auto r = std::make_unique<ParameterRecord>();
    r->io.retention = 0xFF;
    r->io.strobeEnabled = 1;
    ModuleSettings s = readModuleSettings(*r);
    EXPECT_TRUE(s.keepRelays);
    EXPECT_TRUE(s.keepCounters);
    s.address = 70000;
    s.debounce = 65536 + 20; // cut to 16 bits
    s.linkage = true;
    s.keepCounters = false;
    storeModuleSettings(s, *r);
    EXPECT_EQ(r->io.moduleAddress.get(), 70000u);
    EXPECT_EQ(r->io.debounceMs.get(), 20);
    EXPECT_EQ(r->io.linkageEnabled, 1);
    EXPECT_EQ(r->io.timersEnabled, 0);
    EXPECT_EQ(r->io.retention, 0x01); // rebuilt, the other bits 0
    EXPECT_EQ(r->io.strobeEnabled, 1);
    s.keepRelays = false;
    s.keepCounters = true;
    storeModuleSettings(s, *r);
    EXPECT_EQ(r->io.retention, 0x10);
}

TEST(PanelTimers, RefreshQueriesEvery500AndRedrawsEvery100UntilStopped)
{
    PanelTimers t;
    t.setRefresh(true, Millis{0});
    int queries = 0, redraws = 0;
    for (int ms = 10; ms <= 1000; ms += 10) {
        const auto due = t.run(Millis{ms}, false);
        queries += due.query;
        redraws += due.redraw;
    }
    EXPECT_EQ(queries, 2);
    EXPECT_EQ(redraws, 10);
    t.setRefresh(false, Millis{1000});
    EXPECT_FALSE(t.nextDeadline());
    const auto due = t.run(Millis{5000}, false);
    EXPECT_FALSE(due.query || due.redraw);
}

TEST(PanelTimers, ADownloadEndsOnTheAcknowledgementOrAfterTenSeconds)
{
    using End = PanelTimers::DownloadEnd;
    PanelTimers t;
    t.startDownload(Millis{0});
    EXPECT_EQ(t.run(Millis{100}, false).download, End::None);
    EXPECT_EQ(t.run(Millis{200}, true).download, End::Succeeded);
    EXPECT_FALSE(t.downloading());

    t.startDownload(Millis{1000});
    for (int ms = 1100; ms < 11000; ms += 100)
        ASSERT_EQ(t.run(Millis{ms}, false).download, End::None) << ms;
    EXPECT_EQ(t.nextDeadline(), Millis{11000});
    EXPECT_EQ(t.run(Millis{11000}, false).download, End::Failed);
    EXPECT_FALSE(t.nextDeadline());
}

// The firmware upgrade state machine, on a manual clock against a simulated
// gateway (called directly, without a network).
#include "vorlet/maintenance/fota_session.h"

#include "devsim/gateway/gateway_sim.h"
#include "vorlet/link/link_frame.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <deque>

using namespace vorlet;
using kyvo::Millis;

namespace {

const Mac kMac{0x00, 0x4B, 0x59, 0x0A, 0x4D, 0x07};

struct Recorder : FotaSink {
    std::vector<Bytes> datagrams;
    std::vector<std::string> statuses;
    std::string partition;
    int maximum = 0, position = 0;
    bool startEnabled = true;
    std::optional<bool> verified;
    void sendDatagram(const Bytes &d) override { datagrams.push_back(d); }
    void showStatus(const std::string &t, const std::string &s) override { statuses.push_back(t + s); }
    void showPartition(const std::string &t) override { partition = t; }
    void showProgress(int m, int p) override { maximum = m, position = p; }
    void setStartEnabled(bool e) override { startEnabled = e; }
    void showResult(bool v) override { verified = v; }
    void hideResult() override { verified.reset(); }
};

FirmwareFile image(std::size_t firmware, std::size_t web, std::uint8_t type = 3)
{
    FirmwareFile f;
    f.imageType = type;
    for (std::size_t i = 0; i < firmware; ++i) f.firmware.push_back(std::uint8_t(i * 31 + 7));
    for (std::size_t i = 0; i < web; ++i) f.web.push_back(std::uint8_t(i * 13 + 1));
    return f;
}

// The message a link frame carries (one frame per message in the new framing).
Bytes payloadOf(const Bytes &frame) { return Bytes(frame.begin() + 8, frame.end() - 7); }

// A session wired to a simulated gateway; answers can be lost on purpose.
struct Harness {
    Recorder sink;
    FotaSession session;
    devsim::GatewaySim device;
    Millis now{0};
    int answers = 0;
    int loseEvery = 0;
    std::size_t delivered = 0;

    explicit Harness(const char *version = "V10112")
        : session(kMac, version, sink), device([] {
              devsim::GatewayProfile p;
              p.mac = devsim::Mac{kMac[0], kMac[1], kMac[2], kMac[3], kMac[4], kMac[5]};
              return p;
          }())
    {
    }

    struct Collect : devsim::Outbox {
        std::vector<Bytes> out;
        void send(Bytes d, kyvo::Ipv4Endpoint, std::uint16_t, int) override { out.push_back(std::move(d)); }
    };

    // Delivers every datagram sent so far to the device and its answers back.
    void exchange()
    {
        while (delivered < sink.datagrams.size()) {
            const Bytes d = sink.datagrams[delivered++];
            Collect c;
            device.receive(devsim::Incoming{d, {0x0A4D0001, 40000}, 1111, false}, c);
            for (const Bytes &a : c.out) {
                ++answers;
                if (loseEvery && answers % loseEvery == 0) continue;
                session.onAnswer(a, now);
            }
        }
    }
    // Runs the clock to the next deadline.
    bool step()
    {
        const auto d = session.nextDeadline();
        if (!d) return false;
        now = std::max(now, *d);
        session.onTime(now);
        return true;
    }
    void runToEnd(int limit = 100000)
    {
        exchange();
        for (int i = 0; i < limit && session.state() != FotaSession::State::Finished &&
                        session.state() != FotaSession::State::Failed;
             ++i) {
            if (!step()) break;
            exchange();
        }
    }
};

} // namespace

TEST(FirmwareFile, ChecksTheLimitAndTheDeclaredLengths)
{
    Bytes file(20, 0);
    file[15] = 5;
    kyvo::writeBe32(file.data() + 16, 3);
    file.insert(file.end(), {1, 2, 3, 0, 0, 0, 2, 9, 8});
    const auto ok = parseFirmwareFile(file);
    ASSERT_TRUE(std::holds_alternative<FirmwareFile>(ok));
    EXPECT_EQ(std::get<FirmwareFile>(ok).imageType, 5);
    EXPECT_EQ(std::get<FirmwareFile>(ok).firmware, (Bytes{1, 2, 3}));
    EXPECT_EQ(std::get<FirmwareFile>(ok).web, (Bytes{9, 8}));
    Bytes longer = file;
    kyvo::writeBe32(longer.data() + 16, 4000); // more firmware than the file holds
    EXPECT_EQ(std::get<FirmwareFileError>(parseFirmwareFile(longer)), FirmwareFileError::Malformed);
    Bytes cutWeb = file;
    cutWeb.pop_back();
    EXPECT_EQ(std::get<FirmwareFileError>(parseFirmwareFile(cutWeb)), FirmwareFileError::Malformed);
    EXPECT_EQ(std::get<FirmwareFileError>(parseFirmwareFile(Bytes(kMaxFirmwareFile + 1, 0))), FirmwareFileError::TooLarge);
    Bytes noImage(24, 0); // a header declaring empty firmware and web images
    EXPECT_EQ(std::get<FirmwareFileError>(parseFirmwareFile(noImage)), FirmwareFileError::NoImage);
    EXPECT_EQ(std::get<FirmwareFileError>(loadFirmwareFile("/nonexistent/x.bin")), FirmwareFileError::CannotOpen);
}

TEST(FotaSession, TheRequestCarriesTheFactoryTick)
{
    Recorder sink;
    FotaSession s(kMac, "V10112", sink);
    s.start(image(10, 10, 3), true, Millis{0});
    EXPECT_EQ(testsupport::toHex(payloadOf(sink.datagrams.at(0))),
              "ba 3a 01 07 00 08 0e 00 05 03 ba 03 03 03 00 4b 59 0a 4d 07 45 2e");
    EXPECT_FALSE(sink.startEnabled);
    EXPECT_EQ(s.upgradeRequest(false)[10], 3);
    EXPECT_EQ(testsupport::toHex(s.sizeAnnouncement(4024)), "ba 3a 01 07 00 07 0f 00 04 00 00 0f b8 00 4b 59 0a 4d 07 45 2e");
}

TEST(FotaSession, BlocksAreNumberedPaddedAndSummed)
{
    Harness h;
    h.session.start(image(3000, 2048), false, h.now);
    h.runToEnd();
    ASSERT_EQ(h.session.state(), FotaSession::State::Finished);
    EXPECT_EQ(h.session.announcedSize(), 4024u); // 1024 added before the size announcement
    EXPECT_EQ(h.session.firmwareBlocks(), 4);
    EXPECT_EQ(h.session.webBlocks(), 3);
    std::vector<std::pair<std::uint8_t, int>> blocks; // kind, number
    for (const Bytes &d : h.sink.datagrams) {
        const Bytes m = payloadOf(d);
        if (m.size() == 1044) blocks.push_back({m[6], m[9] << 8 | m[10]});
    }
    const std::vector<std::pair<std::uint8_t, int>> expected = {{0x10, 10000}, {0x10, 10001}, {0x10, 10002}, {0x10, 0},
                                                                {0x10, 1},     {0x10, 2},     {0x11, 3}};
    EXPECT_EQ(blocks, expected);
    // Block 2 carries the image's last 952 bytes, then zeros; block 3 lies
    // wholly in the added kilobyte. Each checksum covers the padding.
    const FirmwareFile f = image(3000, 2048);
    std::vector<Bytes> firmwareBlocks;
    for (const Bytes &d : h.sink.datagrams) {
        const Bytes m = payloadOf(d);
        if (m.size() == 1044 && (m[9] << 8 | m[10]) < 10000) firmwareBlocks.push_back(m);
    }
    ASSERT_EQ(firmwareBlocks.size(), 4u);
    const Bytes &b2 = firmwareBlocks[2];
    EXPECT_TRUE(std::equal(f.firmware.begin() + 2048, f.firmware.end(), b2.begin() + 11));
    EXPECT_TRUE(std::all_of(b2.begin() + 11 + 952, b2.begin() + 11 + 1024, [](std::uint8_t b) { return b == 0; }));
    std::uint8_t sum = 0;
    for (int i = 0; i < 1024; ++i) sum = std::uint8_t(sum + b2[std::size_t(11 + i)]);
    EXPECT_EQ(b2[11 + 1024], sum);
    EXPECT_TRUE(std::all_of(firmwareBlocks[3].begin() + 11, firmwareBlocks[3].begin() + 11 + 1024, [](std::uint8_t b) { return b == 0; }));
    // The device holds the image byte for byte (the added kilobyte as zeros).
    Bytes firmware = f.firmware;
    firmware.resize(4024, 0);
    EXPECT_EQ(h.device.upgrade().firmware, firmware);
    Bytes web = f.web;
    web.resize(3072, 0);
    EXPECT_EQ(h.device.upgrade().web, web);
    EXPECT_EQ(h.sink.statuses.back(), "升级成功");
    EXPECT_EQ(h.sink.verified, true);
    EXPECT_TRUE(h.sink.startEnabled);
    EXPECT_EQ(h.sink.partition, "1->2");
}

TEST(FotaSession, TheSizeIsAnnounced800MsAfterTheRequestIsAccepted)
{
    Harness h;
    h.session.start(image(100, 10), false, h.now);
    h.exchange();
    EXPECT_EQ(h.session.state(), FotaSession::State::Sizing);
    EXPECT_EQ(h.sink.datagrams.size(), 1u);
    EXPECT_EQ(h.session.nextDeadline(), Millis{800});
    h.step();
    ASSERT_EQ(h.sink.datagrams.size(), 2u);
    EXPECT_EQ(payloadOf(h.sink.datagrams[1]).size(), 21u);
    EXPECT_EQ(h.session.nextDeadline(), Millis{800 + 10000}); // the device prepares its flash
}

TEST(FotaSession, OldFirmwareTakesEachBlockInTwoFragments)
{
    for (const char *version : {"V10109", "V10110"}) {
        Harness h(version);
        h.session.start(image(2000, 100), false, h.now);
        h.runToEnd();
        ASSERT_EQ(h.session.state(), FotaSession::State::Finished) << version;
        std::vector<std::size_t> sizes;
        for (const Bytes &d : h.sink.datagrams)
            if (d.size() > 100) sizes.push_back(d.size());
        if (std::string(version) == "V10109") {
            EXPECT_TRUE(h.session.fragmentedFraming());
            EXPECT_EQ(sizes.at(0), 1039u);
            EXPECT_EQ(h.sink.datagrams.at(3).size(), 20u + 15); // the block's last 20 bytes
        } else {
            EXPECT_FALSE(h.session.fragmentedFraming());
            EXPECT_EQ(sizes.at(0), 1059u);
            EXPECT_EQ(testsupport::toHex(kyvo::ByteView(h.sink.datagrams.at(2)).first(8)), "cc 00 04 14 04 14 00 00");
        }
    }
}

TEST(FotaSession, LostAnswersAreCoveredByResends)
{
    Harness h;
    h.loseEvery = 5;
    h.session.start(image(40000, 5000), false, h.now);
    h.runToEnd();
    ASSERT_EQ(h.session.state(), FotaSession::State::Finished);
    Bytes firmware = image(40000, 5000).firmware;
    firmware.resize(41024, 0);
    EXPECT_EQ(h.device.upgrade().firmware, firmware);
    EXPECT_NE(std::find(h.sink.statuses.begin(), h.sink.statuses.end(), "(resending 0)"), h.sink.statuses.end());
}

TEST(FotaSession, AWrongWebNumberIsReportedAndTheBlockResentAfter2s)
{
    Recorder sink;
    FotaSession s(kMac, "V10112", sink);
    s.start(image(100, 3000), false, Millis{0});
    const auto answer = [&](std::uint8_t step, Bytes values, Millis at) {
        Bytes a{0xBA, 0x3A, 0x01, 0x87, 0x00, step, 0x00, std::uint8_t(values.size())};
        a.insert(a.end(), values.begin(), values.end());
        a.insert(a.end(), kMac.begin(), kMac.end());
        a.push_back('E');
        a.push_back('.');
        s.onAnswer(a, at);
    };
    answer(0x0E, {}, Millis{10});
    s.onTime(Millis{810});
    answer(0x0F, {0x10, 0x11}, Millis{900}); // web block 10000 goes out
    const std::size_t sent = sink.datagrams.size();
    answer(0x10, {0x27, 0x20}, Millis{950}); // expects 10016: wrong
    EXPECT_EQ(sink.statuses.back(), "升级失败 bad number");
    EXPECT_EQ(sink.datagrams.size(), sent);
    EXPECT_EQ(s.nextDeadline(), Millis{2900});
    s.onTime(Millis{2900});
    ASSERT_EQ(sink.datagrams.size(), sent + 1);
    EXPECT_EQ(sink.datagrams.back(), sink.datagrams[sent - 1]);
    // After the web phase any number is accepted.
    answer(0x10, {0x27, 0x11}, Millis{3000});
    answer(0x10, {0x27, 0x12}, Millis{3100});
    answer(0x10, {0x27, 0x13}, Millis{3200}); // the last web block's answer
    EXPECT_EQ(s.phaseMarker(), 2);
    answer(0x10, {0x12, 0x34}, Millis{3300});
    EXPECT_EQ(payloadOf(sink.datagrams.back()).at(6), 0x11); // block 0 of one is the last
    EXPECT_EQ(sink.partition, "1->2");
}

TEST(FotaSession, SilenceGivesFourResendsThenFailure)
{
    Recorder sink;
    FotaSession s(kMac, "V10112", sink);
    s.start(image(100, 10), false, Millis{0});
    Millis now{0};
    while (auto d = s.nextDeadline()) {
        now = *d;
        s.onTime(now);
    }
    EXPECT_EQ(now, Millis{5 * 2000});
    // The request, four resends, and one last copy with the failure.
    ASSERT_EQ(sink.datagrams.size(), 6u);
    EXPECT_EQ(sink.datagrams.back(), sink.datagrams.front());
    EXPECT_EQ(s.resendCount(), 1); // the count starts again and takes the last copy
    EXPECT_EQ(sink.statuses.back(), "升级失败(0x07)");
    EXPECT_EQ(s.state(), FotaSession::State::Failed);
    EXPECT_TRUE(sink.startEnabled);
}

TEST(FotaSession, AOneBlockWebImageMovesOnAndALostLastAnswerIsResent)
{
    Harness h;
    h.loseEvery = 3; // the answer to the only web block, and later the final report
    h.session.start(image(100, 10), false, h.now);
    h.exchange();
    h.step(); // size announcement; the only web block goes out on its answer
    h.exchange();
    EXPECT_EQ(h.session.state(), FotaSession::State::FirmwarePhase);
    EXPECT_EQ(h.session.webBlocks(), 1);
    h.runToEnd();
    EXPECT_EQ(h.session.state(), FotaSession::State::Finished);
    EXPECT_EQ(h.sink.verified, true);
}

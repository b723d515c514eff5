// The serial-server firmware transfer on a manual clock.
#include "pelmar/files/firmware_transfer.h"

#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>

using namespace pelmar;
using kyvo::Bytes;
using kyvo::Millis;

namespace {

const kyvo::Ipv4Endpoint kServer{0x0A4D0105, 50001}; // the device's transfer port

struct Recorder : TransferSink
{
    std::vector<std::pair<Bytes, kyvo::Ipv4Endpoint>> sent;
    std::vector<std::string> statuses, messages;
    std::string counter;
    bool visible = false, startEnabled = true;
    int maximum = 0, position = 0;
    Bar bar = Bar::Blue;
    int flushes = 0;
    std::vector<std::string> probes;
    void sendDatagram(const Bytes &d, kyvo::Ipv4Endpoint to) override { sent.push_back({d, to}); }
    void showStatus(const std::string &t) override { statuses.push_back(t); }
    void showBlockCounter(const std::string &t) override { counter = t; }
    void showProgress(bool v, int m, int p) override { visible = v, maximum = m, position = p; }
    void paintBar(Bar c) override { bar = c; }
    void setStartEnabled(bool e) override { startEnabled = e; }
    void message(const std::string &c, const std::string &) override { messages.push_back(c); }
    void flushAddressCache() override { ++flushes; }
    void probe(const std::string &t) override { probes.push_back(t); }
};

Bytes plain(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = std::uint8_t(i * 3 + 1);
    return b;
}

Bytes dualFile(std::uint32_t lengthA, std::uint32_t lengthB)
{
    Bytes f(0x81004 + lengthB, 0);
    std::memcpy(f.data(), "ESP8266", 7);
    kyvo::writeBe32(f.data() + 0x1000, lengthA);
    for (std::uint32_t i = 0; i < lengthA; ++i)
        f[0x1004 + i] = 'a';
    kyvo::writeBe32(f.data() + 0x81000, lengthB);
    for (std::uint32_t i = 0; i < lengthB; ++i)
        f[0x81004 + i] = 'b';
    return f;
}

Bytes ack(unsigned block)
{
    return Bytes{0, 4, std::uint8_t(block >> 8), std::uint8_t(block)};
}

struct Harness
{
    Recorder sink;
    FirmwareTransfer transfer{sink};
    Millis now{0};

    // Starts, answers the flush and the probe and lets the two seconds pass: the request is out.
    void startAndRequest(Bytes file, const char *name = "fw.bin")
    {
        transfer.start(std::string("/tmp/") + name, name, std::move(file), "10.77.1.5", now);
        ASSERT_EQ(transfer.state(), FirmwareTransfer::State::Flushing);
        transfer.onAddressCacheFlushed(now);
        if (transfer.state() == FirmwareTransfer::State::Probing) transfer.onProbeResult(true, now);
        ASSERT_EQ(transfer.state(), FirmwareTransfer::State::Waiting);
        now += Millis{2000};
        transfer.onTime(now);
        ASSERT_EQ(transfer.state(), FirmwareTransfer::State::RequestSent);
    }
    // Acknowledges every DATA block as a device would (the last one too);
    // returns their payload sizes.
    std::vector<std::size_t> acknowledgeAll(Bytes firstAck = ack(0))
    {
        std::vector<std::size_t> sizes;
        std::size_t seen = sink.sent.size();
        transfer.onReply(firstAck, kServer, now);
        while (seen < sink.sent.size()) {
            const Bytes &d = sink.sent[seen++].first;
            if (d[1] != 3) continue;
            sizes.push_back(d.size() - 4);
            if (transfer.active()) transfer.onReply(ack(unsigned(d[2] << 8 | d[3])), kServer, now);
        }
        return sizes;
    }
};

} // namespace

TEST(FirmwareTransfer, TheWriteRequestCarriesTheSizeAndFitsIn255Bytes)
{
    const auto r = FirmwareTransfer::writeRequest("fw.bin", 1100);
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, testsupport::hex(
                      "00 02 66 77 2e 62 69 6e 00 6f 63 74 65 74 00 74 73 69 7a 65 00 31 31 30 30 00"));
    const Bytes suffix(8, 0); // a dual-image request's two lengths
    EXPECT_EQ(FirmwareTransfer::writeRequest(std::string(223, 'n'), 10485760, suffix)->size(), 255u);
    EXPECT_FALSE(FirmwareTransfer::writeRequest(std::string(224, 'n'), 10485760, suffix));
    EXPECT_FALSE(FirmwareTransfer::fileTooLarge(10485760));
    EXPECT_TRUE(FirmwareTransfer::fileTooLarge(10485761));
}

TEST(FirmwareTransfer, A1100ByteImageGoesIn512_512_76AndEndsASecondAfterItsLastAcknowledgement)
{
    Harness h;
    h.startAndRequest(plain(1100));
    EXPECT_EQ(h.sink.sent.back().second, (kyvo::Ipv4Endpoint{0x0A4D0105, 69}));
    EXPECT_EQ(h.transfer.nextDeadline(), h.now + Millis{6000});
    EXPECT_TRUE(h.sink.visible);
    EXPECT_EQ(h.sink.maximum, 3);
    EXPECT_EQ(h.sink.position, 1);
    h.transfer.onReply(ack(0), kServer, h.now);
    h.transfer.onReply(ack(1), kServer, h.now);
    h.transfer.onReply(ack(2), kServer, h.now); // block 3 is out; its acknowledgement is awaited
    EXPECT_EQ(h.transfer.nextDeadline(), h.now + Millis{1000});
    EXPECT_NE(h.sink.statuses.back(), "Upgrade success");
    h.transfer.onReply(ack(3), kServer, h.now);
    EXPECT_EQ(h.sink.position, 3);
    h.now += Millis{999};
    h.transfer.onTime(h.now);
    EXPECT_TRUE(h.sink.visible);
    EXPECT_FALSE(h.sink.startEnabled);
    h.now += Millis{1};
    h.transfer.onTime(h.now);
    EXPECT_EQ(h.sink.statuses.back(), "Upgrade success");
    EXPECT_FALSE(h.sink.visible);
    EXPECT_TRUE(h.sink.startEnabled);
    EXPECT_FALSE(h.transfer.nextDeadline());
    EXPECT_EQ(h.sink.sent.back().second, kServer); // DATA goes to the port that answered
    const Bytes &last = h.sink.sent.back().first;
    EXPECT_EQ(testsupport::toHex(kyvo::ByteView(last).first(4)), "00 03 00 03");
    EXPECT_TRUE(std::equal(last.begin() + 4, last.end(), plain(1100).begin() + 1024));
}

TEST(FirmwareTransfer, AMultipleOf512EndsWithAnEmptyBlock)
{
    Harness h;
    h.startAndRequest(plain(1024));
    EXPECT_EQ(h.acknowledgeAll(), (std::vector<std::size_t>{512, 512, 0}));
}

TEST(FirmwareTransfer, OnlyImagesBelow2MiBAreProbedAndTheProbeGivesUpAfter14)
{
    Harness big;
    big.transfer.start("p", "big.bin", plain(0x200000), "10.77.1.5", big.now);
    big.transfer.onAddressCacheFlushed(big.now);
    EXPECT_TRUE(big.sink.probes.empty());
    EXPECT_EQ(big.sink.flushes, 1);
    EXPECT_EQ(big.transfer.state(), FirmwareTransfer::State::Waiting);

    Harness small;
    small.transfer.start("p", "small.bin", plain(0x1FFFFF), "10.77.1.5", small.now);
    EXPECT_TRUE(small.sink.probes.empty()); // the probe waits for the flush to end
    small.transfer.onAddressCacheFlushed(small.now);
    for (int i = 0; i < 14; ++i)
        small.transfer.onProbeResult(false, small.now);
    EXPECT_EQ(small.sink.probes.size(), 14u);
    EXPECT_EQ(small.sink.statuses.front(), "ping 10.77.1.5  1");
    EXPECT_EQ(small.sink.statuses.back(), "ping 失败");
    EXPECT_TRUE(small.sink.startEnabled);
    EXPECT_TRUE(small.sink.sent.empty());
}

TEST(FirmwareTransfer, ADualImageFileSendsTheImageTheDeviceDoesNotRun)
{
    for (const auto &[slot, choice, status, fill] :
         {std::tuple{1, 'A', "B", 'b'}, std::tuple{2, 'B', "A", 'a'}}) {
        Harness h;
        h.startAndRequest(dualFile(700, 1300), "esp.bin");
        // The request ends with the lengths of image B, then of image A, as stored.
        EXPECT_EQ(testsupport::toHex(kyvo::ByteView(h.sink.sent.back().first).last(8)),
                  "00 00 05 14 00 00 02 bc");
        const auto sizes = h.acknowledgeAll(Bytes{0, 4, 0, 0, std::uint8_t(slot)});
        EXPECT_EQ(h.transfer.imageChoice(), choice);
        EXPECT_NE(std::find(h.sink.statuses.begin(), h.sink.statuses.end(), status), h.sink.statuses.end());
        const std::size_t expected = choice == 'A' ? 1300 : 700;
        EXPECT_EQ(std::accumulate(sizes.begin(), sizes.end(), std::size_t(0)), expected);
        EXPECT_EQ(h.sink.sent[1].first[4], std::uint8_t(fill));
    }
    Harness wrong;
    wrong.startAndRequest(dualFile(700, 1300), "esp.bin");
    wrong.transfer.onReply(ack(0), kServer, wrong.now); // a 4-byte ACK: the device is not a dual-image one
    EXPECT_EQ(wrong.sink.messages.back(), "固件不对");
    EXPECT_FALSE(wrong.sink.startEnabled);
}

TEST(FirmwareTransfer, WhatCannotBeSentIsRefusedBeforeAnythingHappens)
{
    Bytes badDual = dualFile(700, 1300);
    kyvo::writeBe32(badDual.data() + 0x1000, 0); // image A is empty
    const struct
    {
        Bytes file;
        std::string name, target, message;
    } cases[] = {
        {plain(kImageBufferSize + 1), "big.bin", "10.77.1.5", "固件太大: 最多 5242880 字节"},
        {plain(100), std::string(240, 'x'), "10.77.1.5", "文件名太长"},
        {plain(0), "empty.bin", "10.77.1.5", kImageTooSmallText},
        {plain(1), "one.bin", "10.77.1.5", kImageTooSmallText},
        {badDual, "esp.bin", "10.77.1.5", "固件不对"},
        {plain(100), "fw.bin", "server.local", "目标地址无效，请输入如 192.168.1.253 的IP地址"},
        {plain(100), "fw.bin", "10.77.1", "目标地址无效，请输入如 192.168.1.253 的IP地址"},
    };
    for (const auto &c : cases) {
        Harness h;
        h.transfer.start("p", c.name, c.file, c.target, h.now);
        EXPECT_EQ(h.sink.messages, std::vector<std::string>{c.message}) << c.name << ' ' << c.target;
        EXPECT_TRUE(h.sink.startEnabled);
        EXPECT_EQ(h.sink.flushes, 0);
        EXPECT_EQ(h.transfer.state(), FirmwareTransfer::State::Idle);
        EXPECT_TRUE(h.sink.sent.empty());
    }
}

TEST(FirmwareTransfer, OnlyTheDevicesAnswersFromItsTransferPortCount)
{
    Harness h;
    h.startAndRequest(plain(1100));
    const kyvo::Ipv4Endpoint fake{0x0A4D0163, 50001}, otherPort{kServer.address, 50002};
    h.transfer.onReply(ack(0), fake, h.now); // another host acknowledges first
    EXPECT_EQ(h.sink.sent.size(), 1u);
    EXPECT_EQ(h.transfer.state(), FirmwareTransfer::State::RequestSent);
    h.transfer.onReply(ack(0), kServer, h.now); // the device's first answer binds the transfer
    ASSERT_EQ(h.sink.sent.back().second, kServer);
    for (const kyvo::Ipv4Endpoint &from : {fake, otherPort}) {
        h.transfer.onReply(ack(1), from, h.now);
        h.transfer.onReply(Bytes{0, 5, 0, 1, 0}, from, h.now);
    }
    EXPECT_EQ(h.sink.sent.size(), 2u);
    EXPECT_TRUE(h.sink.messages.empty());
    h.transfer.onReply(ack(1), kServer, h.now);
    h.transfer.onReply(ack(2), kServer, h.now);
    h.transfer.onReply(ack(3), fake, h.now); // the last block's acknowledgement from elsewhere
    while (auto d = h.transfer.nextDeadline()) {
        h.now = *d;
        h.transfer.onTime(h.now);
    }
    EXPECT_EQ(h.sink.sent.back().second, kServer); // the last block went to the device eleven more times
    EXPECT_EQ(h.sink.statuses.back(), "resend number:11");
    EXPECT_EQ(h.sink.bar, TransferSink::Bar::Red);
    EXPECT_TRUE(h.sink.startEnabled);
}

TEST(FirmwareTransfer, AnAcknowledgementOfBlock0StartsTheImageAgainDuringTheTransferAndItsLastSecond)
{
    // Acknowledged blocks before the device asks for block 0 again: midway,
    // and all six (the closing second runs).
    for (const unsigned acknowledged : {2u, 6u}) {
        SCOPED_TRACE(acknowledged);
        Harness h;
        h.startAndRequest(plain(3000));
        for (unsigned b = 0; b <= acknowledged; ++b)
            h.transfer.onReply(ack(b), kServer, h.now);
        h.now += Millis{500};
        h.transfer.onReply(ack(0), kServer, h.now);
        EXPECT_EQ(testsupport::toHex(kyvo::ByteView(h.sink.sent.back().first).first(4)), "00 03 00 01");
        EXPECT_EQ(h.transfer.nextDeadline(), h.now + Millis{4000});
        h.transfer.onReply(ack(1), kServer, h.now); // and goes on from there
        EXPECT_EQ(testsupport::toHex(kyvo::ByteView(h.sink.sent.back().first).first(4)), "00 03 00 02");
        h.now += Millis{1000};
        h.transfer.onTime(h.now);
        EXPECT_EQ(std::count(h.sink.statuses.begin(), h.sink.statuses.end(), "Upgrade success"), 0);
        EXPECT_TRUE(h.sink.messages.empty());
    }
}

TEST(FirmwareTransfer, AnUnexpectedBlockNumberEndsTheTransferInRed)
{
    Harness h;
    h.startAndRequest(plain(3000));
    h.transfer.onReply(ack(0), kServer, h.now);
    h.transfer.onReply(ack(1), kServer, h.now);
    h.transfer.onReply(ack(5), kServer, h.now);
    EXPECT_EQ(h.sink.messages.back(), "文件的序号不对!收到的序号:5 当前序号:2");
    EXPECT_EQ(h.sink.bar, TransferSink::Bar::Red);
    EXPECT_FALSE(h.sink.startEnabled);
    EXPECT_FALSE(h.transfer.nextDeadline());
}

TEST(FirmwareTransfer, ElevenResendsEndTheAttemptAndAReplyRestartsTheCount)
{
    Harness h;
    h.startAndRequest(plain(3000));
    h.transfer.onReply(ack(0), kServer, h.now);
    EXPECT_EQ(h.transfer.nextDeadline(), h.now + Millis{4000});
    for (int i = 0; i < 3; ++i) {
        h.now = *h.transfer.nextDeadline();
        h.transfer.onTime(h.now);
    }
    EXPECT_EQ(h.sink.statuses.back(), "resend number:3");
    // Resends go to the target field's address on the stored port.
    EXPECT_EQ(h.sink.sent.back().second, (kyvo::Ipv4Endpoint{0x0A4D0105, 50001}));
    h.transfer.onReply(ack(1), kServer, h.now); // block 2 goes out, its count starts at 0
    const std::size_t before = h.sink.sent.size();
    while (auto d = h.transfer.nextDeadline()) {
        h.now = *d;
        h.transfer.onTime(h.now);
    }
    EXPECT_EQ(h.sink.sent.size() - before, 11u);
    EXPECT_EQ(h.sink.statuses.back(), "resend number:11");
    EXPECT_EQ(h.sink.bar, TransferSink::Bar::Red);
    EXPECT_TRUE(h.sink.startEnabled);
}

TEST(FirmwareTransfer, AnErrorReplyStopsAndStrayDatagramsLeaveTheTimerRunning)
{
    Harness h;
    h.startAndRequest(plain(3000));
    h.transfer.onReply(ack(7), kServer, h.now); // an acknowledgement outside a transfer
    h.transfer.onReply(Bytes{0, 6, 't', 0}, kServer, h.now);
    EXPECT_TRUE(h.transfer.nextDeadline());
    h.transfer.onReply(Bytes{0, 5, 0, 1, 'x', 0}, kServer, h.now);
    EXPECT_EQ(h.sink.messages.back(), "传输错误");
    EXPECT_FALSE(h.transfer.nextDeadline());
    EXPECT_FALSE(h.sink.startEnabled);
}

// The serial-server firmware reader: any file (a plain or a dual image) sent
// through the transfer to a device that acknowledges every block. Its first
// byte is the running slot the device names; no block leaves larger than
// TFTP allows, and none comes from outside the file.
#include "pelmar/files/firmware_transfer.h"

#include <cstdlib>

namespace {
struct Sink : pelmar::TransferSink
{
    kyvo::Bytes last;
    void sendDatagram(const kyvo::Bytes &d, kyvo::Ipv4Endpoint) override
    {
        if (d.size() > 4 + pelmar::kTftpBlock && !(d.size() > 1 && d[1] == 0x02)) std::abort();
        last = d;
    }
    void showStatus(const std::string &) override {}
    void showBlockCounter(const std::string &) override {}
    void showProgress(bool, int, int) override {}
    void paintBar(Bar) override {}
    void setStartEnabled(bool) override {}
    void message(const std::string &, const std::string &) override {}
    void flushAddressCache() override {}
    void probe(const std::string &) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1) return 0;
    using pelmar::FirmwareTransfer;
    Sink sink;
    FirmwareTransfer transfer(sink);
    const kyvo::Ipv4Endpoint device{0x0A4D0102, 50000};
    kyvo::Millis now{0};
    transfer.start("fw.bin", "fw.bin", kyvo::Bytes(data + 1, data + size), "10.77.1.2", now);
    transfer.onAddressCacheFlushed(now);
    transfer.onProbeResult(true, now);
    now += kyvo::Millis{2000};
    transfer.onTime(now);
    if (transfer.state() != FirmwareTransfer::State::RequestSent) return 0;
    const kyvo::Bytes first{0x00, 0x04, 0x00, 0x00, std::uint8_t(data[0] % 3)};
    transfer.onReply(kyvo::ByteView(first.data(), transfer.dualImage() ? 5 : 4), device, now);
    std::size_t imageBytes = 0;
    for (unsigned block = 1; transfer.active() && block <= transfer.totalBlocks(); ++block) {
        if (sink.last.size() < 4 || sink.last[1] != 0x03) break;
        imageBytes += sink.last.size() - 4;
        const kyvo::Bytes ack{0x00, 0x04, std::uint8_t(block >> 8), std::uint8_t(block)};
        transfer.onReply(ack, device, now);
    }
    if (imageBytes > size) std::abort();
    return 0;
}

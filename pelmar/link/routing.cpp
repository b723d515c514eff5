// Routing of received datagrams.
#include "pelmar/link/routing.h"

#include "common/fixed_field.h"

namespace pelmar {

namespace {
bool startsHR(ByteView d) { return d.size() >= 4 && d[0] == 'H' && d[1] == ':' && d[2] == 'R'; }
} // namespace

std::optional<RecordFormat> recordFormatOf(ByteView d)
{
    if (!startsHR(d)) return std::nullopt;
    const std::size_t n = d.size();
    if (d[3] == code::kRecordReply) {
        switch (n) {
        case 372: return RecordFormat::RecordWifi362;
        case 302: return RecordFormat::RecordWifi292;
        case 1294:
        case 684: return RecordFormat::RecordMulti1284;
        case 2336:
        case 1582:
        case 828: return RecordFormat::RecordMulti2326;
        default: return std::nullopt;
        }
    }
    if (d[3] == code::kNativeReply) {
        switch (n) {
        case 250: case 270: case 310: case 390: case 470: case 510: case 730: case 760:
            return RecordFormat::NativeRecord;
        default: return std::nullopt;
        }
    }
    return std::nullopt;
}

ByteView recordOf(ByteView d)
{
    if (d.size() < kFrameHeaderSize + kFrameTailSize) return {};
    return d.subspan(kFrameHeaderSize, d.size() - kFrameHeaderSize - kFrameTailSize);
}

Route routeDatagram(ByteView d)
{
    Route r;
    const std::size_t n = d.size();
    if (n == 0) return r;
    r.alert = n == kAlertLength;
    r.wifiScanList = startsHR(d) && d[3] == code::kWifiScan;
    r.scanAlert = n == kScanAlertLength && d[3] == code::kWifiScan;
    r.record = recordFormatOf(d);
    r.shortDiscovery = n == kShortFrameSize && d[3] == code::kRecordReply;
    r.shortItem = checkShortReply(d);
    r.tftp = d[0] == 0x00;
    return r;
}

kyvo::Inbound classifyDatagram(ByteView d)
{
    const Route r = routeDatagram(d);
    if (r.record || r.shortDiscovery || r.shortItem) return kyvo::Inbound::Answer;
    return r.any() ? kyvo::Inbound::Other : kyvo::Inbound::Junk;
}

std::string textAtByte4(ByteView d)
{
    if (d.size() <= 4) return {};
    const ByteView text = d.subspan(4);
    return std::string(reinterpret_cast<const char *>(text.data()), kyvo::fieldTextLength(text.data(), text.size()));
}

} // namespace pelmar

// TLV frames of the sub-dialogs.
#include "pelmar/link/tlv_frame.h"

#include <algorithm>

namespace pelmar {

Bytes buildTlvFrame(std::uint8_t code, ByteView body, const Mac &mac)
{
    const std::size_t n = std::min<std::size_t>(body.size(), 0xFFFF);
    Bytes frame{'h', ':', 0x00, code};
    kyvo::putBe16(frame, std::uint16_t(n));
    kyvo::putBytes(frame, body.first(n));
    kyvo::putBytes(frame, mac);
    frame.push_back('E');
    frame.push_back('.');
    return frame;
}

void appendTlv(Bytes &body, std::uint8_t type, ByteView value)
{
    const std::size_t n = std::min<std::size_t>(value.size(), 0xFF);
    body.push_back(type);
    body.push_back(std::uint8_t(n));
    kyvo::putBytes(body, value.first(n));
}

void appendPortTlv(Bytes &body, std::uint8_t portIndex, ByteView nested)
{
    const std::size_t n = std::min<std::size_t>(nested.size(), 0xFFFE);
    body.push_back(kTlvPortType);
    kyvo::putBe16(body, std::uint16_t(n + 1));
    body.push_back(portIndex);
    kyvo::putBytes(body, nested.first(n));
}

TlvCheck checkTlvReply(ByteView f)
{
    if (f.size() <= 9) return TlvCheck::TooShort;
    if (f[0] != 'h' || f[1] != ':') return TlvCheck::BadHeader;
    if (f[f.size() - 2] != 'E' || f[f.size() - 1] != '.') return TlvCheck::BadTail;
    return TlvCheck::Ok;
}

std::string_view tlvCheckText(TlvCheck check)
{
    switch (check) {
    case TlvCheck::TooShort: return "长度太短";
    case TlvCheck::BadHeader: return "协议头错误";
    case TlvCheck::BadTail: return "协议尾错误";
    case TlvCheck::Ok: break;
    }
    return {};
}

std::optional<TlvFrame> parseTlvFrame(ByteView f)
{
    if (checkTlvReply(f) != TlvCheck::Ok) return std::nullopt;
    TlvFrame view;
    view.code = f[3];
    view.declaredLength = kyvo::readBe16(f.data() + 4);
    std::copy_n(f.end() - 8, 6, view.mac.begin());
    return view;
}

bool replyIsFrom(ByteView reply, const Mac &mac)
{
    const auto frame = parseTlvFrame(reply);
    return !frame || frame->mac == mac;
}

namespace {

// Nested TLVs of one port: type, one-byte length, value.
void walkPort(std::uint8_t index, ByteView nested, const std::function<void(const TlvEntry &)> &visit)
{
    std::size_t p = 0;
    while (p + 2 <= nested.size()) {
        const std::size_t n = nested[p + 1];
        if (p + 2 + n > nested.size()) return;
        visit(TlvEntry{index, nested[p], nested.subspan(p + 2, n)});
        p += 2 + n;
    }
}

} // namespace

void walkTlvBody(ByteView f, const std::function<void(const TlvEntry &)> &visit)
{
    if (f.size() < kTlvFrameOverhead) return;
    const std::size_t present = f.size() - kTlvFrameOverhead;
    const ByteView body = f.subspan(6, std::min<std::size_t>(kyvo::readBe16(f.data() + 4), present));
    std::size_t p = 0;
    while (p < body.size()) {
        const std::uint8_t type = body[p];
        if (type == kTlvPortType) {
            if (p + 3 > body.size()) return;
            const std::size_t n = kyvo::readBe16(body.data() + p + 1);
            if (p + 3 + n > body.size()) return;
            if (n >= 1) walkPort(body[p + 3], body.subspan(p + 4, n - 1), visit);
            p += 3 + n;
        } else {
            if (p + 2 > body.size()) return;
            const std::size_t n = body[p + 1];
            if (p + 2 + n > body.size()) return;
            visit(TlvEntry{-1, type, body.subspan(p + 2, n)});
            p += 2 + n;
        }
    }
}

} // namespace pelmar

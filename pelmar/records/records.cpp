// The record families joined: the take-over by family and length, the
// write lengths and the write frames.
#include "pelmar/model/conversions.h"
#include "pelmar/records/records_internal.h"

namespace pelmar {

bool takeOverRecord(RecordFormat format, ByteView record, DeviceEntry &entry)
{
    const std::size_t n = record.size();
    switch (format) {
    case RecordFormat::RecordWifi362:
        if (n != kWifi362Size) return false;
        takeOverWifi362(record, entry);
        return true;
    case RecordFormat::RecordWifi292:
        if (n != kWifi292Size) return false;
        takeOverWifi292(record, entry);
        return true;
    case RecordFormat::RecordMulti1284:
        if (n != kMulti1284Size && n != kMulti1284ShortSize) return false;
        takeOverMulti(false, record, entry);
        return true;
    case RecordFormat::RecordMulti2326:
        if (n != kMulti2326Size && n != kMulti2326MidSize && n != kMulti2326ShortSize) return false;
        takeOverMulti(true, record, entry);
        return true;
    case RecordFormat::NativeRecord: {
        const auto form = nativeFormOfReply(n + kFrameOverhead);
        if (!form) return false;
        takeOverNative(*form, n + kFrameOverhead, record, entry);
        return true;
    }
    }
    return false;
}

std::optional<std::size_t> writeFrameLength(RecordFormat format, const DeviceEntry &e)
{
    const int ports = portCount(e);
    switch (format) {
    case RecordFormat::RecordWifi362: return kWifi362Size + kFrameOverhead;
    case RecordFormat::RecordWifi292: return kWifi292Size + kFrameOverhead;
    case RecordFormat::RecordMulti1284: return (ports >= 9 ? kMulti1284Size : kMulti1284ShortSize) + kFrameOverhead;
    case RecordFormat::RecordMulti2326:
        if (ports < 9) return kMulti2326ShortSize + kFrameOverhead;
        if (ports == 16) return kMulti2326MidSize + kFrameOverhead;
        return kMulti2326Size + kFrameOverhead;
    case RecordFormat::NativeRecord: {
        const char c = e.portCountChar();
        if (c != '1' || e.native4) {
            if (c == '4' || e.native4) return 510;
            if (c == '6') return 760;
            return std::nullopt;
        }
        return e.ports[1].secondPortCloud ? 390 : 310;
    }
    }
    return std::nullopt;
}

Bytes buildRecord(RecordFormat format, const DeviceEntry &entry)
{
    const auto length = writeFrameLength(format, entry);
    if (!length) return {};
    switch (format) {
    case RecordFormat::RecordWifi362: return buildWifi362(entry);
    case RecordFormat::RecordWifi292: return buildWifi292(entry);
    case RecordFormat::RecordMulti1284: return buildMulti(false, entry, *length - kFrameOverhead);
    case RecordFormat::RecordMulti2326: return buildMulti(true, entry, *length - kFrameOverhead);
    case RecordFormat::NativeRecord: return buildNativeRecord(entry, *length);
    }
    return {};
}

Bytes buildRecordWriteFrame(RecordFormat format, const DeviceEntry &entry)
{
    const Bytes record = buildRecord(format, entry);
    if (record.empty()) return {};
    const std::uint8_t c = format == RecordFormat::NativeRecord ? code::kNativeWrite : code::kRecordWrite;
    return buildCommandFrame(kWrite, c, record, entry.macTail);
}

} // namespace pelmar

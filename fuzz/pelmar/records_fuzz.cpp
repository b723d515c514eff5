// Every record family and length: the first byte chooses one, the rest is
// the record (cut or zero-padded to that length). The entry it fills is
// then built again into a write, with whatever values the record gave it.
#include "pelmar/records/records.h"

#include <iterator>

namespace {
struct Form {
    pelmar::RecordFormat format;
    std::size_t replyLength;
};
constexpr Form kForms[] = {
    {pelmar::RecordFormat::RecordWifi362, 372},   {pelmar::RecordFormat::RecordWifi292, 302},   {pelmar::RecordFormat::RecordMulti1284, 1294},
    {pelmar::RecordFormat::RecordMulti1284, 684}, {pelmar::RecordFormat::RecordMulti2326, 2336}, {pelmar::RecordFormat::RecordMulti2326, 1582},
    {pelmar::RecordFormat::RecordMulti2326, 828}, {pelmar::RecordFormat::NativeRecord, 250},     {pelmar::RecordFormat::NativeRecord, 270},
    {pelmar::RecordFormat::NativeRecord, 310},    {pelmar::RecordFormat::NativeRecord, 390},     {pelmar::RecordFormat::NativeRecord, 470},
    {pelmar::RecordFormat::NativeRecord, 510},    {pelmar::RecordFormat::NativeRecord, 730},     {pelmar::RecordFormat::NativeRecord, 760},
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1) return 0;
    const Form &form = kForms[data[0] % std::size(kForms)];
    pelmar::Bytes record(data + 1, data + size);
    record.resize(form.replyLength - pelmar::kFrameOverhead, 0);
    pelmar::DeviceEntry entry;
    if (!pelmar::takeOverRecord(form.format, record, entry)) __builtin_trap();
    for (const auto &port : entry.ports)
        if (port.registerLength > pelmar::kRegisterDataSize) __builtin_trap();
    const pelmar::Bytes frame = pelmar::buildRecordWriteFrame(form.format, entry);
    if (!frame.empty() && frame.size() != pelmar::writeFrameLength(form.format, entry)) __builtin_trap();
    // A record of the wrong length is refused, whatever its bytes.
    record.push_back(0);
    pelmar::DeviceEntry other;
    if (pelmar::takeOverRecord(form.format, record, other)) __builtin_trap();
    return 0;
}

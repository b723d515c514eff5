// The record parser on any answer body, then the save request built from the
// record it left. The first byte chooses a serial or a CAN gateway.
#include "vorlet/record/record_parser.h"
#include "vorlet/record/save_request.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1) return 0;
    static auto record = std::make_unique<vorlet::ParameterRecord>();
    *record = vorlet::ParameterRecord{};
    record->capabilities[4] = data[0] & 1;
    vorlet::parseRecordAnswer(kyvo::ByteView(data + 1, size - 1), *record);
    const auto request = vorlet::buildSaveRequest(*record, 0);
    if (request.size() < 14) __builtin_trap();
    return 0;
}

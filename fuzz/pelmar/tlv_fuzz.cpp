// A sub-dialog's reply: the check in its order, the header, and the walk
// over the body and the nested port items.
#include "pelmar/link/tlv_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const kyvo::ByteView frame(data, size);
    const pelmar::TlvCheck check = pelmar::checkTlvReply(frame);
    const auto view = pelmar::parseTlvFrame(frame);
    if (bool(view) != (check == pelmar::TlvCheck::Ok)) __builtin_trap();
    std::size_t seen = 0;
    pelmar::walkTlvBody(frame, [&](const pelmar::TlvEntry &e) {
        // Every value lies inside the frame, before its MAC.
        if (e.value.data() < data + 6 || e.value.data() + e.value.size() > data + size - 8) __builtin_trap();
        seen += e.value.size();
    });
    if (seen > size) __builtin_trap();
    return 0;
}

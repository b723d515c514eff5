// Short-frame item replies: the input's first 20 bytes become bytes 3..22
// of a 26-byte reply with a valid header, tail and checksum, so every reply
// code reaches its handler for a device in the table (or an unknown one).
#include "pelmar/records/short_items.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static auto table = std::make_unique<pelmar::DeviceTable>();
    table->clearForSearch();
    pelmar::Bytes frame(pelmar::kShortFrameSize, 0);
    frame[0] = 'H';
    frame[1] = ':';
    frame[2] = 'R';
    for (std::size_t i = 0; i < 20 && i < size; ++i) frame[3 + i] = data[i];
    frame[23] = pelmar::frameChecksum(kyvo::ByteView(frame).first(23));
    frame[24] = 'E';
    frame[25] = '.';
    if (size > 20 && (data[20] & 1)) table->registerReply("10.0.0.2", 1111, pelmar::frameMacTail(frame));
    if (size > 21) table->at(0).hardwareVersion.set(std::string(1, 'V') + char(data[21]));
    pelmar::takeOverItem(*table, frame);
    // The same bytes with a broken checksum change nothing.
    frame[23] ^= 0xFF;
    if (pelmar::takeOverItem(*table, frame).kind != pelmar::ItemOutcome::Kind::Ignored) __builtin_trap();
    return 0;
}

// Fills a parameter record from the TLV items of a gateway's answer.
#pragma once

#include "vorlet/record/parameter_record.h"
#include "vorlet/record/tlv.h"

#include <optional>
#include <string>

namespace vorlet {

// What an answer carried besides record fields, for the window to act on.
struct ParseEvents {
    bool clockUpdated = false;            // item 0xB0: refresh the clock line
    bool liveIoUpdated = false;           // item 0x90
    std::optional<std::string> selfTest;  // item 0x8F: the message box text
    std::optional<Bytes> pingAnswer;      // item 0xB5 (may be empty)
    int items = 0;                        // items walked
};

// body: the device message from byte 4 on (2-byte body length B, then the
// items). The walk stops at B or at the end of the bytes, whichever comes
// first. Items whose length breaks their rule change nothing.
ParseEvents parseRecordAnswer(ByteView lengthAndBody, ParameterRecord &record);

// The sub-item loops of items 0x40 and 0x41 (value: index, then sub-items).
void parseSerialBlock(ByteView value, ParameterRecord &record);
void parseChannelBlock(ByteView value, ParameterRecord &record);

// The self-test message of item 0x8F: "ok(n) ng(n) ..." for eight results.
std::string selfTestText(ByteView value);

} // namespace vorlet

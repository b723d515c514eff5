// The TLV settings a long-record serial server keeps for the sub-dialogs
// (MQTT, MODBUS cache, heartbeat packets): a value per type for the device
// and for each port, with factory values.
#pragma once

#include "common/bytes.h"

#include <array>
#include <map>

namespace devsim {

class TlvStore
{
public:
    static constexpr int kPorts = 24;
    TlvStore();

    // The answer body to a read body (code 0x03): each asked type the device
    // holds, device items first as asked, port items in their port TLV.
    kyvo::Bytes answerRead(kyvo::ByteView request) const;
    // Stores the TLVs of a save body (after its leading 0x01); false when it
    // does not parse.
    bool save(kyvo::ByteView items);
    // Whether a debug-run body (after its leading 0x00) asks a port to run.
    static bool asksDebugRun(kyvo::ByteView items);

    const kyvo::Bytes *value(int port, std::uint8_t type) const; // port -1: the device's
    void set(int port, std::uint8_t type, kyvo::ByteView value);

private:
    std::map<std::uint8_t, kyvo::Bytes> m_device;
    std::array<std::map<std::uint8_t, kyvo::Bytes>, kPorts> m_ports;
};

} // namespace devsim

// Helpers for the save tests: entries of each family, and a recorder that
// runs a save session on a manual clock and keeps what it asked for.
#pragma once

#include "pelmar/ui/save_session.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace savetest {

using namespace pelmar;

inline constexpr MacTail kTail{0x4D, 0x01, 0x09};

// A short-frame server with the hardware text given (its second character
// is the port-count character) and 10-character hosts on every port.
inline DeviceEntry shortFrameEntry(const char *hardware = "S410")
{
    DeviceEntry e;
    e.present = true;
    e.macTail = kTail;
    e.hardwareVersion.set(hardware);
    e.firmwareVersion.set("V043");
    e.ip = {10, 77, 1, 9};
    e.mask = {255, 255, 0, 0};
    e.gateway = {10, 77, 0, 254};
    e.dns = {10, 77, 0, 53};
    e.mac = {0x00, 0x4B, 0x5A, 0x4D, 0x01, 0x09};
    e.ipMode = 2;
    e.broadcastFilterOff = 1;
    e.user.set("admin");
    e.password.set("secret");
    for (std::size_t k = 0; k < kMaxPorts; ++k) {
        PortSettings &p = e.ports[k];
        p.baudIndex = 11;
        p.parity = 1;
        p.dataBits = 8;
        p.stopBits = 1;
        p.workMode = 2;
        p.itemExtra = {0, std::uint8_t(k + 1), 0, 0};
        p.targetPort = std::uint16_t(8001 + k);
        p.localPort = std::uint16_t(4001 + k);
        p.enable = 2;
        p.modbusTcpToRtu = 1;
        p.serialType = 2;
        p.targetHost.set("10.77.0." + std::to_string(10 + k)); // 10 characters
        p.heartbeatData.set("HB-P" + std::to_string(k + 1));
        p.heartbeatInterval = std::uint16_t(30 + k);
        p.packTime = std::uint8_t(10 + k);
        p.packLength = std::uint16_t(500 + k);
        p.timeout = std::uint16_t(100 + k);
    }
    return e;
}

struct Sent
{
    long long atMs; // since the save started
    Bytes datagram;
    std::string destination;
    std::uint16_t port;
    std::uint8_t code() const { return datagram.size() > 3 ? datagram[3] : 0; }
};

class Recorder : public SaveEffects
{
public:
    Recorder() : session(*this) {}

    void sendDatagram(const Bytes &d, const std::string &destination, std::uint16_t port) override
    {
        sent.push_back({(clock.now() - start).count(), d, destination, port});
    }
    void setSaveButton(SaveButton b, bool enabled) override
    {
        buttons.push_back({b, enabled, (clock.now() - start).count()});
    }
    void invalidHost(std::size_t port) override { invalid.push_back({port, (clock.now() - start).count()}); }

    // Runs every deadline in turn until nothing is left, or until limitMs.
    void runAll(long long limitMs = 100000)
    {
        while (const auto next = session.nextDeadline()) {
            if ((*next - start).count() > limitMs) break;
            if (*next > clock.now()) clock.set(*next);
            session.run(clock.now());
        }
    }
    void advance(int ms)
    {
        clock.advance(Millis{ms});
        session.run(clock.now());
    }

    std::vector<std::uint8_t> codes() const
    {
        std::vector<std::uint8_t> c;
        for (const Sent &s : sent)
            c.push_back(s.code());
        return c;
    }
    std::vector<long long> times() const
    {
        std::vector<long long> t;
        for (const Sent &s : sent)
            t.push_back(s.atMs);
        return t;
    }

    kyvo::ManualClock clock;
    Millis start = clock.now();
    SaveSession session;
    std::vector<Sent> sent;
    struct Button
    {
        SaveButton button;
        bool enabled;
        long long atMs;
    };
    std::vector<Button> buttons;
    std::vector<std::pair<std::size_t, long long>> invalid;
    SaveSession::Target to{"255.255.255.255", 5005};
};

// Bytes 4..19 of a 26-byte frame.
inline std::string itemHex(const Bytes &frame)
{
    return testsupport::toHex(kyvo::ByteView(frame).subspan(4, 16));
}

} // namespace savetest

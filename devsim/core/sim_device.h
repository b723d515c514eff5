// What every simulated device offers the simulated network.
#pragma once

#include "common/bytes.h"
#include "common/ipv4.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <random>

namespace devsim {

using kyvo::Bytes;
using kyvo::ByteView;
using Mac = std::array<std::uint8_t, 6>;

QString macText(const Mac &mac);                   // "00-11-22-33-44-55"
std::optional<Mac> parseMac(const QString &text);  // '-' or ':' separators, any case

// Fault knobs: how a device misbehaves on purpose, so that tests reach every
// time-out and failure path of the tools.
struct Knobs {
    bool silent = false;         // answers nothing
    int delayMs = 0;             // before each answer
    int jitterMs = 0;            // a random extra delay 0..jitterMs per answer
    int fragmentGapMs = 0;       // between the datagrams of one answer
    double dropRate = 0;         // each outgoing datagram lost with this chance
    int dropEvery = 0;           // every n-th outgoing datagram lost (0 off)
    double duplicateRate = 0;    // each outgoing datagram sent twice with this chance
    double corruptRate = 0;      // one byte of an outgoing datagram flipped with this chance
    bool answerBroadcast = false;// answers go to 255.255.255.255 (inside the lab only)
    bool refuse = false;         // writes are refused where the protocol has a refusal
    // Knobs of one family (for example a serial server's 4-byte ACK) by name.
    std::map<QString, int> extra;

    // name=value from the control channel or the command line; false for an unknown name.
    bool set(const QString &name, const QString &value);
};

struct Incoming {
    ByteView data;
    kyvo::Ipv4Endpoint from;
    std::uint16_t localPort = 0; // the simulated device's port it arrived on
    bool broadcast = false;      // sent to every device rather than to this one
};

// The device's way of answering: datagrams leave through the simulated wire.
class Outbox
{
public:
    virtual ~Outbox() = default;
    // to: the peer; fromPort: the device's port the datagram leaves from.
    virtual void send(Bytes datagram, kyvo::Ipv4Endpoint to, std::uint16_t fromPort, int afterMs = 0) = 0;
};

// Debug output switched on by the PC: the device sends text lines to it
// (devsim/core/debug_stream.h) until it is switched off.
struct DebugOutput
{
    bool on = false;
    std::uint32_t to = 0; // the PC that switched it on
    unsigned long long sent = 0;
};

class SimDevice
{
public:
    virtual ~SimDevice() = default;
    virtual QString kind() const = 0;      // "gateway", "server-short", ...
    virtual std::uint32_t address() const = 0;
    virtual Mac mac() const = 0;
    virtual std::vector<std::uint16_t> ports() const = 0; // the UDP ports it listens on
    virtual void receive(const Incoming &in, Outbox &out) = 0;
    // Control channel: named values of the device's state ("get"), and
    // counters of what it was asked to do.
    virtual std::optional<QByteArray> query(const QString &path) const = 0;
    virtual bool assign(const QString &path, const QByteArray &value) = 0;
    // The n-th line of debug output (n from 0); devices without one send nothing.
    virtual Bytes debugLine(unsigned long long n) const
    {
        (void)n;
        return {};
    }
    std::map<QString, long long> counters;
    // Where the last datagram came from: which of the PC's adapters reached it.
    kyvo::Ipv4Endpoint lastSender;
    Knobs knobs;
    DebugOutput debug;
};

} // namespace devsim

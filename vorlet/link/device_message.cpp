// Device message envelope.
#include "vorlet/link/device_message.h"

#include <algorithm>

namespace vorlet {

Bytes buildDeviceMessage(std::uint8_t scope, std::uint8_t code, ByteView body, const Mac &mac)
{
    Bytes message;
    message.reserve(body.size() + kEnvelopeOverhead);
    message.push_back(0xBA);
    message.push_back(0x3A);
    message.push_back(scope);
    message.push_back(code);
    kyvo::putBe16(message, std::uint16_t(body.size()));
    kyvo::putBytes(message, body);
    message.insert(message.end(), mac.begin(), mac.end());
    message.push_back('E');
    message.push_back('.');
    return message;
}

std::optional<DeviceMessageView> checkEnvelope(ByteView message)
{
    const std::size_t length = message.size();
    if (length < kEnvelopeOverhead) return std::nullopt;
    if (message[0] != 0xBA || message[1] != 0x3A || message[length - 2] != 'E' || message[length - 1] != '.')
        return std::nullopt;
    DeviceMessageView view;
    view.scope = message[2];
    view.code = message[3];
    view.lengthAndBody = message.subspan(4, length - 12);
    std::copy_n(message.end() - 8, 6, view.mac.begin());
    return view;
}

kyvo::Inbound MessageSorter::sort(ByteView message)
{
    const auto envelope = checkEnvelope(message);
    if (!envelope) return kyvo::Inbound::Junk;
    std::uint64_t device = 0;
    for (const std::uint8_t b : envelope->mac)
        device = device << 8 | b;
    switch (envelope->code) {
    case command::kSearch | command::kAnswer:
        if (m_searchAnswered.size() < kRememberedDevices) m_searchAnswered.insert(device);
        return kyvo::Inbound::Answer;
    case command::kQuery | command::kAnswer:
        return m_searchAnswered.count(device) ? kyvo::Inbound::Answer : kyvo::Inbound::Other;
    case command::kWrite | command::kAnswer:
    case command::kFactoryReset | command::kAnswer:
    case command::kRestart | command::kAnswer:
        return kyvo::Inbound::Other;
    default:
        return kyvo::Inbound::Junk;
    }
}

} // namespace vorlet

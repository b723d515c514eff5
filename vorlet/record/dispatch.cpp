// Dispatch of device messages by command code.
#include "vorlet/record/dispatch.h"

namespace vorlet {

namespace {
ByteView bodyOf(const DeviceMessageView &m)
{
    if (m.lengthAndBody.size() < 2) return {};
    const std::size_t declared = kyvo::readBe16(m.lengthAndBody.data());
    return m.lengthAndBody.subspan(2, std::min(declared, m.lengthAndBody.size() - 2));
}
} // namespace

DispatchResult dispatchMessage(DeviceList &devices, std::uint32_t sender, ByteView message)
{
    DispatchResult result;
    const auto envelope = checkEnvelope(message);
    if (!envelope) return result;
    result.code = envelope->code;
    result.mac = envelope->mac;
    switch (envelope->code) {
    case command::kSearch | command::kAnswer: {
        std::size_t index = devices.findByMac(envelope->mac);
        result.kind = DispatchResult::Kind::DeviceUpdated;
        if (index == devices.count()) {
            const auto added = devices.add(envelope->mac, sender);
            if (!added) {
                result.kind = DispatchResult::Kind::ListFull;
                return result;
            }
            index = *added;
            result.kind = DispatchResult::Kind::DeviceAdded;
        }
        result.index = index;
        result.events = parseRecordAnswer(envelope->lengthAndBody, devices.at(index));
        return result;
    }
    case command::kQuery | command::kAnswer: {
        const std::size_t index = devices.findByMac(envelope->mac);
        if (index == devices.count()) return result; // not a device of this search
        result.kind = DispatchResult::Kind::QueryAnswer;
        result.index = index;
        result.events = parseRecordAnswer(envelope->lengthAndBody, devices.at(index));
        return result;
    }
    case command::kWrite | command::kAnswer:
    case command::kFactoryReset | command::kAnswer:
    case command::kRestart | command::kAnswer:
        result.kind = DispatchResult::Kind::CommandResult;
        result.index = devices.findByMac(envelope->mac);
        result.body = bodyOf(*envelope);
        return result;
    default:
        return result;
    }
}

} // namespace vorlet

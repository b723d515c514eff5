// A CAN gateway's settings item: written by the configurator, counted by the device.
#include "devsim/gateway/gateway_can.h"

namespace devsim {

namespace {
constexpr std::size_t kSettingsTail = 19; // bit rate, brp, seven flags, extended flag, code, mask
constexpr std::size_t kCountersSize = 13; // received, sent, filtered, bus state
} // namespace

Bytes keptCanItem(const Bytes &current, ByteView written)
{
    if (written.size() < 2) return current;
    std::size_t size = 2 + std::size_t(written[0]) * written[1];
    if (written.size() < size + 2) return current;
    size += 2 + std::size_t(written[size]) * written[size + 1];
    size += kSettingsTail;
    if (written.size() < size) return current;
    Bytes kept(written.begin(), written.begin() + std::ptrdiff_t(size));
    if (current.size() >= kCountersSize)
        kept.insert(kept.end(), current.end() - kCountersSize, current.end());
    else
        kept.resize(size + kCountersSize, 0);
    return kept;
}

} // namespace devsim

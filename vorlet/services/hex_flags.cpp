// Shared packet hex flags.
#include "vorlet/services/hex_flags.h"

namespace vorlet {

PacketHexFlags::PacketHexFlags(SearchSettings *settings, QObject *parent)
    : QObject(parent), m_bound(settings), m_settings(settings ? settings : &m_own)
{}

void PacketHexFlags::store(bool registrationHex, bool heartbeatHex)
{
    m_settings->regHex = registrationHex ? 1 : 0;
    m_settings->hbHex = heartbeatHex ? 1 : 0;
    Q_EMIT changed();
}

void PacketHexFlags::storeRegistrationHex(bool on)
{
    m_settings->regHex = on ? 1 : 0;
    Q_EMIT changed();
}

} // namespace vorlet

// The refresh of the current values.
#include "vorlet/io/poll/value_refresh.h"

#include "vorlet/io/poll/poll_table.h"

namespace vorlet::poll {

std::optional<std::vector<std::string>> ValueRefresh::run(kyvo::Millis now, kyvo::ByteView buffer)
{
    if (!m_next || now < *m_next) return std::nullopt;
    while (*m_next <= now)
        *m_next += kPeriod;
    if (buffer.empty() || buffer[0] == 0) return std::nullopt;
    stop();
    return valuePieces(buffer);
}

} // namespace vorlet::poll

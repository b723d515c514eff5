// "刷新当前值" over time: after the query, every 500 ms a look at the record's
// current-value buffer until the device's answer has filled it.
#pragma once

#include "common/bytes.h"
#include "common/clock.h"

#include <optional>
#include <string>
#include <vector>

namespace vorlet::poll {

class ValueRefresh
{
public:
    static constexpr kyvo::Millis kPeriod{500};

    // States: idle, or looking every kPeriod from the query on.
    void start(kyvo::Millis now) { m_next = now + kPeriod; }
    void stop() { m_next.reset(); }
    bool running() const { return m_next.has_value(); }
    std::optional<kyvo::Millis> nextDeadline() const { return m_next; }

    // At or after the deadline: the values to show once the buffer holds an
    // answer (the looking stops then); nothing while it is still empty, so
    // the values shown stay as they were.
    std::optional<std::vector<std::string>> run(kyvo::Millis now, kyvo::ByteView buffer);

private:
    std::optional<kyvo::Millis> m_next;
};

} // namespace vorlet::poll

// vorlet-cli poll show|apply: a gateway's Modbus polling table as text or
// JSON, and a table in the text form saved to a gateway.
#pragma once

#include "cli/cli_common.h"
#include "vorlet/core/gateway_core.h"

#include <functional>

namespace vorlet {

inline constexpr char kPollCommandHelp[] =
    "  poll show --mac MAC [--json]     print a gateway's polling table, one entry per line\n"
    "  poll apply --mac MAC FILE        save the table written in FILE (the lines poll show prints)\n";

// What the poll command takes from the rest of the tool.
struct PollCommandHooks
{
    std::function<bool()> search;                     // as every device command searches
    std::function<int(ParameterRecord &record)> save; // the save, to its exit status
    std::function<int(const QString &reason)> usage;  // a usage error, exit status 2
    bool utf8Names = false;                           // the settings' "utf8": how names are stored
};

int runPollCommand(const cli::Arguments &args, GatewayCore &core, const PollCommandHooks &hooks);

} // namespace vorlet

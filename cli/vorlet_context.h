// What vorlet-cli's commands share: the parsed options, the search every
// device command starts with, and the texts through the language tables.
#pragma once

#include "cli/cli_batch.h"
#include "cli/cli_common.h"
#include "vorlet/core/gateway_core.h"
#include "vorlet/lang/language.h"
#include "vorlet/link/search_ranges.h"
#include "vorlet/ui/gateway_batch.h"

#include <functional>
#include <vector>

namespace vorlet::cli_tool {

struct Context
{
    cli::Arguments args;
    Language language;
    std::vector<SearchRange> ranges;
    int waitMs = 3000;
    std::uint16_t port = kDevicePort;
};

// Searches the way "search" does; false when the endpoint does not open.
bool search(GatewayCore &core, const Context &c);
// What a command's own sockets bind to: --adapter, or with --adapter all the
// address of the adapter the gateway answered on.
QString adapterFor(const GatewayCore &core, const Context &c, const ParameterRecord &record);

// A command that acts on one gateway: check() looks at the options before
// anything is sent (kOk, or the exit status of a usage error); run() acts on
// the gateway the search found.
struct DeviceCommand
{
    const char *name;
    std::function<int(const Context &c)> check;
    std::function<int(GatewayCore &core, const Context &c, ParameterRecord &record)> run;
};

// The maintenance commands, each in a file of its own.
DeviceCommand infoCommand();
DeviceCommand backupCommand();
DeviceCommand customDefaultsCommand();
DeviceCommand wifiScanCommand();
DeviceCommand tlsCommand();

// Usage error with the tool's help.
int usageError(const QString &reason);
// The answers of the pending-operation slot reach a runner that keeps the
// write acknowledgement; true when it came within the limit.
bool waitForAcknowledgement(GatewayCore &core, const Bytes &message, ParameterRecord &record, int limitMs);

// Searches, then runs the operation on every gateway the selection names
// (exit status as cli::runBatch; 3 when a named gateway did not answer).
int runBatchCommand(GatewayCore &core, const Context &c, const cli::BatchSelection &selection,
                    GatewayBatch::Operation operation, GatewayBatch::Options options);

} // namespace vorlet::cli_tool

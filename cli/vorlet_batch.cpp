// vorlet-cli's device commands on many gateways at once: the gateways the
// selection names among those that answered, one operation each, N at a time.
#include "cli/cli_batch.h"
#include "cli/vorlet_context.h"

#include "common/ipv4.h"
#include "vorlet/record/device_list.h"
#include "vorlet/ui/record_texts.h"

namespace vorlet::cli_tool {

namespace {

std::vector<cli::BatchCandidate> candidates(const DeviceList &list)
{
    std::vector<cli::BatchCandidate> all;
    all.reserve(list.count());
    for (std::size_t i = 0; i < list.count(); ++i) {
        const ParameterRecord &r = list.at(i);
        all.push_back({QString::fromStdString(kyvo::ipv4Text(seenAddress(r))), cli::macText(r.mac),
                       gbkFieldText(r.model), gbkFieldText(r.versionText)});
    }
    return all;
}

} // namespace

int runBatchCommand(GatewayCore &core, const Context &c, const cli::BatchSelection &selection,
                    GatewayBatch::Operation operation, GatewayBatch::Options options)
{
    if (!search(core, c)) return cli::kFailed;
    const std::vector<cli::BatchCandidate> found = candidates(core.devices());
    const cli::BatchChoice choice = cli::chooseDevices(selection, found);
    // As for one gateway: nothing is sent unless every named one answered.
    for (const QString &mac : choice.missingMacs)
        cli::err(QStringLiteral("vorlet-cli: no gateway %1 answered").arg(mac));
    if (!choice.missingMacs.isEmpty()) return cli::kNotFound;
    if (choice.indexes.empty()) {
        cli::err(QStringLiteral("vorlet-cli: no gateway that answered matches the selection"));
        return cli::kNotFound;
    }
    options.parallel = std::size_t(selection.parallel);
    options.language = &c.language;
    options.localAddress = c.args.value(QStringLiteral("adapter"));
    GatewayBatch batch(core, operation, choice.indexes, std::move(options));
    std::vector<cli::BatchCandidate> rows;
    for (const std::size_t index : choice.indexes)
        rows.push_back(found[index]);
    return cli::runBatch(rows, GatewayBatch::operationName(operation, &c.language), selection,
                         [&](std::size_t row, kyvo::BatchRunner &runner) { batch.startRow(row, runner); });
}

} // namespace vorlet::cli_tool

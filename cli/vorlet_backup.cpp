// vorlet-cli backup: the gateway's parameter image into a file.
#include "cli/vorlet_context.h"

#include "vorlet/maintenance/image_receiver.h"
#include "vorlet/maintenance/maintenance_messages.h"
#include "vorlet/ui/device_commands.h"
#include "vorlet/ui/record_texts.h"

namespace vorlet::cli_tool {

namespace {

std::uint16_t imagePort(const Context &c)
{
    const QString text = c.args.value(QStringLiteral("image-port"));
    return text.isEmpty() ? kImagePort : cli::parsePort(text).value_or(0);
}

int check(const Context &c)
{
    if (c.args.words.size() != 1) return usageError(QStringLiteral("vorlet-cli: backup needs one FILE"));
    if (!imagePort(c)) return usageError(QStringLiteral("vorlet-cli: bad --image-port"));
    return cli::kOk;
}

int run(GatewayCore &core, const Context &c, ParameterRecord &r)
{
    kyvo::SteadyClock clock;
    ImageReceiver receiver(clock);
    const QString adapter = adapterFor(core, c, r);
    if (!receiver.open(imagePort(c), adapter.isEmpty() ? QHostAddress() : QHostAddress(adapter),
                       QHostAddress(addressText(r.seenAddress)))) {
        cli::err(QStringLiteral("socket bind error"));
        return cli::kFailed;
    }
    receiver.start();
    core.sendToDevice(itemQueryMessage(core.scope(), recordMac(r.mac), item::kImage), r);
    cli::waitUntil([&] { return receiver.run(); }, 24 * 3600 * 1000);
    const ImageCollector &image = receiver.collected();
    const QString path = c.args.words.first();
    if (image.blocksDropped())
        cli::err(QStringLiteral("%1 blocks numbered above 63 dropped").arg(image.blocksDropped()));
    switch (writeBackup(path, image)) {
    case BackupWrite::Written:
        cli::out(QStringLiteral("%1: %2 blocks (%3 bytes)")
                     .arg(path)
                     .arg(image.blocksKept())
                     .arg(image.image().size()));
        return cli::kOk;
    case BackupWrite::NothingReceived:
        cli::err(QStringLiteral("vorlet-cli: no parameter data arrived; %1 is left as it was").arg(path));
        return cli::kFailed;
    case BackupWrite::CannotWrite:
        break;
    }
    cli::err(QStringLiteral("vorlet-cli: cannot write %1").arg(path));
    return cli::kFailed;
}

} // namespace

DeviceCommand backupCommand()
{
    return {"backup", check, run};
}

} // namespace vorlet::cli_tool

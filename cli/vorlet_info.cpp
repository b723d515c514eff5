// vorlet-cli info: the device-information report of a gateway, and its
// information text when it answers the query for it.
#include "cli/vorlet_context.h"

#include "vorlet/maintenance/maintenance_messages.h"
#include "vorlet/ui/device_commands.h"
#include "vorlet/ui/record_texts.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace vorlet::cli_tool {

namespace {

constexpr int kInfoWaitMs = 3000;
constexpr int kInfoDialog = 133; // the name caption is the dialog's

int run(GatewayCore &core, const Context &c, ParameterRecord &r)
{
    if (!resetReasonName(r.resetReason)) r.resetReason = 0;
    const DeviceInfoLines lines = deviceInfoLines(r);
    r.infoText[0] = 0;
    bool answered = false;
    QObject::connect(&core, &GatewayCore::queryAnswered, [&](int) { answered = r.infoText[0] != 0; });
    core.sendToDevice(itemQueryMessage(core.scope(), recordMac(r.mac), item::kInfoText), r);
    cli::waitUntil([&] { return answered; }, kInfoWaitMs);
    const QString info = gbkFieldText(r.infoText);
    const auto q = [](const std::string &s) { return QString::fromStdString(s); };
    if (c.args.has(QStringLiteral("json"))) {
        const QJsonObject report{{QStringLiteral("mac"), cli::macText(r.mac)},
                                 {QStringLiteral("name"), gbkFieldText(r.deviceName)},
                                 {QStringLiteral("uptime"), q(lines.uptime).trimmed()},
                                 {QStringLiteral("memory"), q(lines.memory)},
                                 {QStringLiteral("identity"), q(identityDigits(r))},
                                 {QStringLiteral("partition"), q(lines.partition)},
                                 {QStringLiteral("link"), q(lines.link)},
                                 {QStringLiteral("counters"), q(lines.counters)},
                                 {QStringLiteral("info"), info}};
        cli::out(QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Indented)).trimmed());
    } else {
        for (const std::string *line :
             {&lines.uptime, &lines.memory, &lines.identity, &lines.partition, &lines.link, &lines.counters})
            cli::out(q(*line).trimmed());
        cli::out(c.language.translate(kInfoDialog, "设备名称") + QStringLiteral(": ") +
                 gbkFieldText(r.deviceName));
        if (!info.isEmpty()) cli::out(info.trimmed());
    }
    return cli::kOk;
}

} // namespace

DeviceCommand infoCommand()
{
    return {"info", [](const Context &) { return int(cli::kOk); }, run};
}

} // namespace vorlet::cli_tool

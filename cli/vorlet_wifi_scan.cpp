// vorlet-cli wifi-scan: the access points the gateway sees.
#include "cli/vorlet_context.h"

#include "common/fixed_field.h"
#include "vorlet/maintenance/maintenance_messages.h"
#include "vorlet/maintenance/maintenance_timers.h"
#include "vorlet/ui/device_commands.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

namespace vorlet::cli_tool {

namespace {

constexpr int kScanDialog = 134; // the column titles are the dialog's

int run(GatewayCore &core, const Context &c, ParameterRecord &r)
{
    std::memset(r.wifiExtension, 0, sizeof r.wifiExtension);
    core.sendToDevice(itemQueryMessage(core.scope(), recordMac(r.mac), item::kScanResult), r);
    cli::waitUntil([&] { return kyvo::fieldTextLength(r.wifiExtension) != 0; }, int(kScanLimit.count()));
    if (kyvo::fieldTextLength(r.wifiExtension) == 0) {
        cli::err(QStringLiteral("vorlet-cli: the gateway did not answer the scan"));
        return cli::kFailed;
    }
    const std::vector<ScanRow> rows = parseScanResult(kyvo::fieldText(r.wifiExtension));
    const auto q = [](const std::string &s) { return QString::fromStdString(s); };
    if (c.args.has(QStringLiteral("json"))) {
        QJsonArray list;
        for (const ScanRow &row : rows)
            list.append(QJsonObject{{QStringLiteral("ssid"), q(row.ssid)},
                                    {QStringLiteral("mac"), q(row.mac)},
                                    {QStringLiteral("signal"), q(row.signal)},
                                    {QStringLiteral("auth"), q(row.authentication)}});
        cli::out(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)).trimmed());
        return cli::kOk;
    }
    const auto t = [&c](const char *chinese) { return c.language.translate(kScanDialog, chinese); };
    cli::out(QStringList{QStringLiteral("SN"), t("名称"), QStringLiteral("MAC"), t("信号"), t("加密")}.join(
        QLatin1Char('\t')));
    for (std::size_t i = 0; i < rows.size(); ++i)
        cli::out(QStringList{QString::number(i + 1), q(rows[i].ssid), q(rows[i].mac), q(rows[i].signal),
                             q(rows[i].authentication)}
                     .join(QLatin1Char('\t')));
    return cli::kOk;
}

} // namespace

DeviceCommand wifiScanCommand()
{
    return {"wifi-scan", [](const Context &) { return int(cli::kOk); }, run};
}

} // namespace vorlet::cli_tool

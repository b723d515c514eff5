// vorlet-cli: the gateway tool's core for scripts: search, export, quick set,
// restart, the factory resets, the firmware upgrade, the polling table and
// the maintenance commands (each in a file of its own).
#include "kyvo_version.h"
#include "cli/cli_common.h"
#include "cli/vorlet_context.h"
#include "cli/vorlet_monitor.h"
#include "cli/vorlet_poll_command.h"

#include "common/gbk_text.h"
#include "common/ipv4.h"
#include "common/profile_file.h"
#include "vorlet/core/config_export.h"
#include "vorlet/core/gateway_core.h"
#include "vorlet/core/inventory_rows.h"
#include "vorlet/lang/language.h"
#include "vorlet/link/search_settings.h"
#include "vorlet/maintenance/fota_runner.h"
#include "vorlet/record/config_file.h"
#include "vorlet/ui/check_texts.h"
#include "vorlet/ui/command_runner.h"
#include "vorlet/ui/device_commands.h"
#include "vorlet/ui/device_operation.h"
#include "vorlet/ui/record_texts.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <variant>

using namespace vorlet;
using vorlet::cli_tool::Context;

namespace {

const char *const kHelp =
    "usage: vorlet-cli COMMAND [options]\n"
    "  search [--csv|--inventory-json]  list the gateways that answer; --csv or --inventory-json: as an\n"
    "                                   inventory (address, MAC, model, firmware, name, adapter) in CSV\n"
    "                                   or as a JSON array, in UTF-8\n"
    "  export --mac MAC --out FILE.cfg  write a gateway's parameter record to a file\n"
    "  quickset --mac MAC --in FILE.cfg [--partial]\n"
    "                                   apply a file to a gateway (its own MAC is kept) and save; a file\n"
    "                                   that is not one whole record (69848 bytes) only with --partial\n"
    "  restart|reset|deep-reset --mac MAC\n"
    "  upgrade --mac MAC --file F.bin [--factory]\n"
    "  quickset, restart, reset, deep-reset and upgrade on many gateways at once: --mac more than once,\n"
    "                                   or --all (every gateway that answered), narrowed by --model "
    "PATTERN,\n"
    "                                   --version PATTERN (* and ?) or --subnet A.B.C.D/N; --parallel N at\n"
    "                                   a time (1-256, default 8); a line per gateway as it finishes (with\n"
    "                                   --json a JSON object), then a summary\n"
    "  info --mac MAC [--json]          the device-information report\n"
    "  backup --mac MAC FILE [--image-port N]  the parameter image into FILE\n"
    "  custom-defaults save|clear --mac MAC\n"
    "  wifi-scan --mac MAC [--json]     the access points the gateway sees\n"
    "  tls upload --mac MAC --ca F [--cert F --key F] [--allow-broadcast]\n"
    "%1"
    "  monitor [--port P] [--log-dir D --log-mode one|hour|day] [--device ADDR] [--channel NAME]...\n"
    "                                   print the gateways' debug output (UDP P, default 1112) as log\n"
    "                                   lines and write the log files, until interrupted; NAME is uart,\n"
    "                                   tcpA, tcpB, modbus-cache, modbus-poll, io or other\n"
    "options for every command:\n"
    "  --adapter ADDR    search on the adapter with this IPv4 address; all: on every adapter at once,\n"
    "                    each gateway then reached through the adapter it answered on\n"
    "  --range A-B       search across routers over this address range (repeatable)\n"
    "  --wait MS         how long a local search listens for answers (default 3000)\n"
    "  --port N          the gateways' UDP port (default 1111)\n"
    "  --json            search, poll show, info, wifi-scan and batch output as JSON\n"
    "  --lang en         texts in English (default Chinese)\n"
    "  --help, --version this help; the program's version\n"
    "exit status: 0 done, 1 the device (in a batch: any device) refused or did not answer, the adapter "
    "cannot be bound, more\n"
    "gateways answered than the list of 512 holds, or answers were dropped in a flood; 2 bad usage, also a "
    "file that cannot be used (nothing\n"
    "is sent then); 3 device not found (in a batch: a named one did not answer, or none answered or\n"
    "matched)";

// The help with the polling table's lines.
QString helpText()
{
    return QString::fromUtf8(kHelp).arg(QString::fromUtf8(kPollCommandHelp));
}

QString text102(const Context &c, const char *chinese)
{
    return c.language.translate(kMainWindowDialog, chinese);
}

void reportQueueDrops(GatewayCore &core)
{
    cli::reportQueueDrops("vorlet-cli", core.answerDrops(), core.queueDrops());
}

} // namespace

namespace vorlet::cli_tool {

namespace {

// The adapter's endpoint, or with "all" one per adapter; false when one
// cannot be bound.
bool openEndpoints(GatewayCore &core, const QString &adapter)
{
    if (cli::isAllAdapters(adapter))
        core.openAllAdapters(kyvo::allSearchAdapters());
    else
        core.openAdapter(adapter);
    int opened = 0;
    QStringList failed;
    QObject guard;
    for (int i = 0; i < core.endpointCount(); ++i) {
        QObject::connect(&core.endpointAt(i), &GatewayEndpoint::opened, &guard, [&] { ++opened; });
        QObject::connect(&core.endpointAt(i), &GatewayEndpoint::bindFailed, &guard,
                         [&](const QString &address) { failed << address; });
    }
    cli::waitUntil([&] { return opened == core.endpointCount(); }, 5000);
    // The endpoint falls back to every address, as the window wants; a
    // script that named an adapter searches on that one or not at all.
    for (const QString &address : failed)
        cli::err(cli::cannotBindText(QStringLiteral("vorlet-cli"), address, 0));
    return opened == core.endpointCount() && failed.isEmpty();
}

} // namespace

bool search(GatewayCore &core, const Context &c)
{
    if (!openEndpoints(core, c.args.value(QStringLiteral("adapter")))) return false;
    QObject guard;
    if (c.ranges.empty()) {
        bool sent = false;
        QObject::connect(&core, &GatewayCore::searchSent, &guard, [&] { sent = true; });
        core.startLocalSearch();
        cli::waitUntil([&] { return sent; }, 5000);
        cli::waitUntil([] { return false; }, c.waitMs);
        core.deliverAnswers(); // those that came in time, ahead of a flood's backlog
        reportQueueDrops(core);
        return true;
    }
    core.setScope(1);
    bool finished = false;
    QObject::connect(&core, &GatewayCore::sweepFinished, &guard, [&] { finished = true; });
    core.startCrossRouterSearch(c.ranges);
    cli::waitUntil([&] { return finished; }, 24 * 3600 * 1000);
    cli::waitUntil([] { return false; }, 1000); // the last answers
    core.deliverAnswers();
    reportQueueDrops(core);
    return true;
}

QString adapterFor(const GatewayCore &core, const Context &c, const ParameterRecord &record)
{
    const QString adapter = c.args.value(QStringLiteral("adapter"));
    if (!cli::isAllAdapters(adapter)) return adapter;
    return QString::fromStdString(kyvo::ipv4Text(core.adapterOf(record)));
}

int usageError(const QString &reason)
{
    return cli::usage(reason, helpText());
}

bool waitForAcknowledgement(GatewayCore &core, const Bytes &message, ParameterRecord &record, int limitMs)
{
    CommandRunner runner(core, {});
    const Mac mac = recordMac(record.mac);
    QObject::connect(&core, &GatewayCore::commandResult, &runner,
                     [&](int code, int, const QByteArray &body, const Mac &from) {
                         if (from == mac) runner.commandResult(code, body);
                     });
    runner.clearWriteAcknowledgement();
    core.sendToDevice(message, record);
    cli::waitUntil([&] { return runner.writeAcknowledged(); }, limitMs);
    return runner.writeAcknowledged();
}

const std::vector<DeviceCommand> &maintenanceCommands()
{
    static const std::vector<DeviceCommand> commands{infoCommand(), backupCommand(), customDefaultsCommand(),
                                                     wifiScanCommand(), tlsCommand()};
    return commands;
}

bool isMaintenanceCommand(const QString &command)
{
    for (const auto &m : maintenanceCommands())
        if (command == QLatin1String(m.name)) return true;
    return false;
}

} // namespace vorlet::cli_tool

namespace {

using cli_tool::search;

int printSearch(GatewayCore &core, const Context &c)
{
    const DeviceList &list = core.devices();
    QJsonArray json;
    const bool inventory = cli::wantsInventory(c.args);
    if (inventory) cli::printInventory(c.args, inventoryRows(core));
    if (!c.args.has(QStringLiteral("json")) && !inventory)
        cli::out(QStringList{QStringLiteral("SN"), text102(c, "设备IP"), text102(c, "MAC地址"),
                             text102(c, "固件版本"), text102(c, "型号"), text102(c, "设备名称")}
                     .join(QLatin1Char('\t')));
    for (std::size_t i = 0; !inventory && i < list.count(); ++i) {
        const ParameterRecord &r = list.at(i);
        const QString ip = QString::fromStdString(kyvo::ipv4Text(seenAddress(r)));
        const QStringList fields{QString::number(i + 1), ip,
                                 cli::macText(r.mac),    gbkFieldText(r.versionText),
                                 gbkFieldText(r.model),  gbkFieldText(r.deviceName)};
        if (c.args.has(QStringLiteral("json")))
            json.append(QJsonObject{{QStringLiteral("sn"), int(i + 1)},
                                    {QStringLiteral("ip"), ip},
                                    {QStringLiteral("mac"), fields[2]},
                                    {QStringLiteral("firmware"), fields[3]},
                                    {QStringLiteral("model"), fields[4]},
                                    {QStringLiteral("name"), fields[5]}});
        else
            cli::out(fields.join(QLatin1Char('\t')));
    }
    if (c.args.has(QStringLiteral("json")))
        cli::out(QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Indented)).trimmed());
    // The list may lack real devices: a script must not take it as complete.
    if (core.ignoredDevices()) {
        cli::err(QStringLiteral("vorlet-cli: ") + unlistedDevicesText(core.ignoredDevices(),
                                                                      core.ignoredBeyondCount(),
                                                                      c.language.isEnglish()));
        return cli::kFailed;
    }
    // A dropped answer may have been a gateway's.
    return core.answerDrops() ? cli::kFailed : cli::kOk;
}

// Runs one command of the pending-operation slot to its end, printing each
// status text; only the device's own answers reach it.
int runCommand(GatewayCore &core, const Context &c, const ParameterRecord &r, PendingOperation operation)
{
    CommandOperation command(core, operation, std::make_unique<ParameterRecord>(r),
                             [&](const char *chinese) { return text102(c, chinese); });
    QObject::connect(&command, &CommandOperation::statusText,
                     [&](const char *chinese) { cli::out(text102(c, chinese)); });
    std::optional<bool> succeeded;
    QObject::connect(&command, &DeviceOperation::finished, [&](bool ok) { succeeded = ok; });
    command.start();
    cli::waitUntil([&] { return succeeded.has_value(); }, 120000);
    return succeeded.value_or(false) ? cli::kOk : cli::kFailed;
}

class UpgradeOutput final : public FotaSink
{
public:
    explicit UpgradeOutput(const Language &l) : m_language(l) {}
    void sendDatagram(const Bytes &) override {}
    void showStatus(const std::string &t, const std::string &s) override
    {
        m_last = QString::fromStdString(t);
        const QString line = m_language.translate(132, m_last) + QString::fromStdString(s);
        if (line.trimmed().isEmpty()) return;
        m_progress.finish();
        cli::out(line);
    }
    void showPartition(const std::string &t) override
    {
        m_progress.finish();
        cli::out(QString::fromStdString(t));
    }
    void showProgress(int maximum, int position) override
    {
        m_progress.show(QStringLiteral("%1/%2").arg(position).arg(maximum), position, maximum);
    }
    void setStartEnabled(bool enabled) override
    {
        if (enabled) m_progress.finish();
        m_done = enabled;
    }
    void showResult(bool verified) override { m_verified = verified; }
    void hideResult() override {}
    bool done() const { return m_done; }
    bool finished() const { return m_last == QStringLiteral("升级成功"); }
    // The dialog paints its red bar when the gateway did not verify the image.
    bool succeeded() const { return finished() && m_verified; }

private:
    const Language &m_language;
    cli::ProgressLine m_progress;
    QString m_last;
    bool m_done = false;
    bool m_verified = false;
};

int upgrade(const GatewayCore &core, const ParameterRecord &r, const Context &c, FirmwareFile file)
{
    UpgradeOutput output(c.language);
    Mac mac{};
    std::copy(std::begin(r.mac), std::end(r.mac), mac.begin());
    FotaRunner runner(mac, kyvo::fieldText(r.versionText), output);
    if (!runner.open(cli_tool::adapterFor(core, c, r))) cli::err(c.language.translate(132, "绑定失败!"));
    runner.setDevice(QHostAddress(seenAddress(r)), c.port);
    runner.start(std::move(file), c.args.has(QStringLiteral("factory")));
    cli::waitUntil([&] { return output.done(); }, 3600 * 1000);
    if (output.succeeded()) return cli::kOk;
    if (output.finished()) cli::err(QStringLiteral("vorlet-cli: the gateway did not verify the image"));
    return cli::kFailed;
}

// A quick set's file, read before anything is sent: a file that is not one
// whole record needs --partial. Nothing (and the exit status) when refused.
std::optional<int> checkQuickSetFile(const Context &c)
{
    const QString in = c.args.value(QStringLiteral("in"));
    auto probe = std::make_unique<ParameterRecord>();
    const QuickSetFile file = readQuickSetFile(*probe, QFile::encodeName(in).toStdString());
    if (file.status != ConfigFileStatus::Done)
        return cli::usage(QStringLiteral("vorlet-cli: cannot read the configuration file '%1'").arg(in),
                          helpText());
    if (!file.wholeRecord() && !c.args.has(QStringLiteral("partial"))) {
        cli::err(QStringLiteral("vorlet-cli: ") + partialConfigText(in, file.size, c.language.isEnglish()) +
                 QStringLiteral(" (--partial applies it)"));
        return cli::kUsage;
    }
    return std::nullopt;
}

// The quick set's file, read once before anything is sent (at most one
// record's worth is used).
QByteArray quickSetBytes(const Context &c)
{
    QFile file(c.args.value(QStringLiteral("in")));
    return file.open(QIODevice::ReadOnly) ? file.read(qint64(kRecordSize)) : QByteArray();
}

kyvo::ByteView byteView(const QByteArray &bytes)
{
    return {reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())};
}

// The file over the gateway's record, unless its static address settings
// would leave the device unreachable.
int quickSet(GatewayCore &core, const Context &c, ParameterRecord &r)
{
    auto applied = quickSetRecord(r, byteView(quickSetBytes(c)), c.language.isEnglish());
    if (const auto *refusal = std::get_if<QString>(&applied)) {
        cli::err(QStringLiteral("vorlet-cli: ") + *refusal);
        return cli::kUsage;
    }
    r = *std::get<std::unique_ptr<ParameterRecord>>(applied);
    return runCommand(core, c, r, PendingOperation::Save);
}

// The commands that run on many gateways at once.
std::optional<GatewayBatch::Operation> batchOperation(const QString &command)
{
    using Op = GatewayBatch::Operation;
    static const std::pair<const char *, Op> operations[] = {{"restart", Op::Restart},
                                                             {"reset", Op::FactoryReset},
                                                             {"deep-reset", Op::DeepFactoryReset},
                                                             {"quickset", Op::QuickSet},
                                                             {"upgrade", Op::Upgrade}};
    for (const auto &[name, operation] : operations)
        if (command == QLatin1String(name)) return operation;
    return std::nullopt;
}

// The selection of many gateways, when the options name one; a usage
// reason when they are bad. One --mac stays the single-device command.
std::variant<std::optional<cli::BatchSelection>, QString> readSelection(const Context &c)
{
    if (!batchOperation(c.args.command) || !cli::wantsBatch(c.args)) return std::nullopt;
    cli::BatchSelection selection;
    if (const auto bad = cli::readBatchSelection(c.args, selection))
        return QStringLiteral("vorlet-cli: ") + *bad;
    if (!selection.many()) return std::nullopt;
    return selection;
}

int deviceCommand(GatewayCore &core, Context &c)
{
    const auto selection = readSelection(c);
    if (const auto *bad = std::get_if<QString>(&selection)) return cli::usage(*bad, helpText());
    const auto &many = std::get<std::optional<cli::BatchSelection>>(selection);
    const auto mac = cli::parseMac(c.args.value(QStringLiteral("mac")));
    if (!mac && !many)
        return cli::usage(QStringLiteral("vorlet-cli: --mac needs a MAC such as 00-4B-59-0A-4D-07"),
                          helpText());
    const QString command = c.args.command;
    if (command == QLatin1String("export") && c.args.value(QStringLiteral("out")).isEmpty())
        return cli::usage(QStringLiteral("vorlet-cli: export needs --out FILE.cfg"), helpText());
    if (command == QLatin1String("upgrade") && c.args.value(QStringLiteral("file")).isEmpty())
        return cli::usage(QStringLiteral("vorlet-cli: upgrade needs --file F.bin"), helpText());
    if (command == QLatin1String("quickset") && c.args.value(QStringLiteral("in")).isEmpty())
        return cli::usage(QStringLiteral("vorlet-cli: quickset needs --in FILE.cfg"), helpText());
    const cli_tool::DeviceCommand *maintenance = nullptr;
    for (const auto &m : cli_tool::maintenanceCommands())
        if (command == QLatin1String(m.name)) maintenance = &m;
    if (maintenance) {
        if (const int status = maintenance->check(c); status != cli::kOk) return status;
    }
    // Files are read before anything is sent.
    if (command == QLatin1String("quickset")) {
        if (const auto refused = checkQuickSetFile(c)) return *refused;
    }
    FirmwareFile firmware;
    if (command == QLatin1String("upgrade")) {
        const QString path = c.args.value(QStringLiteral("file"));
        auto loaded = loadFirmwareFile(QFile::encodeName(path).constData());
        if (auto *e = std::get_if<FirmwareFileError>(&loaded)) {
            cli::err(QStringLiteral("vorlet-cli: %1: ").arg(path) +
                     firmwareFileErrorText(*e, c.language.isEnglish()));
            return cli::kUsage;
        }
        firmware = std::move(std::get<FirmwareFile>(loaded));
    }
    if (many) {
        GatewayBatch::Options options;
        if (command == QLatin1String("quickset")) options.configFile = quickSetBytes(c);
        options.firmware = std::make_shared<const FirmwareFile>(std::move(firmware));
        options.factoryReset = c.args.has(QStringLiteral("factory"));
        return cli_tool::runBatchCommand(core, c, *many, *batchOperation(command), std::move(options));
    }
    if (!search(core, c)) return cli::kFailed;
    const std::size_t index = core.devices().findByMac(*mac);
    if (index == core.devices().count()) {
        cli::err(QStringLiteral("vorlet-cli: no gateway %1 answered").arg(cli::macText(mac->data())));
        return cli::kNotFound;
    }
    ParameterRecord &r = core.devices().at(index);
    if (maintenance) return maintenance->run(core, c, r);
    if (command == QLatin1String("export")) {
        const QString out = c.args.value(QStringLiteral("out"));
        if (exportConfig(r, out) != ConfigFileStatus::Done) {
            cli::err(QStringLiteral("vorlet-cli: cannot write %1").arg(out));
            return cli::kFailed;
        }
        cli::out(out);
        return cli::kOk;
    }
    if (command == QLatin1String("quickset")) return quickSet(core, c, r);
    if (command == QLatin1String("restart")) return runCommand(core, c, r, PendingOperation::Restart);
    if (command == QLatin1String("reset")) return runCommand(core, c, r, PendingOperation::FactoryReset);
    if (command == QLatin1String("deep-reset"))
        return runCommand(core, c, r, PendingOperation::DeepFactoryReset);
    return upgrade(core, r, c, std::move(firmware));
}

} // namespace

int main(int argc, char **argv)
{
    if (kyvo::answerVersion(argc, argv, "vorlet-cli")) return 0;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlet"));
    if (!cli::textCodecReady(QStringLiteral("vorlet-cli"))) return cli::kFailed;
    Context c;
    c.args = cli::Arguments::parse(
        app.arguments(),
        QStringList{QStringLiteral("adapter"), QStringLiteral("range"), QStringLiteral("out"),
                    QStringLiteral("in"), QStringLiteral("file"), QStringLiteral("lang"),
                    QStringLiteral("wait"), QStringLiteral("port"), QStringLiteral("log-dir"),
                    QStringLiteral("log-mode"), QStringLiteral("device"), QStringLiteral("channel"),
                    QStringLiteral("ca"), QStringLiteral("cert"), QStringLiteral("key"),
                    QStringLiteral("image-port")} +
            cli::batchValueOptions(),
        QStringList{QStringLiteral("json"), QStringLiteral("csv"), QStringLiteral("inventory-json"),
                    QStringLiteral("factory"), QStringLiteral("help"), QStringLiteral("allow-broadcast"),
                    QStringLiteral("partial")} +
            cli::batchFlagOptions(),
        2);
    const QString help = helpText();
    if (c.args.has(QStringLiteral("help")) || c.args.command == QLatin1String("help")) {
        cli::out(help);
        return cli::kOk;
    }
    if (!c.args.error.isEmpty()) return cli::usage(QStringLiteral("vorlet-cli: ") + c.args.error, help);
    const bool takesWords =
        c.args.command == QLatin1String("poll") || cli_tool::isMaintenanceCommand(c.args.command);
    if (!takesWords && !c.args.words.isEmpty())
        return cli::usage(QStringLiteral("vorlet-cli: unexpected argument: %1").arg(c.args.words.first()),
                          help);
    if (c.args.command == QLatin1String("monitor")) return cli::runVorletMonitor(c.args, help);
    c.language = Language(c.args.value(QStringLiteral("lang")) == QLatin1String("en") ? kEnglishLetter
                                                                                      : kChineseLetter);
    const auto fault = cli::checkOptions(c.args, QStringLiteral("vorlet-cli"),
                                         {{"adapter", cli::OptionKind::Adapter},
                                          {"wait", cli::OptionKind::Milliseconds},
                                          {"port", cli::OptionKind::Port},
                                          {"lang", cli::OptionKind::Language},
                                          {"out", cli::OptionKind::OutputFile},
                                          {"in", cli::OptionKind::InputFile},
                                          {"file", cli::OptionKind::InputFile}},
                                         [&](const QString &path) {
                                             return QStringLiteral("vorlet-cli: %1: ").arg(path) +
                                                    firmwareFileErrorText(FirmwareFileError::CannotOpen,
                                                                          c.language.isEnglish());
                                         });
    if (fault) {
        if (fault->usage) return cli::usage(fault->text, help);
        cli::err(fault->text);
        return cli::kUsage;
    }
    for (const QString &range : c.args.values(QStringLiteral("range"))) {
        const auto first = kyvo::parseIpv4(range.section(QLatin1Char('-'), 0, 0).toStdString());
        const auto last = kyvo::parseIpv4(range.section(QLatin1Char('-'), 1).toStdString());
        if (!first || !last || *last < *first)
            return cli::usage(QStringLiteral("vorlet-cli: bad range '%1' (FIRST-LAST)").arg(range), help);
        c.ranges.push_back({*first, *last});
    }
    if (c.ranges.size() > SearchRanges::kCapacity)
        return cli::usage(QStringLiteral("vorlet-cli: at most 255 ranges"), help);
    if (c.args.has(QStringLiteral("wait")))
        c.waitMs = *cli::parseMilliseconds(c.args.value(QStringLiteral("wait")));
    if (c.args.has(QStringLiteral("port"))) c.port = *cli::parsePort(c.args.value(QStringLiteral("port")));

    if (const QString conflict = cli::searchFormConflict(c.args); !conflict.isEmpty())
        return cli::usage(QStringLiteral("vorlet-cli: ") + conflict, help);

    GatewayCore::Options options;
    options.devicePort = c.port;
    GatewayCore core(options);
    const QString command = c.args.command;
    if (command == QLatin1String("search")) {
        if (!search(core, c)) return cli::kFailed;
        return printSearch(core, c);
    }
    static const QStringList deviceCommands{QStringLiteral("export"),     QStringLiteral("quickset"),
                                            QStringLiteral("restart"),    QStringLiteral("reset"),
                                            QStringLiteral("deep-reset"), QStringLiteral("upgrade")};
    if (deviceCommands.contains(command)) return deviceCommand(core, c);
    if (command == QLatin1String("poll")) {
        PollCommandHooks hooks;
        hooks.search = [&] { return search(core, c); };
        hooks.save = [&](ParameterRecord &r) { return runCommand(core, c, r, PendingOperation::Save); };
        hooks.usage = [&](const QString &reason) { return cli::usage(reason, help); };
        const SearchSettings settings = loadSearchSettings(searchSettingsPath());
        if (settings.fileTooLarge)
            cli::err(kyvo::profileTooLargeText(searchSettingsPath(), c.language.isEnglish()));
        hooks.utf8Names = settings.utf8 != 0;
        return runPollCommand(c.args, core, hooks);
    }
    if (cli_tool::isMaintenanceCommand(command)) return deviceCommand(core, c);
    return cli::usage(command.isEmpty() ? QStringLiteral("vorlet-cli: no command")
                                        : QStringLiteral("vorlet-cli: unknown command '%1'").arg(command),
                      help);
}

// pelmar-cli: the serial-server tool's core for scripts: search, parameter
// files out and onto a server, restart, factory reset and the firmware upgrade.
#include "cli/cli_batch.h"
#include "cli/cli_common.h"
#include "cli/pelmar_monitor.h"
#include "cli/pelmar_tlv_cli.h"
#include "cli/pelmar_wifi_scan.h"
#include "kyvo_version.h"

#include "common/gbk_text.h"
#include "common/ipv4.h"
#include "common/profile_file.h"
#include "pelmar/core/server_batch.h"
#include "pelmar/core/server_core.h"
#include "pelmar/core/server_inventory.h"
#include "pelmar/files/firmware_upgrade.h"
#include "pelmar/files/one_click.h"
#include "pelmar/files/parameter_file.h"
#include "pelmar/lang/language_table.h"
#include "pelmar/link/routing.h"
#include "pelmar/model/conversions.h"
#include "pelmar/ui/one_click_save.h"
#include "pelmar/ui/server_commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <map>
#include <memory>
#include <set>

using namespace pelmar;

namespace {

const char *const kHelp =
    "usage: pelmar-cli COMMAND [options]\n"
    "  search                             list the serial servers that answer (short-frame servers\n"
    "                                     are read item by item before they are listed)\n"
    "  search --csv|--inventory-json      the list as an inventory (address, MAC, model: the hardware\n"
    "                                     version, firmware, name: empty, adapter) in CSV or as a JSON\n"
    "                                     array, in UTF-8\n"
    "  export --mac MAC --out FILE.ini    write a server's parameter file\n"
    "                                     (--out DIR: under the name the window proposes, in DIR);\n"
    "                                     an existing file is replaced only with --force\n"
    "  apply --mac MAC --ini FILE.ini     one-click configuration: the file's settings onto the server,\n"
    "                                     then its device save and, 600 ms later, its port save\n"
    "  restart|reset --mac MAC            restart, or reset to factory settings\n"
    "  upgrade --mac MAC --file F.bin     enter the upgrade and send the firmware by TFTP\n"
    "  restart|reset|apply|upgrade with --mac given more than once, or --all: the same on many\n"
    "                                     servers at once, each with its own answers and time-outs\n"
    "    --all                            every server that answered the search, narrowed by\n"
    "    --model PATTERN                  its hardware version (* and ?, any case),\n"
    "    --version PATTERN                its firmware version,\n"
    "    --subnet A.B.C.D/N               its address\n"
    "    --parallel N                     servers at a time (1 to 256, default 8)\n"
    "    --json                           one JSON object per server as it finishes\n"
    "  wifi-scan --mac MAC                the WiFi networks a WiFi server sees (--json: a JSON array)\n"
    "  mqtt|cache|heartbeat show --mac MAC --serial-port N\n"
    "                                     a serial port's MQTT, MODBUS-cache or 48-byte heartbeat\n"
    "                                     settings (N from 1, as the window's PORT1; --json as JSON)\n"
    "  mqtt|cache|heartbeat set --mac MAC --serial-port N --in FILE.json\n"
    "                                     the settings in FILE (the shape show --json prints; keys left\n"
    "                                     out keep the server's values), checked as the dialogs check\n"
    "                                     them before anything is sent\n"
    "  monitor [--port P]                 print the servers' debug text (UDP P, default 1112) as the\n"
    "                                     debug view lists it, until interrupted\n"
    "options for every command:\n"
    "  --adapter ADDR     bind the main socket to the adapter with this IPv4 address; all: a main\n"
    "                     socket on every adapter, each server then reached through the adapter it\n"
    "                     answered on\n"
    "  --broadcast ADDR   search by broadcast to ADDR (default 255.255.255.255)\n"
    "  --sweep ADDR       search the 254 hosts of ADDR's subnet instead (ADDR such as 192.168.1.255)\n"
    "  --wait MS          how long to listen for more answers after the search (default 2000)\n"
    "  --port N           the servers' UDP port (default 1111)\n"
    "  --local-port N     the main socket's local port (default 4601, 0 any free port)\n"
    "  --tftp-port N      the servers' TFTP port for the upgrade (default 69)\n"
    "  --json             search output as JSON\n"
    "  --lang en          texts in English (default Chinese)\n"
    "  --help, --version  this help; the program's version\n"
    "A MAC is written with '-' or ':' between its six bytes, in any case.\n"
    "exit status: 0 done; 1 the server refused, did not answer (a save without any answer, an upgrade\n"
    "that did not end in \"Upgrade success\"), was not read whole, or a file does not fit its ports,\n"
    "or a search dropped answers in a flood (the list may be incomplete);\n"
    "2 bad usage, also a parameter file or firmware file that cannot be used (nothing is sent then);\n"
    "3 no server with that MAC answered. restart and reset are not answered by the servers: they end\n"
    "with 0 once sent to a server that answered the search. On many servers: one line per server as\n"
    "it finishes, then \"N devices: X succeeded, Y failed\"; 0 only when every server named or\n"
    "matched succeeded, 1 when any failed or did not answer, 3 when none answered or matched.";

constexpr int kRestartCaptionSlot = 64; // "重启设备"
constexpr int kResetCaptionSlot = 68;   // "恢复出厂"
constexpr int kCannotOpenSlot = 204;    // path + "无法打开文件"
constexpr int kBadProfileSlot = 300;    // "无效的配置文件!"
constexpr int kPortsDifferSlot = 304;   // "端口数不匹配！"
const char *const kInvalidHostText = "无效的网址！";

// Answers that still come after the last short-frame item read went out.
constexpr int kReadRepliesMs = 2000;

struct Context
{
    cli::Arguments args;
    int waitMs = 2000;
    quint16 devicePort = kDevicePort;
    quint16 localPort = kMainLocalPort;
    quint16 tftpPort = kTftpPort;
    QString adapter, broadcast, sweep;
};

QString gbk(const std::string &bytes)
{
    return kyvo::fromGbk(QByteArray::fromStdString(bytes));
}

const char *familyName(RecordFormat f)
{
    switch (f) {
    case RecordFormat::RecordWifi362:
        return "wifi362";
    case RecordFormat::RecordWifi292:
        return "wifi292";
    case RecordFormat::RecordMulti1284:
        return "multi1284";
    case RecordFormat::RecordMulti2326:
        return "multi2326";
    case RecordFormat::NativeRecord:
        return "native";
    }
    return "";
}

// Waits until every datagram handed to the main socket so far has left.
void flushSends(ServerCore &core)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    core.whenSent([done] { done->store(true); });
    cli::waitUntil([&] { return done->load(); }, 5000);
}

// A search the way the window's "搜索设备" runs it, until the servers that
// answered have been read whole (or their item answers stopped coming).
class DeviceSearch : public QObject
{
public:
    DeviceSearch(ServerCore &core, const Context &c) : m_core(core), m_context(c)
    {
        connect(&core, &ServerCore::socketOpened, this, [this] { ++m_opened; });
        connect(&core, &ServerCore::socketBindFailed, this, [this](const QString &address) {
            ++m_bindFailed;
            m_failedAddress = address.isEmpty() ? QStringLiteral("0.0.0.0") : address;
        });
        connect(&core, &ServerCore::listCleared, this, [this] { m_shown.clear(); });
        connect(&core, &ServerCore::deviceShown, this,
                [this](int index) { m_shown.insert(std::size_t(index)); });
        followSockets(0);
    }

    // False when the main socket did not open. With a MAC, the waits for
    // more answers end as soon as that server has been read whole.
    bool run(const std::optional<Mac> &wanted = std::nullopt)
    {
        if (!openSocket()) return false;
        if (!m_context.sweep.isEmpty()) {
            m_core.setBroadcastSearch(false);
            m_core.setSubnetAddress(m_context.sweep);
        } else if (!m_context.broadcast.isEmpty()) {
            m_core.setSubnetAddress(m_context.broadcast);
        }
        QString refused;
        QObject guard;
        connect(&m_core, &ServerCore::sweepRefused, &guard, [&](const QString &m) { refused = m; });
        if (!m_core.startSearch()) {
            cli::err(refused);
            return false;
        }
        // The broadcast ends with the first answer (or after its sixth request), the sweep after host 254.
        cli::waitUntil([&] { return m_core.searchState() == SearchSession::State::Idle; }, 60000);
        const auto wantedDone = [&] { return wanted && find(*wanted) && readWhole(*find(*wanted)); };
        cli::waitUntil(wantedDone, m_context.waitMs);
        m_core.deliverAnswers(); // those that came in time, ahead of a flood's backlog
        cli::waitUntil([&] { return wantedDone() || m_core.readSequencesRunning() == 0; }, 600000);
        cli::waitUntil([&] { return wantedDone() || allShown(); }, kReadRepliesMs);
        cli::reportQueueDrops("pelmar-cli", m_core.answerDrops(), m_core.queueDrops());
        return true;
    }

    bool readWhole(std::size_t index) const { return m_shown.count(index) != 0; }
    QString family(std::size_t index) const
    {
        const auto it = m_family.find(m_core.devices().at(index).macTail);
        return it == m_family.end() ? QString() : QString::fromLatin1(it->second);
    }
    // The present server with this MAC.
    std::optional<std::size_t> find(const Mac &mac) const
    {
        for (int i = 0; i < m_core.rowCount(); ++i)
            if (m_core.devices().at(std::size_t(i)).present && m_core.devices().at(std::size_t(i)).mac == mac)
                return i;
        return std::nullopt;
    }
    // A server whose MAC ends like this one answered but was not read whole
    // (a short-frame server's MAC arrives with its items).
    bool answeredUnread(const Mac &mac) const
    {
        const auto index = m_core.devices().find(MacTail{mac[3], mac[4], mac[5]});
        return index && !readWhole(*index);
    }

private:
    bool openSocket()
    {
        // The core opens its socket on every address at once; an adapter re-opens it on that address.
        cli::waitUntil([this] { return m_opened + m_bindFailed > 0; }, 5000);
        int sockets = 1;
        if (cli::isAllAdapters(m_context.adapter)) {
            m_opened = m_bindFailed = 0;
            sockets = m_core.chooseAllAdapters();
            followSockets(1);
            cli::waitUntil([&] { return m_opened + m_bindFailed >= sockets; }, 5000);
        } else if (!m_context.adapter.isEmpty()) {
            m_opened = m_bindFailed = 0;
            m_core.socket().open(m_context.adapter, m_context.localPort);
            cli::waitUntil([this] { return m_opened + m_bindFailed > 0; }, 5000);
        }
        if (m_opened < sockets)
            cli::err(cli::cannotBindText(QStringLiteral("pelmar-cli"), m_failedAddress, m_context.localPort));
        return m_opened >= sockets;
    }
    // Connected after the core's own routing, so the device is registered by now.
    void followSockets(int first)
    {
        for (int i = first; i < m_core.socketCount(); ++i)
            connect(&m_core.socketAt(i), &MainSocket::datagramReceived, this,
                    [this](const QByteArray &d) { noteFamily(d); });
    }
    void noteFamily(const QByteArray &d)
    {
        const ByteView bytes(reinterpret_cast<const std::uint8_t *>(d.constData()), std::size_t(d.size()));
        const Route r = routeDatagram(bytes);
        if (r.record)
            m_family[frameMacTail(bytes)] = familyName(*r.record);
        else if (r.shortDiscovery)
            m_family[frameMacTail(bytes)] = "short"; // its MacTail is at bytes 20 .. 22 as well
    }
    bool allShown() const
    {
        for (int i = 0; i < m_core.rowCount(); ++i)
            if (!readWhole(std::size_t(i))) return false;
        return true;
    }

    ServerCore &m_core;
    const Context &m_context;
    int m_opened = 0, m_bindFailed = 0;
    QString m_failedAddress;
    std::set<std::size_t> m_shown;
    std::map<MacTail, const char *> m_family;
};

int printSearch(const ServerCore &core, const DeviceSearch &search, const Context &c)
{
    const LanguageTable &t = core.language();
    const bool english = t.language() == Language::English;
    const bool json = c.args.has(QStringLiteral("json"));
    const bool inventory = cli::wantsInventory(c.args);
    if (inventory) cli::printInventory(c.args, inventoryRows(core, c.adapter));
    if (!json && !inventory)
        cli::out(QStringList{t.text(slot::kListColumnIp), t.text(slot::kListColumnMac),
                             t.text(slot::kListColumnFirmware), t.text(slot::kListColumnHardware),
                             english ? QStringLiteral("Ports") : QStringLiteral("端口数"),
                             english ? QStringLiteral("Record") : QStringLiteral("记录格式")}
                     .join(QLatin1Char('\t')));
    QJsonArray list;
    for (int i = 0; i < core.rowCount(); ++i) {
        const DeviceEntry &e = core.devices().at(std::size_t(i));
        const QString ip = QString::fromStdString(e.addressText), mac = cli::macText(e.mac.data());
        const QString firmware = gbk(e.firmwareVersion.text()), hardware = gbk(e.hardwareVersion.text());
        const bool whole = search.readWhole(std::size_t(i));
        if (!whole) cli::err(QStringLiteral("pelmar-cli: %1 was not read whole").arg(ip));
        if (inventory) continue;
        if (json)
            list.append(QJsonObject{{QStringLiteral("ip"), ip},
                                    {QStringLiteral("mac"), mac},
                                    {QStringLiteral("firmware"), firmware},
                                    {QStringLiteral("hardware"), hardware},
                                    {QStringLiteral("ports"), int(usablePortCount(e))},
                                    {QStringLiteral("family"), search.family(std::size_t(i))},
                                    {QStringLiteral("complete"), whole}});
        else
            cli::out(QStringList{ip, mac, firmware, hardware, QString::number(usablePortCount(e)),
                                 search.family(std::size_t(i))}
                         .join(QLatin1Char('\t')));
    }
    if (json) cli::out(QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented)).trimmed());
    if (core.rowCount() == 0) cli::err(core.statusText(ServerCore::SearchPane));
    if (core.devices().ignored())
        cli::err(QStringLiteral("pelmar-cli: %1 more servers answered beyond the list's 256")
                     .arg(core.devices().ignored()));
    // A dropped answer may have been a server's: the list may be incomplete.
    return core.answerDrops() ? cli::kFailed : cli::kOk;
}

QString existsText(const QString &path)
{
    return QStringLiteral("pelmar-cli: %1 exists (--force replaces it)").arg(path);
}

int exportFile(const DeviceEntry &e, const Context &c)
{
    QString out = c.args.value(QStringLiteral("out"));
    if (QFileInfo(out).isDir()) out = QDir(out).filePath(proposedParameterFileName(e));
    if (QFileInfo::exists(out) && !c.args.has(QStringLiteral("force"))) {
        cli::err(existsText(out));
        return cli::kFailed;
    }
    // The whole file is replaced, as export deletes it before writing.
    if (!exportParameters(e).save(out)) {
        cli::err(QStringLiteral("pelmar-cli: cannot write %1").arg(out));
        return cli::kFailed;
    }
    cli::out(out);
    return cli::kOk;
}

// One-click configuration's two saves and their answers, reported as the
// window's status line shows them.
int applyFile(ServerCore &core, std::size_t index, const DeviceEntry &imported)
{
    const LanguageTable &t = core.language();
    OneClickSave save(core, {});
    const auto report = [&](int which) {
        const QString text = save.outcomeText(which);
        if (text.isEmpty())
            cli::err(QStringLiteral("pelmar-cli: no answer to the save"));
        else
            cli::out(text);
    };
    QObject guard;
    QObject::connect(&save, &OneClickSave::saveStarted, &guard, [&](int which) {
        if (which == 1) report(0);
        cli::out(t.text(slot::kSending));
    });
    QObject::connect(&save, &OneClickSave::invalidHost, &guard, [&](int port) {
        cli::err(QStringLiteral("PORT%1: ").arg(port + 1) + QString::fromUtf8(kInvalidHostText));
    });
    switch (save.start(index, imported)) {
    case OneClickSave::Refusal::PortsDiffer:
        cli::err(t.text(kPortsDifferSlot));
        return cli::kFailed;
    case OneClickSave::Refusal::CannotWrite:
        cli::err(QStringLiteral("pelmar-cli: this server's record form cannot be written"));
        return cli::kFailed;
    case OneClickSave::Refusal::None:
        break;
    }
    cli::waitUntil([&] { return !save.running(); }, 24 * 3600 * 1000);
    flushSends(core);
    report(save.lastSave());
    return save.succeeded() ? cli::kOk : cli::kFailed;
}

int deviceCommand(ServerCore &core, std::size_t index, bool reset)
{
    ServerCommands commands(core, {});
    bool sent = false;
    QObject::connect(&commands, &ServerCommands::datagramSent, [&] { sent = true; });
    if (reset)
        commands.factoryReset(index);
    else
        commands.restart(index);
    cli::waitUntil([&] { return sent; }, 5000);
    flushSends(core);
    if (!sent) return cli::kFailed;
    cli::out(core.language().text(reset ? kResetCaptionSlot : kRestartCaptionSlot) + QLatin1Char(' ') +
             cli::macText(core.devices().at(index).mac.data()));
    return cli::kOk;
}

// What the upgrade dialog would show, on the console.
class UpgradeOutput final : public UpgradeView
{
public:
    void showStatus(const QString &text) override
    {
        m_progress.finish();
        m_last = text;
        if (!text.trimmed().isEmpty()) cli::out(text);
    }
    void showBlockCounter(const QString &text) override
    {
        const QStringList parts = text.split(QLatin1Char('/'));
        if (parts.size() == 2) m_progress.show(text, parts[0].toLongLong(), parts[1].toLongLong());
    }
    void showProgress(bool, int, int) override {}
    void paintBar(TransferSink::Bar) override {}
    void setStartEnabled(bool) override {}
    void message(const QString &text, const QString &) override
    {
        m_progress.finish();
        cli::err(text);
    }
    bool succeeded() const { return m_last == QStringLiteral("Upgrade success"); }

private:
    cli::ProgressLine m_progress;
    QString m_last;
};

int upgrade(ServerCore &core, std::size_t index, const Context &c)
{
    {
        ServerCommands commands(core, {});
        bool sent = false;
        QObject::connect(&commands, &ServerCommands::datagramSent, [&] { sent = true; });
        commands.enterUpgrade(index);
        cli::waitUntil([&] { return sent; }, 5000);
    }
    UpgradeOutput output;
    FirmwareUpgrade upgrade(core, core.language());
    if (c.tftpPort != kTftpPort) upgrade.setTftpPortForTesting(c.tftpPort);
    upgrade.attach(&output);
    upgrade.start(c.args.value(QStringLiteral("file")),
                  QString::fromStdString(core.devices().at(index).addressText));
    cli::waitUntil(
        [&] {
            const auto s = upgrade.transfer().state();
            return s == FirmwareTransfer::State::Idle || s == FirmwareTransfer::State::Halted;
        },
        24 * 3600 * 1000);
    flushSends(core);
    upgrade.detach(&output);
    return output.succeeded() ? cli::kOk : cli::kFailed;
}

int usage(const QString &reason)
{
    return cli::usage(QStringLiteral("pelmar-cli: ") + reason, QString::fromUtf8(kHelp));
}

ServerCore::Options coreOptions(const Context &c)
{
    ServerCore::Options options;
    options.devicePort = c.devicePort;
    options.localPort = c.localPort;
    return options;
}

Language language(const Context &c)
{
    return c.args.value(QStringLiteral("lang")) == QLatin1String("en") ? Language::English
                                                                       : Language::Chinese;
}

// The settings commands' own options; a usage exit status when one is bad
// (a --in file that does not fit is refused before anything is sent).
std::optional<int> readTlvCommand(const Context &c, TlvCommand::Kind kind, TlvCommand &tlv, Language lang)
{
    tlv.kind = kind;
    const QString sub = c.args.words.value(0);
    if (sub != QLatin1String("show") && sub != QLatin1String("set"))
        return usage(QStringLiteral("%1 takes show or set").arg(c.args.command));
    tlv.set = sub == QLatin1String("set");
    tlv.json = c.args.has(QStringLiteral("json"));
    bool ok = false;
    const int port = c.args.value(QStringLiteral("serial-port")).toInt(&ok);
    if (!ok || port < 1 || port > 24) return usage(QStringLiteral("--serial-port takes a port from 1 to 24"));
    tlv.port = port - 1;
    if (!tlv.set) return std::nullopt;
    const QString in = c.args.value(QStringLiteral("in"));
    if (in.isEmpty()) return usage(QStringLiteral("set needs --in FILE.json"));
    if (const auto bad = loadTlvInput(tlv, in, lang)) {
        cli::err(*bad);
        return cli::kUsage;
    }
    return std::nullopt;
}

// apply's parameter file, checked whole; a usage exit status when it cannot be used.
std::optional<int> readParameterFile(const Context &c, const LanguageTable &texts, DeviceEntry &imported)
{
    const QString ini = c.args.value(QStringLiteral("ini"));
    if (ini.isEmpty()) return usage(QStringLiteral("apply needs --ini FILE.ini"));
    if (!QFileInfo(ini).isFile() || !QFileInfo(ini).isReadable())
        return usage(QStringLiteral("cannot read the parameter file '%1'").arg(ini));
    auto status = kyvo::ProfileFile::LoadStatus::Loaded;
    const kyvo::ProfileFile file = kyvo::ProfileFile::load(ini, &status);
    if (status == kyvo::ProfileFile::LoadStatus::TooLarge) {
        cli::err(kyvo::profileTooLargeText(ini, texts.language() == Language::English));
        return cli::kUsage;
    }
    if (const auto bad = badParameterValue(file)) {
        cli::err(texts.text(kBadProfileSlot) + QLatin1Char(' ') + *bad);
        return cli::kUsage;
    }
    imported = importParameters(file);
    if (!validImportedPortCount(imported)) {
        cli::err(texts.text(kBadProfileSlot));
        return cli::kUsage;
    }
    return std::nullopt;
}

// upgrade's firmware file; a usage exit status when it cannot be used.
std::optional<int> readFirmwareOption(const Context &c, const LanguageTable &texts)
{
    const QString file = c.args.value(QStringLiteral("file"));
    if (file.isEmpty()) return usage(QStringLiteral("upgrade needs --file F.bin"));
    // The file checks of the start button, before anything is sent.
    if (const auto fault = firmwareFileFault(file, texts)) {
        cli::err(*fault);
        return cli::kUsage;
    }
    return std::nullopt;
}

// More than one server: repeated --mac or --all.
bool manyServers(const Context &c)
{
    return c.args.values(QStringLiteral("mac")).size() > 1 || c.args.has(QStringLiteral("all"));
}

std::optional<ServerBatch::Operation> batchOperation(const QString &command)
{
    using Op = ServerBatch::Operation;
    static const std::map<QString, Op> operations{{QStringLiteral("restart"), Op::Restart},
                                                  {QStringLiteral("reset"), Op::FactoryReset},
                                                  {QStringLiteral("apply"), Op::OneClick},
                                                  {QStringLiteral("upgrade"), Op::Upgrade}};
    const auto it = operations.find(command);
    return it == operations.end() ? std::nullopt : std::optional<Op>(it->second);
}

// The servers that answered, as the selection sees them: the model is the hardware version.
std::vector<cli::BatchCandidate> batchCandidates(const ServerCore &core)
{
    std::vector<cli::BatchCandidate> candidates;
    for (int i = 0; i < core.rowCount(); ++i) {
        const DeviceEntry &e = core.devices().at(std::size_t(i));
        candidates.push_back({QString::fromStdString(e.addressText), cli::macText(e.mac.data()),
                              gbk(e.hardwareVersion.text()), gbk(e.firmwareVersion.text())});
    }
    return candidates;
}

// The chosen servers that can take the operation; says why of each left out.
std::vector<std::size_t> batchDevices(const cli::BatchChoice &choice, const DeviceSearch &search,
                                      const ServerCore &core, bool needsWhole)
{
    for (const QString &mac : choice.missingMacs)
        cli::err(QStringLiteral("pelmar-cli: no server %1 answered").arg(mac));
    std::vector<std::size_t> devices;
    for (std::size_t index : choice.indexes) {
        if (!needsWhole || search.readWhole(index)) {
            devices.push_back(index);
            continue;
        }
        cli::err(QStringLiteral("pelmar-cli: %1 answered but was not read whole")
                     .arg(cli::macText(core.devices().at(index).mac.data())));
    }
    return devices;
}

// restart, reset, apply and upgrade on many servers, N at a time.
int onServers(const Context &c)
{
    LanguageTable texts;
    texts.fill(language(c));
    cli::BatchSelection selection;
    if (const auto bad = cli::readBatchSelection(c.args, selection)) return usage(*bad);
    const auto operation = batchOperation(c.args.command);
    if (!operation) return usage(QStringLiteral("%1 takes a single --mac").arg(c.args.command));
    ServerBatch::Options options;
    options.parallel = std::size_t(selection.parallel);
    options.tftpPort = c.tftpPort;
    if (*operation == ServerBatch::Operation::OneClick) {
        if (const auto bad = readParameterFile(c, texts, options.imported)) return *bad;
    }
    if (*operation == ServerBatch::Operation::Upgrade) {
        if (const auto bad = readFirmwareOption(c, texts)) return *bad;
        options.firmwarePath = c.args.value(QStringLiteral("file"));
    }

    ServerCore core(coreOptions(c));
    core.setLanguage(language(c));
    DeviceSearch search(core, c);
    if (!search.run()) return cli::kFailed;
    const std::vector<cli::BatchCandidate> candidates = batchCandidates(core);
    const cli::BatchChoice choice = cli::chooseDevices(selection, candidates);
    const bool needsWhole =
        *operation == ServerBatch::Operation::OneClick || *operation == ServerBatch::Operation::Upgrade;
    const std::vector<std::size_t> devices = batchDevices(choice, search, core, needsWhole);
    const std::size_t leftOut =
        choice.indexes.size() - devices.size() + std::size_t(choice.missingMacs.size());
    if (devices.empty()) {
        if (choice.indexes.empty() && selection.all)
            cli::err(QStringLiteral("pelmar-cli: no server matches"));
        return choice.indexes.empty() ? cli::kNotFound : cli::kFailed;
    }
    std::vector<cli::BatchCandidate> rows;
    for (std::size_t index : devices)
        rows.push_back(candidates[index]);
    ServerBatch batch(core, *operation, devices, options);
    const int status = cli::runBatch(
        rows, ServerBatch::operationName(*operation, core.language()), selection,
        [&](std::size_t row, kyvo::BatchRunner &runner) { batch.startRow(row, runner); }, leftOut);
    flushSends(core);
    return status;
}

int onDevice(const Context &c)
{
    if (manyServers(c)) return onServers(c);
    // One server: the options of many are refused, not ignored.
    if (batchOperation(c.args.command) && cli::wantsBatch(c.args)) {
        cli::BatchSelection selection;
        if (const auto bad = cli::readBatchSelection(c.args, selection)) return usage(*bad);
    }
    LanguageTable texts;
    texts.fill(language(c));
    const QString command = c.args.command;
    const auto mac = cli::parseMac(c.args.value(QStringLiteral("mac")));
    if (!mac) return usage(QStringLiteral("--mac needs a MAC such as 00-4B-5A-00-00-02"));
    if (command == QLatin1String("export")) {
        const QString out = c.args.value(QStringLiteral("out"));
        if (out.isEmpty()) return usage(QStringLiteral("export needs --out FILE.ini"));
        if (!QFileInfo(out).isDir() && QFileInfo::exists(out) && !c.args.has(QStringLiteral("force"))) {
            cli::err(existsText(out));
            return cli::kUsage;
        }
    }
    // Files are read before anything is sent.
    DeviceEntry imported;
    if (command == QLatin1String("apply")) {
        if (const auto bad = readParameterFile(c, texts, imported)) return *bad;
    }
    TlvCommand tlv;
    if (const auto kind = tlvCommandKind(command)) {
        if (const auto bad = readTlvCommand(c, *kind, tlv, texts.language())) return *bad;
    }
    if (command == QLatin1String("upgrade")) {
        if (const auto bad = readFirmwareOption(c, texts)) return *bad;
    }

    // Only now a socket: bad usage sends nothing and binds nothing.
    ServerCore core(coreOptions(c));
    core.setLanguage(language(c));
    DeviceSearch search(core, c);
    if (!search.run(*mac)) return cli::kFailed;
    const auto index = search.find(*mac);
    const bool needsWhole = command == QLatin1String("export") || command == QLatin1String("apply") ||
                            command == QLatin1String("upgrade");
    if ((!index && search.answeredUnread(*mac)) || (index && needsWhole && !search.readWhole(*index))) {
        cli::err(
            QStringLiteral("pelmar-cli: %1 answered but was not read whole").arg(cli::macText(mac->data())));
        return cli::kFailed;
    }
    if (!index) {
        cli::err(QStringLiteral("pelmar-cli: no server %1 answered").arg(cli::macText(mac->data())));
        return cli::kNotFound;
    }
    if (command == QLatin1String("export")) return exportFile(core.devices().at(*index), c);
    if (command == QLatin1String("apply")) return applyFile(core, *index, imported);
    if (command == QLatin1String("upgrade")) return upgrade(core, *index, c);
    if (command == QLatin1String("wifi-scan"))
        return cli::pelmarWifiScan(core, *index, c.args.has(QStringLiteral("json")));
    if (tlvCommandKind(command)) {
        TlvLink link;
        const DeviceEntry &entry = core.devices().at(*index);
        // A sweep reaches the server at its own address; otherwise the broadcast address.
        link.destination = !c.sweep.isEmpty()       ? QString::fromStdString(entry.addressText)
                           : !c.broadcast.isEmpty() ? c.broadcast
                                                    : QStringLiteral("255.255.255.255");
        link.devicePort = c.devicePort;
        link.adapter = cli::isAllAdapters(c.adapter) ? core.adapterAddressOf(entry) : c.adapter;
        return runTlvCommand(tlv, entry, link, language(c));
    }
    return deviceCommand(core, *index, command == QLatin1String("reset"));
}

// Options every command takes; a usage exit status when one is bad (a
// firmware file that cannot be opened: its own message).
std::optional<int> readOptions(Context &c)
{
    LanguageTable texts;
    texts.fill(language(c));
    const auto fault =
        cli::checkOptions(c.args, QStringLiteral("pelmar-cli"),
                          {{"adapter", cli::OptionKind::Adapter},
                           {"broadcast", cli::OptionKind::Address},
                           {"sweep", cli::OptionKind::Address},
                           {"wait", cli::OptionKind::Milliseconds},
                           {"port", cli::OptionKind::Port},
                           {"local-port", cli::OptionKind::PortOrZero},
                           {"tftp-port", cli::OptionKind::Port},
                           {"lang", cli::OptionKind::Language},
                           {"out", cli::OptionKind::OutputFileOrFolder},
                           {"file", cli::OptionKind::InputFile}},
                          [&](const QString &path) { return path + texts.text(kCannotOpenSlot); });
    if (fault) {
        if (fault->usage) return cli::usage(fault->text, QString::fromUtf8(kHelp));
        cli::err(fault->text);
        return cli::kUsage;
    }
    c.adapter = c.args.value(QStringLiteral("adapter"));
    c.broadcast = c.args.value(QStringLiteral("broadcast"));
    c.sweep = c.args.value(QStringLiteral("sweep"));
    if (!c.broadcast.isEmpty() && !c.sweep.isEmpty())
        return usage(QStringLiteral("--broadcast and --sweep exclude each other"));
    if (c.args.has(QStringLiteral("wait")))
        c.waitMs = *cli::parseMilliseconds(c.args.value(QStringLiteral("wait")));
    const struct
    {
        const char *name;
        quint16 &into;
    } ports[] = {{"port", c.devicePort}, {"local-port", c.localPort}, {"tftp-port", c.tftpPort}};
    for (const auto &p : ports)
        if (c.args.has(QString::fromLatin1(p.name)))
            p.into = *cli::parsePort(c.args.value(QString::fromLatin1(p.name)), true);
    return std::nullopt;
}

} // namespace

int main(int argc, char **argv)
{
    if (kyvo::answerVersion(argc, argv, "pelmar-cli")) return 0;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pelmar"));
    if (!cli::textCodecReady(QStringLiteral("pelmar-cli"))) return cli::kFailed;
    Context c;
    QStringList valueOptions{
        QStringLiteral("adapter"),   QStringLiteral("broadcast"), QStringLiteral("sweep"),
        QStringLiteral("wait"),      QStringLiteral("port"),      QStringLiteral("local-port"),
        QStringLiteral("tftp-port"), QStringLiteral("out"),       QStringLiteral("ini"),
        QStringLiteral("file"),      QStringLiteral("lang"),      QStringLiteral("serial-port"),
        QStringLiteral("in")};
    valueOptions << cli::batchValueOptions(); // --mac among them
    c.args = cli::Arguments::parse(app.arguments(), valueOptions,
                                   QStringList{QStringLiteral("json"), QStringLiteral("csv"),
                                               QStringLiteral("inventory-json"), QStringLiteral("help"),
                                               QStringLiteral("force")}
                                       << cli::batchFlagOptions(),
                                   1);
    if (c.args.has(QStringLiteral("help")) || c.args.command == QLatin1String("help")) {
        cli::out(QString::fromUtf8(kHelp));
        return cli::kOk;
    }
    if (!c.args.error.isEmpty()) return usage(c.args.error);
    if (c.args.command == QLatin1String("monitor"))
        return cli::runPelmarMonitor(c.args, QString::fromUtf8(kHelp));
    if (const auto bad = readOptions(c)) return *bad;
    static const QStringList deviceCommands{QStringLiteral("export"),  QStringLiteral("apply"),
                                            QStringLiteral("restart"), QStringLiteral("reset"),
                                            QStringLiteral("upgrade"), QStringLiteral("wifi-scan")};
    const QString command = c.args.command;
    if (!c.args.words.isEmpty() && !tlvCommandKind(command))
        return usage(QStringLiteral("unexpected argument: %1").arg(c.args.words.value(0)));
    if (command != QLatin1String("search") && !deviceCommands.contains(command) && !tlvCommandKind(command))
        return usage(command.isEmpty() ? QStringLiteral("no command")
                                       : QStringLiteral("unknown command '%1'").arg(command));

    if (command != QLatin1String("search")) return onDevice(c);
    if (const QString conflict = cli::searchFormConflict(c.args); !conflict.isEmpty()) return usage(conflict);
    ServerCore core(coreOptions(c));
    core.setLanguage(language(c));
    DeviceSearch search(core, c);
    if (!search.run()) return cli::kFailed;
    return printSearch(core, search, c);
}

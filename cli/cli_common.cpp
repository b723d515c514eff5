// Command-line helpers.
#include "cli/cli_common.h"

#include "common/adapters.h"
#include "common/ipv4.h"
#include "common/gbk_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#define KYVO_ISATTY _isatty
#define KYVO_FILENO _fileno
#else
#include <unistd.h>
#define KYVO_ISATTY isatty
#define KYVO_FILENO fileno
#endif

namespace cli {

Arguments Arguments::parse(const QStringList &args, const QStringList &valueOptions, const QStringList &flagOptions,
                           int maxWords)
{
    Arguments a;
    for (int i = 1; i < args.size(); ++i) {
        const QString &w = args[i];
        if (!w.startsWith(QLatin1String("--"))) {
            if (a.command.isEmpty()) a.command = w;
            else if (a.words.size() < maxWords) a.words << w;
            else a.error = QStringLiteral("unexpected argument: %1").arg(w);
            continue;
        }
        const QString name = w.mid(2);
        if (flagOptions.contains(name)) {
            a.flags << name;
        } else if (valueOptions.contains(name)) {
            if (i + 1 >= args.size()) {
                a.error = QStringLiteral("option --%1 needs a value").arg(name);
                return a;
            }
            a.options.emplace(name, args[++i]);
        } else {
            a.error = QStringLiteral("unknown option: %1").arg(w);
            return a;
        }
    }
    return a;
}

QString Arguments::value(const QString &name) const
{
    const auto it = options.find(name);
    return it == options.end() ? QString() : it->second;
}

QStringList Arguments::values(const QString &name) const
{
    QStringList list;
    for (auto [it, end] = options.equal_range(name); it != end; ++it) list << it->second;
    return list;
}

std::optional<std::array<std::uint8_t, 6>> parseMac(const QString &text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(':'), QLatin1Char('-'));
    const QStringList parts = t.split(QLatin1Char('-'));
    if (parts.size() != 6) return std::nullopt;
    std::array<std::uint8_t, 6> mac{};
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const uint v = parts[i].toUInt(&ok, 16);
        if (!ok || parts[i].size() != 2 || v > 255) return std::nullopt;
        mac[std::size_t(i)] = std::uint8_t(v);
    }
    return mac;
}

QString macText(const std::uint8_t *m)
{
    return QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", m[0], m[1], m[2], m[3], m[4], m[5]);
}

void waitUntil(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    // processEvents with a time limit returns at once when nothing is pending,
    // so the loop would spin; the tick wakes a blocking wait instead.
    QTimer tick;
    tick.start(10);
    while (!done() && timer.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

std::optional<std::uint16_t> parsePort(const QString &text, bool zeroAllowed)
{
    bool ok = false;
    const uint v = text.toUInt(&ok);
    if (!ok || v > 65535 || (v == 0 && !zeroAllowed)) return std::nullopt;
    return std::uint16_t(v);
}

std::optional<int> parseMilliseconds(const QString &text)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < 0 || text.startsWith(QLatin1Char('+'))) return std::nullopt;
    return v;
}

namespace {

// The reason one option's value breaks its rule, or nothing.
std::optional<OptionFault> checkOption(const QString &option, const QString &value, OptionKind kind,
                                       const std::function<QString(const QString &)> &cannotOpen)
{
    const auto usage = [](const QString &text) { return OptionFault{text, true}; };
    const QFileInfo file(value);
    switch (kind) {
    case OptionKind::Milliseconds:
        if (!parseMilliseconds(value)) return usage(QStringLiteral("%1 takes milliseconds").arg(option));
        break;
    case OptionKind::Port:
    case OptionKind::PortOrZero:
        if (!parsePort(value, kind == OptionKind::PortOrZero))
            return usage(QStringLiteral("bad %1").arg(option));
        break;
    case OptionKind::Address:
        if (!kyvo::parseIpv4(value.toStdString()))
            return usage(QStringLiteral("%1 takes an IPv4 address").arg(option));
        break;
    case OptionKind::Adapter:
        if (!kyvo::parseIpv4(value.toStdString()) && !isAllAdapters(value))
            return usage(QStringLiteral("%1 takes an IPv4 address or all").arg(option));
        break;
    case OptionKind::Language:
        if (value != QLatin1String("en") && value != QLatin1String("zh"))
            return usage(QStringLiteral("%1 takes en or zh").arg(option));
        break;
    case OptionKind::OutputFile:
    case OptionKind::OutputFileOrFolder:
        if (file.isDir()) {
            if (kind == OptionKind::OutputFile) return usage(QStringLiteral("'%1' is a folder").arg(value));
        } else if (value.isEmpty() || !file.absoluteDir().exists()) {
            return usage(QStringLiteral("no folder for '%1'").arg(value));
        }
        break;
    case OptionKind::InputFile:
        if (!file.isFile() || !file.isReadable()) return OptionFault{cannotOpen(value), false};
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<OptionFault> checkOptions(const Arguments &args, const QString &program,
                                        const std::vector<OptionRule> &rules,
                                        const std::function<QString(const QString &)> &cannotOpen)
{
    for (const OptionRule &rule : rules) {
        const QString name = QString::fromLatin1(rule.name);
        for (const QString &value : args.values(name)) {
            if (auto fault = checkOption(QStringLiteral("--") + name, value, rule.kind, cannotOpen)) {
                if (fault->usage) fault->text = program + QStringLiteral(": ") + fault->text;
                return fault;
            }
        }
    }
    return std::nullopt;
}

bool isAllAdapters(const QString &adapter)
{
    return adapter == QLatin1String(kyvo::kAllAdaptersOption);
}

QString cannotBindText(const QString &program, const QString &address, quint16 port)
{
    return QStringLiteral("%1: cannot bind %2:%3")
        .arg(program, address.isEmpty() ? QStringLiteral("0.0.0.0") : address)
        .arg(port);
}

ProgressLine::ProgressLine() : m_terminal(KYVO_ISATTY(KYVO_FILENO(stdout)) != 0) {}

void ProgressLine::show(const QString &text, long long done, long long total)
{
    if (m_terminal) {
        std::fputs((QLatin1Char('\r') + text).toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        m_open = true;
        return;
    }
    const long long tenth = total > 0 ? done * 10 / total : 0;
    if (tenth == m_lastTenth) return;
    m_lastTenth = tenth;
    out(text);
}

void ProgressLine::finish()
{
    if (!m_open) return;
    std::fputc('\n', stdout);
    std::fflush(stdout);
    m_open = false;
}

void out(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool textCodecReady(const QString &program)
{
    const QString problem = kyvo::textCodecProblem(program);
    if (!problem.isEmpty()) err(problem);
    return problem.isEmpty();
}

bool wantsInventory(const Arguments &args)
{
    return args.has(QStringLiteral("csv")) || args.has(QStringLiteral("inventory-json"));
}

void printInventory(const Arguments &args, const std::vector<kyvo::InventoryRow> &rows)
{
    outUtf8(args.has(QStringLiteral("csv")) ? kyvo::inventoryCsv(rows) : kyvo::inventoryJson(rows));
}

QString searchFormConflict(const Arguments &args)
{
    const int forms = int(args.has(QStringLiteral("json"))) + int(args.has(QStringLiteral("csv"))) +
                      int(args.has(QStringLiteral("inventory-json")));
    return forms > 1 ? QStringLiteral("--json, --csv and --inventory-json exclude each other") : QString();
}

void outUtf8(const std::string &text)
{
#ifdef Q_OS_WIN
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void err(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

void reportQueueDrops(const char *program, quint64 answersDropped, quint64 allDropped)
{
    if (answersDropped)
        err(QStringLiteral("%1: %2 answers were dropped (more arrived than could be handled); "
                           "the list may be incomplete")
                .arg(QLatin1String(program))
                .arg(answersDropped));
    if (allDropped > answersDropped)
        err(QStringLiteral("%1: %2 received messages that answer no search were dropped (more arrived "
                           "than could be handled)")
                .arg(QLatin1String(program))
                .arg(allDropped - answersDropped));
}

int usage(const QString &reason, const QString &help)
{
    err(reason);
    err(help.section(QLatin1Char('\n'), 0, 0));
    return kUsage;
}

} // namespace cli

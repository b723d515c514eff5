// Command-line helpers.
#include "cli/cli_common.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace cli {

Arguments Arguments::parse(const QStringList &args, const QStringList &valueOptions, const QStringList &flagOptions)
{
    Arguments a;
    for (int i = 1; i < args.size(); ++i) {
        const QString &w = args[i];
        if (!w.startsWith(QLatin1String("--"))) {
            if (a.command.isEmpty()) a.command = w;
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
    while (!done() && timer.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

void out(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void err(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

int usage(const QString &reason, const QString &help)
{
    err(reason);
    err(help.section(QLatin1Char('\n'), 0, 0));
    return kUsage;
}

} // namespace cli

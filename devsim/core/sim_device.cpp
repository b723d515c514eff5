// MAC texts and knob names of the simulator.
#include "devsim/core/sim_device.h"

#include <QStringList>

namespace devsim {

QString macText(const Mac &mac)
{
    QStringList parts;
    for (std::uint8_t b : mac) parts << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(QLatin1Char('-'));
}

std::optional<Mac> parseMac(const QString &text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(':'), QLatin1Char('-'));
    const QStringList parts = t.split(QLatin1Char('-'));
    if (parts.size() != 6) return std::nullopt;
    Mac mac{};
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        const uint v = parts[i].toUInt(&ok, 16);
        if (!ok || v > 255 || parts[i].size() > 2 || parts[i].isEmpty()) return std::nullopt;
        mac[std::size_t(i)] = std::uint8_t(v);
    }
    return mac;
}

bool Knobs::set(const QString &name, const QString &value)
{
    bool ok = true;
    const auto asBool = [&] { return value == QLatin1String("1") || value == QLatin1String("true") || value == QLatin1String("on"); };
    if (name == QLatin1String("silent")) silent = asBool();
    else if (name == QLatin1String("delay")) delayMs = value.toInt(&ok);
    else if (name == QLatin1String("jitter")) jitterMs = value.toInt(&ok);
    else if (name == QLatin1String("gap")) fragmentGapMs = value.toInt(&ok);
    else if (name == QLatin1String("drop")) dropRate = value.toDouble(&ok);
    else if (name == QLatin1String("drop-every")) dropEvery = value.toInt(&ok);
    else if (name == QLatin1String("duplicate")) duplicateRate = value.toDouble(&ok);
    else if (name == QLatin1String("corrupt")) corruptRate = value.toDouble(&ok);
    else if (name == QLatin1String("broadcast")) answerBroadcast = asBool();
    else if (name == QLatin1String("refuse")) refuse = asBool();
    else {
        const int v = value.toInt(&ok);
        if (ok) extra[name] = v;
    }
    return ok;
}

} // namespace devsim

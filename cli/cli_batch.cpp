// The batch selection and the batch run of the command-line tools.
#include "cli/cli_batch.h"

#include "common/inventory.h"
#include "common/ipv4.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace cli {

namespace {

constexpr int kMaxParallel = 256;

struct Subnet
{
    std::uint32_t network = 0, mask = 0;
    bool contains(std::uint32_t address) const { return (address & mask) == network; }
};

std::optional<Subnet> parseSubnet(const QString &text)
{
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0) return std::nullopt;
    const auto address = kyvo::parseIpv4(text.left(slash).toStdString());
    const QString bitsText = text.mid(slash + 1);
    bool ok = false;
    const int bits = bitsText.toInt(&ok);
    if (!address || !ok || bits < 0 || bits > 32 || bitsText.startsWith(QLatin1Char('+')))
        return std::nullopt;
    const std::uint32_t mask = bits == 0 ? 0 : ~std::uint32_t(0) << (32 - bits);
    return Subnet{*address & mask, mask};
}

// The wildcard conversion treats '/' (and '\' on Windows) as a path separator
// that '*' and '?' never match; models and versions are no paths.
QString withoutSeparators(QString text)
{
    text.replace(QLatin1Char('/'), QChar(0x1F));
    text.replace(QLatin1Char('\\'), QChar(0x1E));
    return text;
}

bool matchesPattern(const QString &pattern, const QString &text)
{
    if (pattern.isEmpty()) return true;
    const QRegularExpression rx(QRegularExpression::wildcardToRegularExpression(withoutSeparators(pattern)),
                                QRegularExpression::CaseInsensitiveOption);
    return rx.match(withoutSeparators(text)).hasMatch();
}

bool matchesAll(const BatchSelection &s, const std::optional<Subnet> &subnet, const BatchCandidate &c)
{
    if (!matchesPattern(s.model, c.model) || !matchesPattern(s.version, c.version)) return false;
    if (!subnet) return true;
    const auto address = kyvo::parseIpv4(c.address.toStdString());
    return address && subnet->contains(*address);
}

QString normalMac(const QString &text)
{
    const auto mac = parseMac(text);
    return mac ? macText(mac->data()) : text;
}

std::optional<QString> readMacs(const Arguments &args, QStringList &into)
{
    for (const QString &text : args.values(QStringLiteral("mac"))) {
        const auto mac = parseMac(text);
        if (!mac) return QStringLiteral("--mac takes a MAC such as 00-4B-59-0A-4D-07, not '%1'").arg(text);
        const QString normal = macText(mac->data());
        if (!into.contains(normal)) into << normal;
    }
    return std::nullopt;
}

std::optional<QString> readParallel(const Arguments &args, int &into)
{
    if (!args.has(QStringLiteral("parallel"))) return std::nullopt;
    const QString text = args.value(QStringLiteral("parallel"));
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1 || n > kMaxParallel || text.startsWith(QLatin1Char('+')))
        return QStringLiteral("--parallel takes a number from 1 to %1").arg(kMaxParallel);
    into = n;
    return std::nullopt;
}

const char *outcomeWord(const kyvo::BatchRunner::Row &row)
{
    return row.state == kyvo::BatchRunner::State::Done ? "ok" : "failed";
}

} // namespace

bool BatchSelection::many() const
{
    return all || macs.size() > 1;
}

QStringList batchValueOptions()
{
    return {QStringLiteral("mac"), QStringLiteral("model"), QStringLiteral("version"),
            QStringLiteral("subnet"), QStringLiteral("parallel")};
}

QStringList batchFlagOptions()
{
    return {QStringLiteral("all")};
}

bool wantsBatch(const Arguments &args)
{
    if (args.values(QStringLiteral("mac")).size() > 1) return true;
    for (const QString &name : batchValueOptions() + batchFlagOptions())
        if (name != QLatin1String("mac") && args.has(name)) return true;
    return false;
}

std::optional<QString> readBatchSelection(const Arguments &args, BatchSelection &into)
{
    BatchSelection s;
    if (auto bad = readMacs(args, s.macs)) return bad;
    if (auto bad = readParallel(args, s.parallel)) return bad;
    s.all = args.has(QStringLiteral("all"));
    s.model = args.value(QStringLiteral("model"));
    s.version = args.value(QStringLiteral("version"));
    s.subnet = args.value(QStringLiteral("subnet"));
    s.json = args.has(QStringLiteral("json"));
    if (args.has(QStringLiteral("subnet")) && !parseSubnet(s.subnet))
        return QStringLiteral("--subnet takes A.B.C.D/N with N from 0 to 32");
    if (s.all && !s.macs.isEmpty()) return QStringLiteral("--mac and --all exclude each other");
    if (!s.all && s.macs.isEmpty())
        return QStringLiteral("name the devices: --mac MAC (repeatable) or --all");
    const bool narrowed = args.has(QStringLiteral("model")) || args.has(QStringLiteral("version")) ||
                          args.has(QStringLiteral("subnet"));
    if (narrowed && !s.all) return QStringLiteral("--model, --version and --subnet narrow --all");
    if (args.has(QStringLiteral("parallel")) && !s.many())
        return QStringLiteral("--parallel runs many devices: --mac more than once, or --all");
    into = s;
    return std::nullopt;
}

BatchChoice chooseDevices(const BatchSelection &s, const std::vector<BatchCandidate> &candidates)
{
    BatchChoice choice;
    if (s.all) {
        const auto subnet = s.subnet.isEmpty() ? std::nullopt : parseSubnet(s.subnet);
        for (std::size_t i = 0; i < candidates.size(); ++i)
            if (matchesAll(s, subnet, candidates[i])) choice.indexes.push_back(i);
        return choice;
    }
    for (const QString &mac : s.macs) {
        const auto it = std::find_if(candidates.begin(), candidates.end(),
                                     [&](const BatchCandidate &c) { return normalMac(c.mac) == mac; });
        if (it != candidates.end())
            choice.indexes.push_back(std::size_t(it - candidates.begin()));
        else
            choice.missingMacs << mac;
    }
    return choice;
}

QString batchRowLine(const BatchCandidate &row, const QString &operation,
                     const kyvo::BatchRunner::Row &outcome, bool json)
{
    const QString text = QString::fromStdString(outcome.text);
    if (!json)
        return QStringList{row.address, row.mac, row.model, operation, QLatin1String(outcomeWord(outcome)),
                           text}
            .join(QLatin1Char('\t'));
    const auto field = [](const char *name, const QString &value) {
        return QString::fromUtf8(kyvo::jsonString(name) + ':' + kyvo::jsonString(value.toStdString()));
    };
    const bool ok = outcome.state == kyvo::BatchRunner::State::Done;
    return QLatin1Char('{') +
           QStringList{field("address", row.address),
                       field("mac", row.mac),
                       field("model", row.model),
                       field("operation", operation),
                       QStringLiteral("\"ok\":") + (ok ? QStringLiteral("true") : QStringLiteral("false")),
                       field("text", text)}
               .join(QLatin1Char(',')) +
           QLatin1Char('}');
}

int runBatch(const std::vector<BatchCandidate> &rows, const QString &operation, const BatchSelection &s,
             const std::function<void(std::size_t row, kyvo::BatchRunner &)> &start)
{
    return runBatch(rows, operation, s, start, 0);
}

int runBatch(const std::vector<BatchCandidate> &rows, const QString &operation, const BatchSelection &s,
             const std::function<void(std::size_t row, kyvo::BatchRunner &)> &start, std::size_t leftOut)
{
    kyvo::BatchRunner runner(rows.size(), std::size_t(s.parallel),
                             [&](std::size_t row) { start(row, runner); });
    runner.setOnChanged([&](std::size_t row) {
        const kyvo::BatchRunner::Row &r = runner.row(row);
        if (r.state != kyvo::BatchRunner::State::Done && r.state != kyvo::BatchRunner::State::Failed) return;
        const QString line = batchRowLine(rows[row], operation, r, s.json);
        if (s.json)
            outUtf8(line.toStdString() + '\n');
        else
            out(line);
    });
    runner.run();
    // Each device's operation ends by its own time-outs, so the batch ends too.
    waitUntil([&] { return runner.finished(); }, std::numeric_limits<int>::max());
    const kyvo::BatchRunner::Summary sum = runner.summary();
    const std::size_t named = rows.size() + leftOut;
    const QString summary =
        QStringLiteral("%1 devices: %2 succeeded, %3 failed").arg(named).arg(sum.done).arg(named - sum.done);
    if (runner.allSucceeded() && leftOut == 0) {
        out(summary);
        return kOk;
    }
    err(summary);
    return kFailed;
}

} // namespace cli

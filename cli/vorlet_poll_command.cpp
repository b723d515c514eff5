// vorlet-cli poll: show a gateway's polling table, apply one from a file.
#include "cli/vorlet_poll_command.h"

#include "common/fixed_field.h"
#include "common/gbk_text.h"
#include "vorlet/io/poll/poll_text.h"
#include "vorlet/io/poll/poll_text_form.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vorlet {

namespace {

using namespace poll;

constexpr qint64 kMaxFileBytes = 1 << 20; // far beyond 256 lines of text

QString problemText(const TextProblem &p)
{
    const QString piece = QString::fromLocal8Bit(p.piece.c_str());
    switch (p.kind) {
    case TextProblem::Kind::ShortLine:
        return QStringLiteral("shorter than 11 characters");
    case TextProblem::Kind::BadPiece:
        return QStringLiteral("'%1' is not key=value").arg(piece);
    case TextProblem::Kind::UnknownKey:
        return QStringLiteral("unknown key in '%1'").arg(piece);
    case TextProblem::Kind::OverLimit:
        return QStringLiteral("more than %1 entries").arg(kMaxEntries);
    }
    return {};
}

QJsonValue address(long a)
{
    return a < 0 ? QJsonValue() : QJsonValue(qint64(a));
}

QJsonObject tableJson(const ParameterRecord &r, NameEncoding encoding)
{
    const PollBlock &p = r.poll;
    const QByteArrayView prefix(p.prefix, qsizetype(kyvo::fieldTextLength(p.prefix)));
    const QJsonObject settings{{QStringLiteral("pollInterval"), p.pollIntervalMs.get()},
                               {QStringLiteral("timeout"), p.responseTimeoutMs.get()},
                               {QStringLiteral("commandDelay"), p.commandDelayMs.get()},
                               {QStringLiteral("mappingAddress"), p.mappingAddress.get()},
                               {QStringLiteral("timedUpload"), qint64(p.timedUploadMs.get())},
                               {QStringLiteral("changeUpload"), p.changeUpload},
                               {QStringLiteral("timeoutHandling"), p.timeoutHandling},
                               {QStringLiteral("uploadFormat"), p.uploadFormat},
                               {QStringLiteral("asArray"), p.asArray},
                               {QStringLiteral("prefix"), encoding == NameEncoding::Utf8
                                                              ? QString::fromUtf8(prefix)
                                                              : kyvo::fromGbk(prefix)},
                               {QStringLiteral("uploadChannel"), p.uploadChannel},
                               {QStringLiteral("writeReply"), p.writeReply}};
    QJsonArray entries;
    const std::vector<CacheAddress> addresses = cacheAddresses(p);
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const PollEntry &e = p.entries[i];
        entries.append(QJsonObject{
            {QStringLiteral("addr"), e.address},
            {QStringLiteral("fun"), e.function},
            {QStringLiteral("regAddr"), e.startRegister.get()},
            {QStringLiteral("regNum"), e.registerCount},
            {QStringLiteral("dataType"), e.dataType},
            {QStringLiteral("dataTypeName"), QString::fromStdString(std::string(dataTypeName(e.dataType)))},
            {QStringLiteral("json"), nameText(e, encoding)},
            {QStringLiteral("th1"), std::int32_t(e.threshold1.get())},
            {QStringLiteral("th2"), std::int32_t(e.threshold2.get())},
            {QStringLiteral("k"), QString::fromStdString(scaleText(e.scaleK)).toDouble()},
            {QStringLiteral("b"), QString::fromStdString(offsetText(e.offsetB)).toDouble()},
            {QStringLiteral("emg"), e.urgent},
            {QStringLiteral("cache"), qint64(addresses[i].byteAddress)},
            {QStringLiteral("cache02"), address(addresses[i].discrete02)},
            {QStringLiteral("cache01"), address(addresses[i].coil01)}});
    }
    return {{QStringLiteral("mac"), cli::macText(r.mac)},
            {QStringLiteral("settings"), settings},
            {QStringLiteral("entries"), entries}};
}

int show(const ParameterRecord &r, const cli::Arguments &args, NameEncoding encoding)
{
    if (args.has(QStringLiteral("json"))) {
        cli::out(QString::fromUtf8(QJsonDocument(tableJson(r, encoding)).toJson(QJsonDocument::Indented))
                     .trimmed());
        return cli::kOk;
    }
    const QString text = textForm(r.poll, encoding);
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        cli::out(line);
    return cli::kOk;
}

// The file's entries, or the exit status of a file that cannot be used.
std::variant<std::vector<PollEntry>, int> readTable(const QString &path, NameEncoding encoding,
                                                    const PollCommandHooks &hooks)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return hooks.usage(QStringLiteral("vorlet-cli: cannot read '%1'").arg(path));
    if (file.size() > kMaxFileBytes)
        return hooks.usage(QStringLiteral("vorlet-cli: '%1' is larger than a polling table").arg(path));
    const QByteArray bytes = textFormBytes(QString::fromLocal8Bit(file.readAll()), encoding);
    const ParsedText parsed = parseTableText(
        kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())),
        encoding);
    for (const TextProblem &p : parsed.problems)
        cli::err(QStringLiteral("%1:%2: %3").arg(path).arg(p.line).arg(problemText(p)));
    if (!parsed.problems.empty()) return int(cli::kUsage);
    return parsed.entries;
}

} // namespace

int runPollCommand(const cli::Arguments &args, GatewayCore &core, const PollCommandHooks &hooks)
{
    const QString verb = args.words.value(0);
    const bool apply = verb == QLatin1String("apply");
    if (!apply && verb != QLatin1String("show"))
        return hooks.usage(QStringLiteral("vorlet-cli: poll takes show or apply"));
    if (args.words.size() != (apply ? 2 : 1))
        return hooks.usage(apply ? QStringLiteral("vorlet-cli: poll apply needs one FILE")
                                 : QStringLiteral("vorlet-cli: poll show takes no file"));
    const auto mac = cli::parseMac(args.value(QStringLiteral("mac")));
    if (!mac) return hooks.usage(QStringLiteral("vorlet-cli: --mac needs a MAC such as 00-4B-59-0A-4D-07"));
    const NameEncoding encoding = hooks.utf8Names ? NameEncoding::Utf8 : NameEncoding::Gbk;
    // The file is checked whole before anything is sent.
    std::vector<PollEntry> entries;
    if (apply) {
        auto table = readTable(args.words.at(1), encoding, hooks);
        if (const int *status = std::get_if<int>(&table)) return *status;
        entries = std::move(std::get<std::vector<PollEntry>>(table));
    }
    if (!hooks.search()) return cli::kFailed;
    const std::size_t index = core.devices().findByMac(*mac);
    if (index == core.devices().count()) {
        cli::err(QStringLiteral("vorlet-cli: no gateway %1 answered").arg(cli::macText(mac->data())));
        return cli::kNotFound;
    }
    ParameterRecord &r = core.devices().at(index);
    if (hasCanPort(r)) {
        cli::err(QStringLiteral("vorlet-cli: gateway %1 has a CAN port and no polling table")
                     .arg(cli::macText(mac->data())));
        return cli::kFailed;
    }
    if (!apply) return show(r, args, encoding);
    storeEntries(r.poll, entries);
    return hooks.save(r);
}

} // namespace vorlet

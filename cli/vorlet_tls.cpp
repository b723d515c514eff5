// vorlet-cli tls upload: the CA file and the optional client certificate and
// key as one bundle to the gateway, confirmed by its acknowledgement.
#include "cli/vorlet_context.h"

#include "vorlet/services/tls_bundle.h"
#include "vorlet/ui/device_commands.h"

#include <QFile>

#include <optional>

namespace vorlet::cli_tool {

namespace {

constexpr int kTlsDialog = 161; // the outcome texts are the dialog's

// The files as the dialog imports them; an error text when one is refused.
std::optional<Bytes> readBundle(const Context &c, QString &error)
{
    Bytes parts[3];
    const char *const names[] = {"ca", "cert", "key"};
    for (int i = 0; i < 3; ++i) {
        const QString path = c.args.value(QString::fromLatin1(names[i]));
        if (path.isEmpty()) continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("%1: open failed").arg(path);
            return std::nullopt;
        }
        const QByteArray data = file.read(qint64(kTlsImportLimit) + 1);
        if (std::size_t(data.size()) > kTlsImportLimit) {
            error = QStringLiteral("%1: file is huge!!!").arg(path);
            return std::nullopt;
        }
        parts[i].assign(data.begin(), data.end());
    }
    Bytes bundle = tlsBundle(parts[0], parts[1], parts[2]);
    if (bundle.size() > kTlsBundleCapacity) {
        error = QStringLiteral("the TLS files make %1 bytes, more than the device's %2 bytes")
                    .arg(bundle.size())
                    .arg(kTlsBundleCapacity);
        return std::nullopt;
    }
    return bundle;
}

int check(const Context &c)
{
    if (c.args.words != QStringList{QStringLiteral("upload")})
        return usageError(QStringLiteral("vorlet-cli: tls takes upload"));
    if (c.args.value(QStringLiteral("ca")).isEmpty())
        return usageError(QStringLiteral("vorlet-cli: tls upload needs --ca F"));
    QString error;
    if (!readBundle(c, error)) return usageError(QStringLiteral("vorlet-cli: ") + error);
    // A local search addresses the gateway by broadcast: a key would reach every host of the segment.
    if (c.ranges.empty() && c.args.has(QStringLiteral("key")) &&
        !c.args.has(QStringLiteral("allow-broadcast")))
        return usageError(
            QStringLiteral("vorlet-cli: without --range the upload is a broadcast that every host on "
                           "the network segment receives; give --allow-broadcast to send the key so"));
    return cli::kOk;
}

int run(GatewayCore &core, const Context &c, ParameterRecord &r)
{
    QString error;
    const std::optional<Bytes> bundle = readBundle(c, error);
    if (!bundle) return usageError(QStringLiteral("vorlet-cli: ") + error);
    storeTlsBundle(r, *bundle);
    const bool done = waitForAcknowledgement(core, tlsUploadMessage(core.scope(), recordMac(r.mac), *bundle),
                                             r, int(kTlsTickLimit.count()));
    cli::out(c.language.translate(kTlsDialog, done ? "保存成功" : "保存失败"));
    return done ? cli::kOk : cli::kFailed;
}

} // namespace

DeviceCommand tlsCommand()
{
    return {"tls", check, run};
}

} // namespace vorlet::cli_tool

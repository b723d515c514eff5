// vorlet-cli custom-defaults save|clear: the gateway takes its current
// parameters as its customised factory set, or clears that set.
#include "cli/vorlet_context.h"

#include "vorlet/maintenance/maintenance_messages.h"
#include "vorlet/maintenance/maintenance_timers.h"
#include "vorlet/ui/device_commands.h"

#include <QDateTime>

namespace vorlet::cli_tool {

namespace {

constexpr int kCustomDefaultsDialog = 145; // its texts are the dialog's

int check(const Context &c)
{
    if (c.args.words.size() != 1 ||
        (c.args.words[0] != QLatin1String("save") && c.args.words[0] != QLatin1String("clear")))
        return usageError(QStringLiteral("vorlet-cli: custom-defaults takes save or clear"));
    return cli::kOk;
}

int run(GatewayCore &core, const Context &c, ParameterRecord &r)
{
    const QDateTime t = QDateTime::currentDateTime();
    const std::string time = customTimeText(t.date().year(), t.date().month(), t.date().day(),
                                            t.time().hour(), t.time().minute(), t.time().second());
    const bool save = c.args.words[0] == QLatin1String("save");
    const bool done =
        waitForAcknowledgement(core, customDefaultsMessage(core.scope(), recordMac(r.mac), save, time), r,
                               int(kCustomAckLimit.count()));
    cli::out(c.language.translate(kCustomDefaultsDialog, done ? "操作成功" : "操作失败"));
    return done ? cli::kOk : cli::kFailed;
}

} // namespace

DeviceCommand customDefaultsCommand()
{
    return {"custom-defaults", check, run};
}

} // namespace vorlet::cli_tool

// The NTP dialog and the way the window opens it.
#include "vorlet/services/text_fields_dialog.h"

#include "panel_bench.h"

#include <QLabel>

#include <memory>

using namespace vorlet;
using namespace servicetest;

namespace {

std::unique_ptr<ParameterRecord> recordWithServer(const char *server)
{
    auto r = std::make_unique<ParameterRecord>();
    std::memset(r.get(), 0, sizeof *r);
    kyvo::setFieldText(r->ntpServer, server);
    return r;
}

} // namespace

TEST(NtpDialog, ShowsTheServerAndStoresItCutOnConfirm)
{
    auto r = recordWithServer("ntp.example.net");
    std::unique_ptr<TextFieldsDialog> dialog(newNtpDialog(*r, Language(), nullptr));
    EXPECT_EQ(dialog->edit(0)->text(), QStringLiteral("ntp.example.net"));
    EXPECT_EQ(control<QLabel>(dialog.get(), kNtpServerLabel)->text(), u("NTP首选服务器"));
    dialog->edit(0)->setText(QString(100, QLatin1Char('n')));
    EXPECT_EQ(fieldBytes(r->ntpServer), QByteArray("ntp.example.net")); // not before "确定"
    control<QPushButton>(dialog.get(), kDialogOk)->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(fieldBytes(r->ntpServer), QByteArray(63, 'n'));
    EXPECT_EQ(r->ntpServer[63], 0);
    EXPECT_EQ(r->webSwitch, 0); // the next field is untouched
}

TEST(NtpDialog, AnEmptyEditClearsTheServer)
{
    auto r = recordWithServer("pool.example.org");
    PanelBench t;
    t.typeAndConfirm({QString()});
    ServiceOptions options;
    options.runDialog = t.context->options().runDialog;
    EXPECT_TRUE(runNtpDialog(*r, Language(), nullptr, options));
    EXPECT_TRUE(allZeroFrom(r->ntpServer, 0));
}

TEST(NtpDialog, EnglishCaptions)
{
    auto r = recordWithServer("");
    std::unique_ptr<TextFieldsDialog> dialog(newNtpDialog(*r, Language('e'), nullptr));
    EXPECT_EQ(control<QLabel>(dialog.get(), kNtpServerLabel)->text(), QStringLiteral("NTP Server"));
    EXPECT_EQ(control<QPushButton>(dialog.get(), kDialogOk)->text(), QStringLiteral("OK"));
}

// The program's window: the firmware upgrade behind "固件升级" and the
// service panels in the channel places, the CAN panel in the serial group.
#include "vorlet/app/app_options.h"

#include "tests/vorlet/ui/window_fixture.h"
#include "vorlet/maintenance/fota_dialog.h"

#include <QLineEdit>
#include <QPushButton>

using namespace vorlet;
using namespace uitest;

TEST(ProgramOptions, TheFirmwareButtonOpensTheUpgradeForTheSelectedGateway)
{
    WindowOptions o;
    o.gateways = {gateway(5), gateway(6)};
    o.configure = addFirmwareUpgrade;
    WindowBench b(o);
    auto *firmware = b.control<QPushButton>(kFirmwareButton);
    EXPECT_TRUE(firmware->isEnabled());
    firmware->click();
    EXPECT_EQ(b.window->statusText(), u("请选择一个设备"));
    EXPECT_EQ(b.window->findChild<FotaDialog *>(), nullptr);

    ASSERT_TRUE(b.search());
    b.select(0);
    firmware->click();
    auto *dialog = b.window->findChild<FotaDialog *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    // The dialog addresses the gateway the row shows.
    bool shown = false;
    for (QLineEdit *edit : dialog->findChildren<QLineEdit *>())
        shown |= edit->text().contains(QStringLiteral("127.0.0.5"));
    EXPECT_TRUE(shown);
    dialog->reject();
}

TEST(ProgramOptions, TheProgramsWindowHasItsChannelPanels)
{
    const CvorletDlg::Options options = programOptions();
    EXPECT_TRUE(options.panels.channel);
    EXPECT_TRUE(options.panels.can);
    EXPECT_EQ(options.extensions.count(kFirmwareButton), 1u);
    EXPECT_EQ(options.extensions.count(1058), 1u); // the NTP dialog
    EXPECT_EQ(options.extensions.count(1055), 1u); // the Modbus polling table
    for (int control : {32779, 1004, 1054, 1057}) // vip, devinfo, wifisouch, tls
        EXPECT_EQ(options.extensions.count(control), 1u) << control;
}

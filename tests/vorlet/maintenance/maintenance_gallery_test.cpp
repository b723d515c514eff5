// The gallery of the maintenance dialogs and the TLS dialog: vip, devinfo,
// wifisouch and tls in both languages with their hidden controls shown, each
// fitting a 1366x768 screen.
#include "vorlet/maintenance/devinfo_dialog.h"
#include "vorlet/maintenance/vip_dialog.h"
#include "vorlet/maintenance/wifisouch_dialog.h"
#include "vorlet/services/tls_dialog.h"

#include "tests/support/gallery.h"
#include "vorlet/lang/language.h"
#include "vorlet/record/parameter_record.h"

#include <QTableWidget>

#include <cstring>
#include <memory>

using namespace vorlet;

namespace {

std::unique_ptr<ParameterRecord> sampleRecord()
{
    auto r = std::make_unique<ParameterRecord>();
    r->customDefaults[0] = 0x88;
    r->customDefaults[1] = 1;
    std::memcpy(r->customDefaults + 8, "2026-12-09 08:05:03", 19);
    r->uptimeS = 190061;
    r->totalMemory = 2097152;
    r->freeMemory = 1048576;
    r->partition = 16;
    r->ethernetSpeed = 1;
    r->duplex = 1;
    r->resetReason = 3;
    for (int i = 0; i < 9; ++i) {
        r->identity[i] = std::uint8_t(0x31 * i);
        r->netCounters[i] = std::uint32_t(1000 * (i + 1));
    }
    std::memcpy(r->deviceName, "\xd2\xbb\xba\xc5\xb3\xb5\xbc\xe4", 8); // GBK
    std::memcpy(r->infoText, "cpu: 12%\r\ntasks: 9\r\n", 20);
    const char scan[] =
        "KYVO-Office`d8c8e9a1b2c3`-41`3;办公室WiFi`5c02147e9a10`-55`4;访客网络`5c02147e9a11`-67`0";
    std::memcpy(r->wifiExtension, scan, sizeof scan - 1);
    r->certChecks[0] = 0x1A2B;
    r->certChecks[1] = 0x3C4D;
    r->certChecks[2] = 0x5E6F;
    return r;
}

void shoot(QDialog &dialog, const char *name, const Language &language, const char *chinese,
           const char *english)
{
    dialog.show();
    dialog.adjustSize();
    EXPECT_LE(dialog.width(), 1366) << name;
    EXPECT_LE(dialog.height(), 728) << name; // the work area above a task bar
    testsupport::shoot(&dialog,
                       QStringLiteral("%1-%2").arg(QLatin1String(name), language.isEnglish()
                                                                            ? QStringLiteral("en")
                                                                            : QStringLiteral("zh")),
                       language.isEnglish() ? english : chinese);
}

} // namespace

TEST(MaintenanceGallery, TheFourDialogsInBothLanguages)
{
    auto record = sampleRecord();
    for (const Language &language : {Language('c'), Language('e')}) {
        kyvo::ManualClock clock;
        DeviceDialogEnvironment env;
        env.language = &language;
        env.clock = &clock;
        env.message = [](QWidget *, const QString &) {};
        vip::statusClicks() = vip::kRevealClicks;
        vip custom(*record, env);
        shoot(custom, "vip", language, "将当前的参数保存为定制参数", "Cur param to Custom param");
        devinfo::uptimeClicks() = devinfo::kRevealClicks;
        devinfo info(*record, env);
        info.setQuerying(true);
        clock.advance(kyvo::Millis{1000});
        info.poll();
        shoot(info, "devinfo", language, "设备名称", "Device Name");
        wifisouch scan(*record, env);
        scan.scan();
        std::memcpy(record->wifiExtension, sampleRecord()->wifiExtension, sizeof record->wifiExtension);
        clock.advance(kyvo::Millis{1000});
        scan.poll();
        EXPECT_EQ(scan.list()->rowCount(), 3);
        shoot(scan, "wifisouch", language, "搜索附近的热点", "Search  ap");
        tls certificates(*record, env);
        shoot(certificates, "tls", language, "导入 CA 文件", "Import CA file (required)");
    }
}

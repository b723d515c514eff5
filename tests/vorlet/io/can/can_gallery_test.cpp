// The gallery of the CAN settings: the main window with the CAN panel, the
// panel itself and each of its dialogs in Chinese and English, as PNG files
// under the build folder; each dialog fits a 1366x768 screen's work area.
#include "vorlet/io/can/can_wiring.h"

#include "tests/support/gallery.h"
#include "tests/vorlet/ui/window_fixture.h"
#include "vorlet/io/can/can_timing.h"
#include "vorlet/io/can/canbitrate.h"
#include "vorlet/io/can/dcan.h"

#include <QLabel>

using namespace vorlet;
using namespace vorlet::can;
using namespace uitest;

namespace {

// A 1366x768 screen less a taskbar.
constexpr int kWorkWidth = 1366;
constexpr int kWorkHeight = 728;

void shootFitting(QWidget *widget, const QString &name, const char *caption)
{
    widget->show();
    QCoreApplication::processEvents();
    EXPECT_LE(widget->frameGeometry().width(), kWorkWidth) << name.toStdString();
    EXPECT_LE(widget->frameGeometry().height(), kWorkHeight) << name.toStdString();
    testsupport::shoot(widget, name, caption, 5);
}

} // namespace

TEST(CanGallery, PanelAndDialogsInBothLanguages)
{
    WindowOptions o;
    o.gateways = {gateway(6, true, false)};
    o.panels = false;
    o.configure = [](CvorletDlg::Options &w) { addCanPanel(w); };
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    for (const char *language : {"zh", "en"}) {
        const QString suffix = QLatin1String(language);
        auto *panel = dynamic_cast<dcan *>(b.window->placedCanPanel());
        ASSERT_NE(panel, nullptr);
        qobject_cast<QComboBox *>(findControl(panel, dcancontrol::kBitRate))->setCurrentIndex(kCustomBitRate);
        const bool english = b.window->language().isEnglish();
        testsupport::shoot(b.window.get(), QStringLiteral("main-dcan-%1").arg(suffix),
                           english ? "SAVE" : "保存");
        testsupport::shoot(panel, QStringLiteral("dcan-%1").arg(suffix), english ? "Baudrate" : "波特率", 5);

        struct Shot
        {
            void (dcan::*open)();
            const char *name;
            const char *chinese; // a caption the dialog shows
            const char *english;
        };
        const Shot dialogs[] = {{&dcan::openBitRate, "canbitrate", "期望波特率", "Set Baudrate"},
                                {&dcan::openHardwareFilter, "canhf", "扩展帧", "Extended Frame"},
                                {&dcan::openSmartFilters, "cansf", "逻辑", "Logic"},
                                {&dcan::openSenders, "cansend", "发送器", "Send:Cycle"},
                                {&dcan::openFormatHelp, "caninfo", "查看详细格式", "Desc"}};
        for (const auto &[open, name, chinese, english] : dialogs) {
            (panel->*open)();
            QDialog *dialog = panel->openDialog();
            ASSERT_NE(dialog, nullptr) << name;
            // The bit-timing dialog in its long form, with every field.
            if (auto *rate = dynamic_cast<canbitrate *>(dialog))
                Q_EMIT qobject_cast<QLabel *>(findControl(rate, bitratecontrol::kMore))->linkActivated({});
            dialog->adjustSize();
            shootFitting(dialog, QStringLiteral("%1-%2").arg(QLatin1String(name), suffix),
                         b.window->language().isEnglish() ? english : chinese);
            dialog->reject();
        }
        b.window->toggleLanguage();
    }
    EXPECT_TRUE(QFile::exists(testsupport::galleryDir() + QStringLiteral("/cansend-en.png")));
}

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

void shootFitting(QWidget *widget, const QString &name)
{
    widget->show();
    QCoreApplication::processEvents();
    EXPECT_LE(widget->frameGeometry().width(), kWorkWidth) << name.toStdString();
    EXPECT_LE(widget->frameGeometry().height(), kWorkHeight) << name.toStdString();
    testsupport::shoot(widget, name, 5);
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
        testsupport::shoot(b.window.get(), QStringLiteral("main-dcan-%1").arg(suffix));
        testsupport::shoot(panel, QStringLiteral("dcan-%1").arg(suffix), 5);

        const std::pair<void (dcan::*)(), const char *> dialogs[] = {{&dcan::openBitRate, "canbitrate"},
                                                                     {&dcan::openHardwareFilter, "canhf"},
                                                                     {&dcan::openSmartFilters, "cansf"},
                                                                     {&dcan::openSenders, "cansend"},
                                                                     {&dcan::openFormatHelp, "caninfo"}};
        for (const auto &[open, name] : dialogs) {
            (panel->*open)();
            QDialog *dialog = panel->openDialog();
            ASSERT_NE(dialog, nullptr) << name;
            // The bit-timing dialog in its long form, with every field.
            if (auto *rate = dynamic_cast<canbitrate *>(dialog))
                Q_EMIT qobject_cast<QLabel *>(findControl(rate, bitratecontrol::kMore))->linkActivated({});
            dialog->adjustSize();
            shootFitting(dialog, QStringLiteral("%1-%2").arg(QLatin1String(name), suffix));
            dialog->reject();
        }
        b.window->toggleLanguage();
    }
    EXPECT_TRUE(QFile::exists(testsupport::galleryDir() + QStringLiteral("/cansend-en.png")));
}

// The CAN panel in the main window against a simulated CAN gateway on
// loopback: every field the panel and its dialogs edit reaches the gateway
// byte for byte with the save, the gateway keeps its own counters, and a new
// search shows what was saved.
#include "vorlet/io/can/can_wiring.h"

#include "can_save_script.h"
#include "tests/vorlet/ui/window_fixture.h"
#include "vorlet/record/save_request.h"

using namespace vorlet;
using namespace vorlet::can;
using namespace uitest;
using testsupport::waitFor;

TEST(CanWindow, EveryFieldThePanelAndItsDialogsEditReachesTheGateway)
{
    WindowOptions o;
    o.gateways = {gateway(6, true, false)};
    o.panels = false;
    o.configure = [](CvorletDlg::Options &w) { addCanPanel(w); };
    WindowBench b(o);
    ASSERT_TRUE(b.search());
    auto *panel = dynamic_cast<dcan *>(b.window->placedCanPanel());
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isVisible());
    cantest::editEveryField(panel);

    b.window->saveParameters();
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "saves") == 1; }));
    const QByteArray item = b.item(0, "5A");
    cantest::expectSavedItem(item);
    // And everything else as the record holds it.
    const kyvo::Bytes sent = canSettingsValue(b.record(0));
    EXPECT_EQ(item.left(275),
              QByteArray(reinterpret_cast<const char *>(sent.data()), qsizetype(sent.size())));

    ASSERT_TRUE(b.search());
    panel = dynamic_cast<dcan *>(b.window->placedCanPanel());
    ASSERT_NE(panel, nullptr);
    using namespace dcancontrol;
    EXPECT_EQ(cantest::control<QComboBox>(panel, kBitRate)->currentIndex(), kCustomBitRate);
    EXPECT_EQ(cantest::control<QLabel>(panel, kCustomRate)->text(), QStringLiteral("640.000 k"));
    EXPECT_EQ(panel->block().acceptanceMask.get(), 0xFF00u);
    EXPECT_TRUE(b.boxTexts().isEmpty());
}

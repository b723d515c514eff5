// The CAN panel in the main window against a simulated CAN gateway on
// loopback: every field the panel and its dialogs edit reaches the gateway
// byte for byte with the save, the gateway keeps its own counters, and a new
// search shows what was saved.
#include "vorlet/io/can/can_wiring.h"

#include "tests/vorlet/ui/window_fixture.h"
#include "vorlet/io/can/canbitrate.h"
#include "vorlet/io/can/canhf.h"
#include "vorlet/io/can/cansend.h"
#include "vorlet/io/can/cansf.h"
#include "vorlet/io/can/dcan.h"
#include "vorlet/record/save_request.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

using namespace vorlet;
using namespace vorlet::can;
using namespace uitest;
using testsupport::waitFor;

namespace {

template <typename W> W *control(QWidget *root, int id)
{
    auto *w = qobject_cast<W *>(findControl(root, id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

void type(QWidget *root, int id, const char *text)
{
    control<QLineEdit>(root, id)->setText(QString::fromUtf8(text));
}

// Follows the link and returns the dialog it opened.
template <typename D> D *follow(dcan *panel, int link)
{
    Q_EMIT control<QLabel>(panel, link)->linkActivated(QStringLiteral("#"));
    auto *dialog = dynamic_cast<D *>(panel->openDialog());
    EXPECT_NE(dialog, nullptr) << "link " << link;
    return dialog;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

WindowOptions canGateway()
{
    WindowOptions o;
    o.gateways = {gateway(6, true, false)};
    o.panels = false;
    o.configure = [](CvorletDlg::Options &w) { addCanPanel(w); };
    return o;
}

} // namespace

TEST(CanWindow, EveryFieldThePanelAndItsDialogsEditReachesTheGateway)
{
    WindowBench b(canGateway());
    ASSERT_TRUE(b.search());
    auto *panel = dynamic_cast<dcan *>(b.window->placedCanPanel());
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isVisible());
    using namespace dcancontrol;

    choose(control<QComboBox>(panel, kBitRate), kCustomBitRate);
    auto *rate = follow<canbitrate>(panel, kBitRateSet);
    type(rate, bitratecontrol::kWanted, "640");
    control<QPushButton>(rate, kOk)->click();
    EXPECT_EQ(control<QLabel>(panel, kCustomRate)->text(), QStringLiteral("640.000 k"));

    choose(control<QComboBox>(panel, kFormat), 1);
    control<QCheckBox>(panel, kHardwareFilter)->setChecked(false);
    control<QCheckBox>(panel, kSenders)->setChecked(true);

    auto *hardware = follow<canhf>(panel, kHardwareSet);
    control<QCheckBox>(hardware, hfcontrol::kExtended)->click();
    type(hardware, hfcontrol::kCode, "1abc");
    type(hardware, hfcontrol::kMask, "ff00");
    control<QPushButton>(hardware, kOk)->click();

    auto *filters = follow<cansf>(panel, kSmartFilterSet);
    using sfcontrol::rowControl;
    control<QComboBox>(filters, rowControl(2, sfcontrol::kLogic))->setCurrentIndex(1);
    control<QComboBox>(filters, rowControl(2, sfcontrol::kFrameType))->setCurrentIndex(2);
    control<QComboBox>(filters, rowControl(2, sfcontrol::kDataType))->setCurrentIndex(7);
    control<QComboBox>(filters, rowControl(2, sfcontrol::kStartByte))->setCurrentIndex(3);
    type(filters, rowControl(2, sfcontrol::kMinimum), "-5");
    type(filters, rowControl(2, sfcontrol::kMaximum), "70000");
    control<QPushButton>(filters, kOk)->click();

    auto *senders = follow<cansend>(panel, kSendersSet);
    type(senders, sendcontrol::kFirstFrame, "88 00 00 12 34 aa bb");
    type(senders, sendcontrol::kFirstDelay, "250");
    control<QCheckBox>(senders, sendcontrol::kFirstEnable + 8)->setChecked(true);
    control<QPushButton>(senders, kOk)->click();

    b.window->saveParameters();
    ASSERT_TRUE(waitFor([&] { return b.counter(0, "saves") == 1; }));
    const QByteArray item = b.item(0, "5A");
    ASSERT_EQ(item.size(), 275 + 13);
    // Filter 3 (value offset 2 + 2 * 12): data type, frame type, logic, start byte, minimum, maximum.
    EXPECT_EQ(item.mid(26, 12), bytes({7, 2, 1, 3, 0xFF, 0xFF, 0xFF, 0xFB, 0, 1, 0x11, 0x70}));
    // Sender 1 (offset 112) and sender 9 (offset 240): enabled, 13 frame bytes, delay.
    EXPECT_EQ(item.mid(112, 16), bytes({1, 0x88, 0, 0, 0x12, 0x34, 0xAA, 0xBB, 0, 0, 0, 0, 0, 0, 0, 250}));
    EXPECT_EQ(item.mid(240, 16), bytes({1, 0x88, 0, 0, 0x12, 0x38, 1, 2, 3, 4, 5, 6, 7, 8, 0x03, 0x84}));
    // Bit rate, brp, tseg1, tseg2, custom, format, the three boxes, extended, code, mask; then the
    // gateway's own counters.
    EXPECT_EQ(item.mid(256),
              bytes({16, 0,    5,    16, 8, 1,    1,    0, 1, 1,    1,    0, 0, 0x1A, 0xBC, 0,
                     0,  0xFF, 0x00, 0,  0, 0x04, 0xD2, 0, 0, 0x02, 0x37, 0, 0, 0,    0x59, 0}));
    // And everything else as the record holds it.
    const kyvo::Bytes sent = canSettingsValue(b.record(0));
    EXPECT_EQ(item.left(275),
              QByteArray(reinterpret_cast<const char *>(sent.data()), qsizetype(sent.size())));

    ASSERT_TRUE(b.search());
    panel = dynamic_cast<dcan *>(b.window->placedCanPanel());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(control<QComboBox>(panel, kBitRate)->currentIndex(), kCustomBitRate);
    EXPECT_EQ(control<QLabel>(panel, kCustomRate)->text(), QStringLiteral("640.000 k"));
    EXPECT_EQ(panel->block().acceptanceMask.get(), 0xFF00u);
    EXPECT_TRUE(b.boxTexts().isEmpty());
}

// The CAN panel in the main window inside the lab: a CAN gateway found by
// broadcast, every CAN field edited through the panel and its dialogs, saved,
// and the gateway holds each byte behind its own counters.
#include "vorlet/io/can/can_wiring.h"

#include "tests/support/lab.h"
#include "tests/support/test_support.h"
#include "tests/vorlet/io/can/can_save_script.h"
#include "tests/vorlet/services/panel_window.h"

#include <QTemporaryDir>

using namespace vorlet;
using testsupport::labGet;
using testsupport::waitFor;

TEST(CanPanel, EveryCanFieldReachesTheGatewayInTheLab)
{
    LAB_ONLY();
    QTemporaryDir dir;
    QStringList messages;
    std::function<void(QDialog &)> script;
    CvorletDlg::Options options = servicetest::panelWindowOptions(dir, messages, script);
    addCanPanel(options);
    CvorletDlg window(std::move(options));
    window.show();
    window.onSearch();
    ASSERT_TRUE(waitFor([&] { return window.core().devices().count() == 1 && window.placedCanPanel(); }));
    auto *panel = dynamic_cast<can::dcan *>(window.placedCanPanel());
    ASSERT_NE(panel, nullptr);
    const ParameterRecord &record = window.core().devices().at(0);
    const QString mac = devsim::macText(devsim::Mac{record.mac[0], record.mac[1], record.mac[2],
                                                    record.mac[3], record.mac[4], record.mac[5]});
    cantest::editEveryField(panel);

    Q_EMIT window.controls().save->clicked();
    const QString saved = QString::fromUtf8("保存成功,重启后生效！！！");
    ASSERT_TRUE(waitFor([&] { return window.statusText() == saved; }, 20000))
        << window.statusText().toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QLatin1Char('|')).toStdString();
    cantest::expectSavedItem(labGet(mac, QStringLiteral("5A")));
}

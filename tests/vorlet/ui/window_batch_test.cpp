// Commands on many selected gateways from the window, against simulated
// gateways: one confirmation, the batch window, each device's own outcome.
#include "tests/vorlet/ui/window_fixture.h"

#include "common/widgets/batch_window.h"
#include "vorlet/ui/gateway_batch.h"

#include <QPushButton>

using namespace vorlet;
using namespace uitest;
using testsupport::waitFor;

namespace {

struct BatchBench : WindowBench
{
    explicit BatchBench(WindowOptions o) : WindowBench(std::move(o)) {}

    // Answers the one question the window asks.
    void confirm(const QString &expected)
    {
        const QList<QMessageBox *> boxes = window->findChildren<QMessageBox *>();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0]->text(), expected);
        boxes[0]->button(QMessageBox::Yes)->click();
        QCoreApplication::processEvents();
    }
    GatewayBatch *batch() const { return window->findChild<GatewayBatch *>(); }
    void advanceBatch(int ms)
    {
        clock.advance(kyvo::Millis{ms});
        batch()->poll();
    }
};

WindowOptions threeGateways(std::function<void(CvorletDlg::Options &)> configure = {})
{
    WindowOptions o;
    o.gateways = {gateway(5), gateway(6), gateway(7)};
    o.configure = std::move(configure);
    return o;
}

TEST(WindowBatch, RestartOnEverySelectedGatewayAfterOneQuestion)
{
    BatchBench b(threeGateways());
    ASSERT_TRUE(b.search());
    b.select(0);
    b.window->controls().deviceList->selectAll();
    EXPECT_EQ(b.window->shownRecord(), &b.record(0)); // the controls keep the current row's record
    b.window->controls().restart->click();
    EXPECT_EQ(b.counter(0, "restarts") + b.counter(1, "restarts"), 0); // nothing before the answer
    b.confirm(u("确定要对3台设备执行“重启设备”吗？"));
    auto *window = b.window->findChild<kyvo::BatchWindow *>();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(b.batch(), nullptr);
    b.advanceBatch(500);
    ASSERT_TRUE(waitFor([&] { return b.batch()->runner().finished(); }));
    EXPECT_TRUE(b.batch()->runner().allSucceeded());
    EXPECT_EQ(b.batch()->runner().row(2).text, "重启成功");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(b.counter(i, "restarts"), 1) << i;
    EXPECT_EQ(b.window->commands().session().pending(),
              PendingOperation::None); // the window's own slot stayed free
}

TEST(WindowBatch, QuickSetTakesTheFileOnEachGatewayAndASilentOneFailsAlone)
{
    auto chosen = std::make_shared<QString>();
    BatchBench b(threeGateways([chosen](CvorletDlg::Options &w) {
        w.openFileName = [chosen](QWidget *, const QString &) { return *chosen; };
    }));
    ASSERT_TRUE(b.search());
    b.knob(1, "silent", "1");
    ParameterRecord source = b.record(0);
    kyvo::setFieldText(source.deviceName, kyvo::toGbk(QStringLiteral("同一名字")).toStdString());
    *chosen = b.dir.filePath(QStringLiteral("same.cfg"));
    QFile f(*chosen);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char *>(&source), qint64(kRecordSize));
    f.close();
    b.window->chooseConfiguration();
    b.window->controls().deviceList->selectAll();
    b.window->controls().quickSet->click();
    b.confirm(u("确定要对3台设备执行“一键配置”吗？"));
    ASSERT_TRUE(waitFor([&] { return b.batch()->runner().summary().done == 2; }));
    for (const int i : {0, 2}) {
        EXPECT_EQ(b.item(i, "1A"), kyvo::toGbk(QStringLiteral("同一名字"))) << i;
        EXPECT_EQ(b.item(i, "16"), QByteArray::fromHex("004b597f00") + char(5 + i)) << i;
    }
    b.advanceBatch(int(kRecordSize)); // past any save's time-out
    EXPECT_EQ(b.batch()->runner().row(1).state, kyvo::BatchRunner::State::Failed);
    EXPECT_EQ(b.batch()->runner().row(1).text, "保存失败"); // it took the file but never said so
}

TEST(WindowBatch, OneSelectedGatewayKeepsTheSingleCommand)
{
    BatchBench b(threeGateways());
    ASSERT_TRUE(b.search());
    b.select(1);
    b.window->controls().restart->click();
    EXPECT_EQ(b.window->statusText(), u("正在重启..."));
    EXPECT_TRUE(b.window->findChildren<QMessageBox *>().isEmpty());
    EXPECT_EQ(b.batch(), nullptr);
}

} // namespace

// Both command-line tools on every adapter at once, in a lab of two subnets
// (a veth pair each, devices behind both): one list holds both groups, the
// inventory names the adapter each device answered on, and a command to a
// device of the second subnet leaves through that subnet's adapter.
#include "tests/support/lab.h"
#include "tests/support/processes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <map>

using testsupport::labDevices;

TEST(AllAdapters, BothToolsFindTheDevicesBehindEachAdapterAndReachThemThroughIt)
{
    LAB_ONLY();
    const QString first = qEnvironmentVariable("LAB_PC_ADDRESS"),
                  second = qEnvironmentVariable("LAB_PC_ADDRESS2");
    ASSERT_FALSE(second.isEmpty()) << "needs the lab's second subnet (tools/lab run --second)";
    const struct
    {
        const char *program;
        const char *kind;
    } tools[] = {{VORLET_CLI_BIN, "gateway"}, {PELMAR_CLI_BIN, "server"}};
    for (const auto &t : tools) {
        SCOPED_TRACE(t.program);
        const QString program = QString::fromUtf8(t.program), kind = QString::fromUtf8(t.kind);
        std::map<QString, QString> expected; // MAC -> adapter
        for (const auto &d : labDevices(kind))
            expected[d.mac] = first;
        const auto behindSecond = labDevices(kind, testsupport::labDevsim2());
        for (const auto &d : behindSecond)
            expected[d.mac] = second;
        ASSERT_FALSE(behindSecond.empty());
        ASSERT_GT(expected.size(), behindSecond.size());

        const QStringList all{QStringLiteral("--adapter"), QStringLiteral("all")};
        const auto search = testsupport::runTool(
            program, QStringList{QStringLiteral("search"), QStringLiteral("--inventory-json")} + all);
        ASSERT_EQ(search.exitCode, 0) << search.err.toStdString();
        std::map<QString, QString> found;
        for (const QJsonValue row : QJsonDocument::fromJson(search.out.toUtf8()).array())
            found[row[QStringLiteral("mac")].toString()] = row[QStringLiteral("adapter")].toString();
        EXPECT_EQ(found, expected) << search.out.toStdString();

        // By broadcast, the restart reaches the second subnet only through its adapter.
        const QString mac = behindSecond.front().mac;
        const auto restart = testsupport::runTool(
            program, QStringList{QStringLiteral("restart"), QStringLiteral("--mac"), mac} + all);
        EXPECT_EQ(restart.exitCode, 0) << restart.err.toStdString();
        EXPECT_TRUE(testsupport::waitFor([&] {
            return testsupport::labCounter(mac, QStringLiteral("restarts"), testsupport::labDevsim2()) == 1;
        }));
    }
}

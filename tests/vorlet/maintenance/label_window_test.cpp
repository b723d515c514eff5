// The label controls of the main window against a simulated gateway on
// loopback: the agent probe, the model list, printing with and without the
// files, the history file, cloud enrolment against a fake server, and the
// label-agent program end to end.
#include "tests/vorlet/maintenance/label_bench.h"

#include "tests/support/fake_enrolment_server.h"
#include "vorlet/maintenance/label_codec.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>
#include <QUdpSocket>

using namespace vorlet;
using namespace labeltest;
using testsupport::FakeEnrolmentServer;
using testsupport::waitFor;

namespace {

const QByteArray kTemplate =
    "CLS\r\nPUTPCX 8,8,\"LOGO.PCX\"\r\nTEXT 8,120,\"2\",0,1,1,\"id\"\r\n"
    "TEXT 8,160,\"2\",0,1,1,\"mac\"\r\nTEXT 8,200,\"2\",0,1,1,\"model\"\r\nPRINT 1,1\r\n";

QByteArray qbytes(const labels::Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), qsizetype(b.size()));
}

// The ID as the simulated gateway holds it (its runtime item, bytes 12..20).
QByteArray deviceId(uitest::WindowBench &b)
{
    return b.item(0, "B2").mid(12, 9).toHex();
}

void writeLabelFiles(LabelBench &b)
{
    writeFile(b.path("logo.txt"), "0A 0B\r\n0C");
    writeFile(b.path("label-gw.txt"), kTemplate);
    writeFile(b.path("label-gw-nologo.txt"), "CLS\r\nTEXT 8,8,\"2\",0,1,1,\"mac\"\r\nPRINT 1\r\n");
}

QList<QWidget *> labelControls(const MainWindowControls &ui)
{
    return {ui.labelModel, ui.print, ui.printNoLogo, ui.addToCloud};
}

} // namespace

TEST(LabelWindow, ControlsStayHiddenWithoutAnAgent)
{
    LabelBench b({.agent = false});
    const MainWindowControls &ui = b.bench->window->controls();
    ASSERT_TRUE(b.probed());
    for (QWidget *w : labelControls(ui))
        EXPECT_TRUE(w->isHidden());
    EXPECT_EQ(ui.labelModel->count(), 0);
}

TEST(LabelWindow, AnsweringAgentShowsControlsAndTheModelList)
{
    LabelBench b({.models = "A\r\nB\r\nC"});
    const MainWindowControls &ui = b.bench->window->controls();
    ASSERT_TRUE(b.probed());
    for (QWidget *w : labelControls(ui))
        EXPECT_FALSE(w->isHidden());
    ASSERT_EQ(ui.labelModel->count(), 2);
    EXPECT_EQ(ui.labelModel->itemText(0), QStringLiteral("A"));
    EXPECT_EQ(ui.labelModel->itemText(1), QStringLiteral("B"));
    EXPECT_EQ(ui.labelModel->currentIndex(), 0);
}

TEST(LabelWindow, PrintWithoutLogoUsesItsTemplateAndAppendsHistory)
{
    LabelBench b;
    ASSERT_TRUE(b.probed());
    ASSERT_TRUE(b.bench->search());
    writeLabelFiles(b);
    writeFile(b.path("history.txt"), "earlier line\r\n");
    b.click(b.bench->window->controls().printNoLogo);
    b.click(b.bench->window->controls().printNoLogo);
    const QByteArray label = "CLS\r\nTEXT 8,8,\"2\",0,1,1,\"MAC:004b597f0005\"\r\nPRINT 1\r\n";
    const QByteArray once =
        qbytes(labels::setupCommands()) + QByteArray("DOWNLOAD \"LOGO.PCX\",3,\x0a\x0b\x0c\r\n") + label;
    EXPECT_TRUE(waitFor([&] { return readFile(b.path("printer.out")).size() >= 2 * once.size(); }));
    EXPECT_EQ(readFile(b.path("printer.out")), once + once);
    EXPECT_EQ(readFile(b.path("logo.pcx")), QByteArray("\x0a\x0b\x0c"));
    const QByteArray line = "mac:004b597f0005 model:HX-G200 imei:" + deviceId(*b.bench) +
                            " version V10112  time:2026-12-09 08:05:03\r\n";
    EXPECT_EQ(readFile(b.path("history.txt")), "earlier line\r\n" + line + line);
}

TEST(LabelWindow, PrintRefusals)
{
    struct Case
    {
        const char *name;
        bool selected;
        const char *missing; // a label file removed before the click
        QByteArray logo;
        QString message, status;
    } cases[] = {
        {"no device", false, nullptr, "0A", {}, QString::fromUtf8("请选择一个设备")},
        {"no logo", true, "logo.txt", "0A", QStringLiteral("not found logo.pcx"), {}},
        {"empty logo", true, nullptr, " \r\n", {}, {}},
        {"no template", true, "label-gw.txt", "0A", QStringLiteral("label-gw.txt"), {}},
        {"logo too long",
         true,
         nullptr,
         QByteArray(40241, '0'),
         QString::fromUtf8("logo.txt 超过 40240 字节，未打印"),
         {}},
    };
    for (const Case &c : cases) {
        LabelBench b;
        ASSERT_TRUE(b.probed());
        if (c.selected) {
            ASSERT_TRUE(b.bench->search());
        }
        writeLabelFiles(b);
        writeFile(b.path("logo.txt"), c.logo);
        if (c.missing) QFile::remove(b.path(c.missing));
        b.click(b.bench->window->controls().print);
        // A probe datagram through the agent shows that everything sent before it has arrived.
        b.labels()->agent().send({'#'});
        ASSERT_TRUE(waitFor([&] { return readFile(b.path("printer.out")) == "#"; })) << c.name;
        EXPECT_EQ(b.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.name;
        if (!c.status.isEmpty()) {
            EXPECT_EQ(b.status(), c.status) << c.name;
        }
        EXPECT_FALSE(QFile::exists(b.path("history.txt"))) << c.name;
    }
}

TEST(LabelWindow, EnrolmentShowsTheServersAnswer)
{
    struct Case
    {
        FakeEnrolmentServer::Answer answer;
        const char *status;
    } cases[] = {
        {FakeEnrolmentServer::Answer::Ok, "添加成功"},
        {FakeEnrolmentServer::Answer::Ko, "已经添加"},
        {FakeEnrolmentServer::Answer::Garbage, "添加失败"},
        {FakeEnrolmentServer::Answer::Nothing, "添加失败"},
    };
    for (const Case &c : cases) {
        FakeEnrolmentServer server(c.answer);
        LabelBench b({.configure = [](LabelOptions &l) { l.enrolTimeouts.reply = kyvo::Millis{300}; }});
        ASSERT_TRUE(b.probed());
        ASSERT_TRUE(b.bench->search());
        b.bench->window->settings().cloudAddress = "127.0.0.1";
        b.bench->window->settings().cloudPort = server.port();
        b.click(b.bench->window->controls().addToCloud);
        EXPECT_EQ(b.status(), QString::fromUtf8("正在添加..."));
        EXPECT_TRUE(waitFor([&] { return b.status() != QString::fromUtf8("正在添加..."); })) << c.status;
        EXPECT_EQ(b.status(), QString::fromUtf8(c.status));
        EXPECT_EQ(server.requests, QByteArray("\xAD"
                                              "004b597f0005"));
    }
}

TEST(LabelWindow, EnrolmentWithoutAServerFailsAtOnce)
{
    LabelBench b;
    ASSERT_TRUE(b.probed());
    ASSERT_TRUE(b.bench->search());
    b.bench->window->toggleLanguage();
    b.click(b.bench->window->controls().addToCloud);
    EXPECT_EQ(b.status(), QStringLiteral("Add Faile..."));
    EXPECT_EQ(b.messages, QStringList{QStringLiteral(
                              "No enrolment server is set (hx.ini, section [cloud]: address, port)")});
}

TEST(LabelAgentProbe, AnAnswerWaitingWhenTheWaitEndsCounts)
{
    QUdpSocket agent;
    ASSERT_TRUE(agent.bind(QHostAddress::LocalHost, 0));
    labels::PrintAgent probe(agent.localPort());
    QSignalSpy answered(&probe, &labels::PrintAgent::agentAnswered);
    QSignalSpy silent(&probe, &labels::PrintAgent::agentSilent);
    probe.probe(kyvo::Millis{20});
    // The agent answers, but the window is busy until the wait is over.
    ASSERT_TRUE(agent.waitForReadyRead(5000));
    const QNetworkDatagram test = agent.receiveDatagram();
    EXPECT_EQ(test.data(), QByteArray("test"));
    agent.writeDatagram(test.makeReply("ok"));
    QThread::msleep(100);
    probe.endWait(); // the timer comes first
    EXPECT_EQ(answered.size(), 1);
    EXPECT_EQ(silent.size(), 0);
}

TEST(LabelAgentProgram, PrintsALabelEndToEnd)
{
    LabelBench b({.agent = false, .configure = [](LabelOptions &l) { l.probeWait = kyvo::Millis{5000}; }});
    writeLabelFiles(b);
    QProcess agent;
    agent.setProcessChannelMode(QProcess::MergedChannels);
    agent.start(QStringLiteral(LABEL_AGENT_BIN), {QStringLiteral("--file"), b.path("printer.out"),
                                                  QStringLiteral("--port"), QString::number(b.agentPort)});
    QByteArray output;
    ASSERT_TRUE(waitFor([&] {
        agent.waitForReadyRead(20);
        output += agent.readAll();
        return output.contains("label-agent ready");
    })) << output.constData();
    // The window started before the agent: a second window probes it as the program would at its next start.
    b.bench->open();
    QObject::connect(&b.labels()->agent(), &labels::PrintAgent::agentAnswered, [&] { b.probeOver = true; });
    b.probeOver = false;
    ASSERT_TRUE(b.probed());
    ASSERT_TRUE(b.labels()->agent().answered());
    ASSERT_TRUE(b.bench->search());
    b.click(b.bench->window->controls().print);

    const QByteArray label =
        "CLS\r\nPUTPCX 8,8,\"LOGO.PCX\"\r\nTEXT 8,120,\"2\",0,1,1,\"ID:" + deviceId(*b.bench) +
        "\"\r\nTEXT 8,160,\"2\",0,1,1,\"MAC:004b597f0005\"\r\n"
        "TEXT 8,200,\"2\",0,1,1,\"Model:HX-G200\"\r\nPRINT 1,1\r\n";
    const QByteArray expected =
        "SPEED 6\r\nDENSITY 8\r\nSET PEEL OFF\r\nSET CUTTER OFF\r\nSET PARTIAL_CUTTER OFF\r\n"
        "SET TEAR ON\r\nDIRECTION 1\r\nSIZE 40.00 mm,30.00 mm\r\nGAP 2.00 mm,0.00 mm\r\n"
        "OFFSET 0.00 mm\r\nSHIFT 0\r\nREFERENCE 0,0\r\n"
        "DOWNLOAD \"LOGO.PCX\",3,\x0a\x0b\x0c\r\n" +
        label;
    EXPECT_TRUE(waitFor([&] { return readFile(b.path("printer.out")).size() >= expected.size(); }));
    EXPECT_EQ(readFile(b.path("printer.out")), expected);
    EXPECT_EQ(readFile(b.path("history.txt")), "mac:004b597f0005 model:HX-G200 imei:" + deviceId(*b.bench) +
                                                   " version V10112  time:2026-12-09 08:05:03\r\n");
    agent.terminate();
    agent.waitForFinished(3000);
}

TEST(LabelAgentProgram, ListensOnLoopbackOnly)
{
    struct Case
    {
        QStringList args;
        bool parsed;
        bool started;
    } cases[] = {
        {{QStringLiteral("--file"), QStringLiteral("out")}, true, true},
        {{QStringLiteral("--file"), QStringLiteral("out"), QStringLiteral("--listen"),
          QStringLiteral("0.0.0.0")},
         true,
         false},
        {{QStringLiteral("--file"), QStringLiteral("out"), QStringLiteral("--listen"),
          QStringLiteral("192.168.1.10")},
         true,
         false},
        {{QStringLiteral("--file"), QStringLiteral("a"), QStringLiteral("--queue"), QStringLiteral("b")},
         false,
         false},
        {{QStringLiteral("--port"), QStringLiteral("70000"), QStringLiteral("--file"), QStringLiteral("a")},
         false,
         false},
        {{}, false, false},
    };
    for (const Case &c : cases) {
        QString error;
        auto options = labelagent::parseArguments(c.args, &error);
        EXPECT_EQ(options.has_value(), c.parsed) << c.args.join(QLatin1Char(' ')).toStdString();
        if (!options) continue;
        options->port = 0; // any free port
        labelagent::PrintAgentServer server(*options);
        EXPECT_EQ(server.start(&error), c.started) << c.args.join(QLatin1Char(' ')).toStdString();
    }
}

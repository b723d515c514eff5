// A main window with the label controls against a simulated gateway on
// loopback, a print agent on a free loopback port writing to a file, and the
// label files in a temporary folder.
#pragma once

#include "label_agent/print_agent_server.h"
#include "vorlet/maintenance/label_printing.h"

#include "tests/vorlet/ui/window_fixture.h"

#include <QFile>
#include <QPushButton>

namespace labeltest {

inline void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct LabelBenchOptions
{
    bool agent = true; // an in-process agent answers the probe
    QByteArray models = "HX-G200\r\nHX-G300\r\n";
    std::function<void(vorlet::LabelOptions &)> configure;
};

struct LabelBench
{
    explicit LabelBench(LabelBenchOptions o = {}) : options(std::move(o))
    {
        writeFile(path("model.txt"), options.models);
        if (options.agent) {
            labelagent::AgentOptions a;
            a.port = agentPort;
            a.sink.target = path("printer.out");
            agent = std::make_unique<labelagent::PrintAgentServer>(a);
            QString error;
            EXPECT_TRUE(agent->start(&error)) << error.toStdString();
        }
        uitest::WindowOptions w;
        w.configure = [this](vorlet::CvorletDlg::Options &window) {
            vorlet::LabelOptions l;
            l.folder = files.path();
            l.agentPort = agentPort;
            // Long enough for an answer on a loaded machine; nothing answers a missing agent.
            l.probeWait = kyvo::Millis{options.agent ? 5000 : 200};
            l.message = [this](QWidget *, const QString &text) { messages << text; };
            l.localTime = [] { return QDateTime(QDate(2026, 12, 9), QTime(8, 5, 3)); };
            if (options.configure) options.configure(l);
            vorlet::addLabelPrinting(window, l);
        };
        bench = std::make_unique<uitest::WindowBench>(std::move(w));
        // The probe is still out: the window opened without waiting for it.
        QObject::connect(&labels()->agent(), &vorlet::labels::PrintAgent::agentAnswered,
                         [this] { probeOver = true; });
        QObject::connect(&labels()->agent(), &vorlet::labels::PrintAgent::agentSilent,
                         [this] { probeOver = true; });
    }

    vorlet::LabelPrinting *labels() const { return bench->window->findChild<vorlet::LabelPrinting *>(); }
    // Waits for the probe's outcome.
    bool probed()
    {
        return testsupport::waitFor([&] { return probeOver; });
    }
    QString path(const char *name) const { return files.filePath(QString::fromLatin1(name)); }
    QString status() const { return bench->window->statusText(); }
    void click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }

    LabelBenchOptions options;
    QTemporaryDir files;
    quint16 agentPort = uitest::freePort();
    std::unique_ptr<labelagent::PrintAgentServer> agent;
    QStringList messages;
    bool probeOver = false;
    std::unique_ptr<uitest::WindowBench> bench;
};

} // namespace labeltest

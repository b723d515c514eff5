// A main window against simulated serial servers on loopback: the simulator
// in its own thread on 127.0.0.x and a free port (the hub 127.0.0.1 stands
// for the broadcast address), a manual clock for the saves, the language
// file and the parameter files in a temporary folder, and message boxes,
// alerts, questions and file dialogs recorded instead of shown.
#pragma once

#include "pelmar/ui/server_config_dialog.h"

#include "common/gbk_text.h"
#include "devsim/core/device_specs.h"
#include "devsim/core/sim_host.h"
#include "devsim/serial/server_sim.h"
#include "pelmar/model/conversions.h"
#include "pelmar/ui/address_field.h"
#include "pelmar/ui/server_list_model.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace windowtest {

using namespace pelmar;
using testsupport::loopback;
using testsupport::waitFor;

inline QString u(const char *text)
{
    return QString::fromUtf8(text);
}

inline devsim::ServerProfile server(devsim::ServerFamily family, int ports, bool registers = false,
                                    std::uint8_t kind = 1, QByteArray hardware = {})
{
    devsim::ServerProfile p;
    p.family = family;
    p.ports = ports;
    p.registers = registers;
    p.kind = kind;
    p.hardware = std::move(hardware);
    return p;
}

// A choice in a drop list, as the user makes it.
inline void choose(QComboBox *list, int index)
{
    list->setCurrentIndex(index);
    Q_EMIT list->activated(index);
}

struct Message
{
    QString text, caption;
};

struct BenchOptions
{
    std::vector<devsim::ServerProfile> servers;
    QByteArray languageFile = "z"; // its contents before start; null: no file
    std::map<int, ServerConfigDialog::Extension> extensions;
};

class WindowBench
{
public:
    explicit WindowBench(BenchOptions o) : options(std::move(o))
    {
        devsim::SimNetwork::Options sim;
        sim.hubAddress = QHostAddress(loopback(1));
        sim.portMap[1111] = port;
        sim.rateBitsPerSecond = 0;
        host = std::make_unique<devsim::SimHost>(sim);
        for (std::size_t i = 0; i < options.servers.size(); ++i) {
            devsim::ServerProfile &p = options.servers[i];
            p.address = loopback(2 + int(i));
            p.mac = devsim::simulatedMac(0x5A, p.address);
            host->add(std::make_unique<devsim::ServerSim>(p));
        }
        QString error;
        EXPECT_TRUE(host->start(&error)) << error.toStdString();
        if (!options.languageFile.isNull()) writeLanguageFile(options.languageFile);
        open();
    }

    ~WindowBench() { window.reset(); }

    QString languageFile() const { return dir.filePath(QStringLiteral("kyvo.ini")); }
    QString parameterFolder() const { return dir.filePath(QStringLiteral("KYVO-Config")); }
    void writeLanguageFile(const QByteArray &bytes)
    {
        QFile f(languageFile());
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
    }
    QByteArray languageFileBytes() const
    {
        QFile f(languageFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void open()
    {
        window.reset();
        ServerConfigDialog::Options w;
        w.core.broadcastAddress = QStringLiteral("127.0.0.1");
        w.core.devicePort = port;
        w.core.localPort = 0;
        w.commands.clock = &clock;
        w.languageFile = languageFile();
        w.adapters = QList<AdapterItem>{{QStringLiteral("127.0.0.1"), QStringLiteral("loopback")}};
        w.message = [this](QWidget *, const QString &text, const QString &caption) {
            messages.push_back({text, caption});
        };
        w.alert = [this](QWidget *, const QString &text, std::function<void()> closed) {
            alerts.push_back({text, {}});
            if (closed) closed();
        };
        w.question = [this](QWidget *, const QString &text, const QString &caption, const LanguageTable &,
                            std::function<void(bool)> reply) {
            questions.push_back({text, caption});
            reply(answer);
        };
        // File dialogs answer from fileAnswers (none left: cancelled); files are never shown.
        w.parameterFolder = parameterFolder();
        w.chooseFile = [this](QWidget *, const ServerConfigDialog::FileRequest &request,
                              std::function<void(const QString &)> chosen) {
            fileRequests.push_back(request);
            chosen(fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst());
        };
        w.openFile = [this](const QString &path) { openedFiles << path; };
        w.extensions = options.extensions;
        window = std::make_unique<ServerConfigDialog>(std::move(w));
        QSignalSpy opened(&window->core(), &ServerCore::socketOpened);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        EXPECT_TRUE(opened.count() == 1 || opened.wait(5000));
    }

    // Searches and waits until every server was shown at least once.
    bool search()
    {
        QSignalSpy shown(&window->core(), &ServerCore::deviceShown);
        control<QPushButton>(control::kSearch)->click();
        const bool all = waitFor(
            [&] {
                std::set<int> seen;
                for (const auto &s : shown)
                    seen.insert(s[0].toInt());
                return seen.size() == options.servers.size();
            },
            20000);
        // Short-frame servers: the rest of their reading.
        return all && waitFor([&] { return window->core().readSequencesRunning() == 0; }) && settle();
    }
    bool settle()
    {
        QTest::qWait(100);
        return true;
    }

    // The table slot of a simulated server, found by its MacTail.
    int slot(std::size_t server) const
    {
        const auto &m = options.servers[server].mac;
        const auto s = window->core().devices().find(MacTail{m[3], m[4], m[5]});
        EXPECT_TRUE(s.has_value()) << server;
        return s ? int(*s) : -1;
    }
    DeviceEntry &entry(std::size_t server) { return window->core().devices().at(std::size_t(slot(server))); }

    // A click on the server's row.
    void select(std::size_t server)
    {
        QTableView *list = window->controls().deviceList;
        const QRect cell = list->visualRect(list->model()->index(slot(server), 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
        QCoreApplication::processEvents();
    }
    void choosePort(int index) { choose(window->controls().portSelect, index); }

    template <typename W> W *control(int id) const
    {
        auto *w = qobject_cast<W *>(findControl(window.get(), id));
        EXPECT_NE(w, nullptr) << "control " << id;
        return w;
    }
    // Typing into an edit key by key, as the user does.
    void type(int id, const QString &text, bool clear = true)
    {
        auto *edit = control<QLineEdit>(id);
        edit->setFocus();
        if (clear) {
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_Backspace);
        }
        QTest::keyClicks(edit, text);
    }
    // Leaves the edit that has the focus, as a click elsewhere does.
    void leave() { control<QPushButton>(control::kSearch)->setFocus(Qt::MouseFocusReason); }
    void click(int id) { control<QPushButton>(id)->click(); }
    QString pane(int i) const { return window->statusText(i); }
    QStringList messageTexts() const
    {
        QStringList t;
        for (const Message &m : messages)
            t << m.text;
        return t;
    }

    // The simulator's values, read in its thread.
    QByteArray value(std::size_t server, const QString &path)
    {
        return host->get<QByteArray>(
            [&](devsim::SimNetwork &n) { return n.device(server).query(path).value_or(QByteArray("?")); });
    }
    QByteArray portValue(std::size_t server, int port, const char *name)
    {
        return value(server, devsim::ServerValues::portKey(port, name));
    }
    long long counter(std::size_t server, const char *name)
    {
        return host->get<long long>(
            [&](devsim::SimNetwork &n) { return n.device(server).counters[QLatin1String(name)]; });
    }
    void knob(std::size_t server, const char *name, const char *value)
    {
        host->call([&](devsim::SimNetwork &n) {
            n.device(server).knobs.set(QLatin1String(name), QLatin1String(value));
        });
    }

    // Moves the saves' clock on in steps of 10 ms, letting answers arrive.
    void advance(int ms)
    {
        for (int done = 0; done < ms; done += 10) {
            clock.advance(kyvo::Millis{std::min(10, ms - done)});
            window->commands().poll();
            QCoreApplication::processEvents();
        }
    }

    BenchOptions options;
    QTemporaryDir dir;
    quint16 port = testsupport::freeUdpPort();
    std::unique_ptr<devsim::SimHost> host;
    kyvo::ManualClock clock;
    std::unique_ptr<ServerConfigDialog> window;
    std::vector<Message> messages, questions, alerts; // alerts: closed at once
    bool answer = true;
    std::vector<ServerConfigDialog::FileRequest> fileRequests;
    QStringList fileAnswers;
    QStringList openedFiles;
};

inline QByteArray bytes(const auto &array)
{
    return QByteArray(reinterpret_cast<const char *>(array.data()), qsizetype(array.size()));
}
inline QByteArray be16(std::uint16_t v)
{
    return QByteArray(1, char(v >> 8)) + QByteArray(1, char(v & 0xFF));
}

} // namespace windowtest

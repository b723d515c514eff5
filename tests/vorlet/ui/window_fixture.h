// A main window against simulated gateways on loopback: the simulator in its
// own thread on 127.0.0.x and a free port, the window's searches and commands
// aimed at it, a manual clock for the command timers, and settings in a
// temporary folder.
#pragma once

#include "vorlet/ui/main_window.h"

#include "common/fixed_field.h"
#include "common/gbk_text.h"
#include "devsim/core/sim_host.h"
#include "devsim/gateway/gateway_sim.h"
#include "tests/support/test_support.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/link/device_message.h"
#include "vorlet/link/link_frame.h"
#include "vorlet/record/parameter_record.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <optional>

namespace uitest {

inline std::uint32_t loopback(int last)
{
    return 0x7F000000u | std::uint32_t(last);
}

inline quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    return probe.localPort();
}

inline QString u(const char *text)
{
    return QString::fromUtf8(text);
}

// A choice in a drop list, as the user makes it.
inline void choose(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

// A gateway of the simulator at 127.0.0.<last>.
inline devsim::GatewayProfile gateway(int last, bool can = false, bool wifi = true)
{
    devsim::GatewayProfile p;
    p.address = loopback(last);
    p.mac = devsim::Mac{0x00, 0x4B, 0x59, 0x7F, 0x00, std::uint8_t(last)};
    p.canPort = can;
    p.wifi = wifi;
    p.name = kyvo::toGbk(QStringLiteral("网关%1").arg(last));
    return p;
}

// A panel that records what the window asks of it; its one field is the
// channel's local port.
class RecordingPanel : public vorlet::ChannelPanel
{
public:
    RecordingPanel(vorlet::ChannelPanelKind kind, int channel, QWidget *parent)
        : ChannelPanel(parent), kind(kind), channel(channel), port(new QLineEdit(this))
    {}
    void load(const vorlet::ChannelBlock &block) override
    {
        ++loads;
        port->setText(QString::number(block.localPort.get()));
    }
    void store(vorlet::ChannelBlock &block) const override
    {
        ++stores;
        block.localPort = std::uint16_t(port->text().toUInt());
    }
    QStringList problems() const override { return problem.isEmpty() ? QStringList{} : QStringList{problem}; }
    vorlet::ChannelPanelKind kind;
    QString problem; // what problems() reports
    int channel;
    QLineEdit *port;
    int loads = 0;
    mutable int stores = 0;
};

class RecordingCanPanel : public vorlet::FieldPortPanel
{
public:
    using FieldPortPanel::FieldPortPanel;
    void load(const vorlet::ParameterRecord &record) override
    {
        bitRate = record.poll.can.bitRateIndex;
        ++loads;
    }
    void store(vorlet::ParameterRecord &record) const override
    {
        record.poll.can.bitRateIndex = std::uint8_t(bitRate);
    }
    int bitRate = -1;
    int loads = 0;
};

struct WindowOptions
{
    std::vector<devsim::GatewayProfile> gateways{gateway(5)};
    char savedLetter = 0;                                 // "lang" in hx.ini before start
    bool englishEdition = false;                          // the program file carries the mark
    bool panels = true;                                   // recording panels in the window's places
    std::optional<vorlet::PanelFactories> panelFactories; // other panels instead
    std::map<int, vorlet::CvorletDlg::Extension> extensions;
    // Last changes to the window's options, as the program makes them.
    std::function<void(vorlet::CvorletDlg::Options &)> configure;
};

class WindowBench
{
public:
    explicit WindowBench(WindowOptions o = {}) : options(std::move(o))
    {
        qputenv("TZ", "UTC");
        tzset();
        devsim::SimNetwork::Options sim;
        sim.hubAddress = QHostAddress(loopback(1));
        sim.portMap[1111] = port;
        sim.rateBitsPerSecond = 0;
        host = std::make_unique<devsim::SimHost>(sim);
        for (const auto &g : options.gateways)
            host->add(std::make_unique<devsim::GatewaySim>(g));
        QString error;
        EXPECT_TRUE(host->start(&error)) << error.toStdString();
        if (options.savedLetter) writeLetter(options.savedLetter);
        writeProgramFile();
        open();
    }

    ~WindowBench() { closeBoxes(); }

    // (Re)starts the window on the same settings file, as a restart of the program does.
    void open()
    {
        window.reset();
        vorlet::CvorletDlg::Options w;
        w.core.broadcastAddress = loopback(1);
        w.core.devicePort = port;
        w.core.searchDelayMs = 20;
        w.commands.clock = &clock;
        w.commands.localTime = [] { return QDateTime(QDate(2026, 3, 8), QTime(14, 5, 9)); }; // a Sunday
        w.settingsPath = settingsPath();
        w.programPath = dir.filePath(QStringLiteral("program"));
        w.adapters = [] {
            return QList<kyvo::AdapterAddress>{{QStringLiteral("127.0.0.1"), QStringLiteral("loopback")}};
        };
        w.openUrl = [this](const QUrl &url) { openedUrls << url; };
        w.saveFileName = [this](QWidget *, const QString &name, const QString &filter) {
            askedName = name;
            askedFilter = filter;
            return chosenFile;
        };
        if (options.panels) {
            w.panels.channel = [this](vorlet::ChannelPanelKind kind, int channel,
                                      const vorlet::PanelEnvironment &, QWidget *parent) {
                auto *p = new RecordingPanel(kind, channel, parent);
                panels.push_back(p);
                return p;
            };
            w.panels.can = [this](const vorlet::PanelEnvironment &, QWidget *parent) {
                canPanel = new RecordingCanPanel(parent);
                return canPanel;
            };
        }
        if (options.panelFactories) w.panels = *options.panelFactories;
        w.extensions = options.extensions;
        if (options.configure) options.configure(w);
        panels.clear();
        window = std::make_unique<vorlet::CvorletDlg>(std::move(w));
        window->show();
    }

    // Searches and waits until every gateway is listed and the last one shown.
    bool search()
    {
        window->onSearch();
        const std::size_t n = options.gateways.size();
        return testsupport::waitFor([&] {
            return window->core().devices().count() == n && window->selectedRow() == int(n) - 1 &&
                   window->shownRecord() == &record(int(n) - 1);
        });
    }

    vorlet::ParameterRecord &record(int row) { return window->core().devices().at(std::size_t(row)); }
    // As a click on the row does.
    void select(int row);

    template <typename W> W *control(int id) const
    {
        auto *w = qobject_cast<W *>(vorlet::findControl(window.get(), id));
        EXPECT_NE(w, nullptr) << "control " << id;
        return w;
    }

    QStringList boxTexts() const
    {
        QStringList texts;
        for (QMessageBox *b : window->findChildren<QMessageBox *>())
            if (b->isVisible()) texts << b->text();
        return texts;
    }
    void closeBoxes()
    {
        if (!window) return;
        for (QMessageBox *b : window->findChildren<QMessageBox *>())
            b->done(0);
        QCoreApplication::processEvents();
    }

    // A device value of the simulator ("1A", "40.01", ...), read in its thread.
    QByteArray item(int device, const char *path)
    {
        return host->get<QByteArray>([&](devsim::SimNetwork &n) {
            return n.device(std::size_t(device)).query(QString::fromLatin1(path)).value_or(QByteArray());
        });
    }
    long long counter(int device, const char *name)
    {
        return host->get<long long>([&](devsim::SimNetwork &n) {
            auto &c = n.device(std::size_t(device)).counters;
            const auto it = c.find(QString::fromLatin1(name));
            return it == c.end() ? 0LL : it->second;
        });
    }
    void knob(int device, const char *name, const char *value)
    {
        host->call([&](devsim::SimNetwork &n) {
            n.device(std::size_t(device)).knobs.set(QString::fromLatin1(name), QString::fromLatin1(value));
        });
    }

    // A query answer (0x83) of the device in this row with these items,
    // straight to the window's socket, asked for or not.
    void answer(int row, const kyvo::Bytes &items)
    {
        const auto &mac = record(row).mac;
        const vorlet::Mac m{mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]};
        const kyvo::Bytes message = vorlet::buildDeviceMessage(0, 0x83, items, m);
        for (const kyvo::Bytes &frame : vorlet::deviceFrames(message, m))
            injector.writeDatagram(reinterpret_cast<const char *>(frame.data()), qint64(frame.size()),
                                   QHostAddress(loopback(1)), window->core().endpoint().localPort());
    }
    // True once the window has handled every answer sent before: the last
    // of them sets the row's clock to a second it did not show yet.
    bool settle(int row = 0)
    {
        const std::uint8_t second = std::uint8_t((record(row).clock[5] + 1) % 60);
        answer(row, {0xB0, 0x00, 0x08, 126, 2, 8, 14, 5, second, 0, 0});
        return testsupport::waitFor([&] { return record(row).clock[5] == second; });
    }
    int boxCount(const QString &text) const { return int(boxTexts().count(text)); }

    // Moves the command clock on and lets the window run what is due.
    void advance(int ms)
    {
        clock.advance(kyvo::Millis{ms});
        window->commands().poll();
    }

    QString settingsPath() const { return dir.filePath(QStringLiteral("config/hx.ini")); }

    WindowOptions options;
    QTemporaryDir dir;
    quint16 port = freePort();
    std::unique_ptr<devsim::SimHost> host;
    kyvo::ManualClock clock;
    std::unique_ptr<vorlet::CvorletDlg> window;
    std::vector<RecordingPanel *> panels;
    RecordingCanPanel *canPanel = nullptr;
    QList<QUrl> openedUrls;
    QString chosenFile, askedName, askedFilter;
    QUdpSocket injector;

private:
    void writeLetter(char letter);
    void writeProgramFile();
};

inline void WindowBench::select(int row)
{
    QTableView *list = window->controls().deviceList;
    const QRect cell = list->visualRect(list->model()->index(row, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QCoreApplication::processEvents();
}

inline void WindowBench::writeLetter(char letter)
{
    vorlet::SearchSettings s;
    s.lang = letter;
    vorlet::saveSearchSettings(s, settingsPath());
}

inline void WindowBench::writeProgramFile()
{
    QFile f(dir.filePath(QStringLiteral("program")));
    f.open(QIODevice::WriteOnly);
    f.write("program bytes");
    if (options.englishEdition) f.write(QByteArray(1024, char(0xAA)));
}

} // namespace uitest

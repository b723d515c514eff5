// Device commands on many simulated servers at once, on one main socket: the
// limit of servers at a time, each server's own time-out and outcome, cancel.
// The sessions run on a manual clock; the servers answer on loopback.
#include "pelmar/core/server_batch.h"

#include "devsim/core/device_specs.h"
#include "devsim/core/sim_host.h"
#include "devsim/serial/server_sim.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <set>

using namespace pelmar;
using testsupport::loopback;
using testsupport::waitFor;
using State = kyvo::BatchRunner::State;

namespace {

// Answers every probe at once.
class AnsweringProber final : public TargetProber
{
public:
    void flushAddressCache() override
    {
        QMetaObject::invokeMethod(this, &TargetProber::flushed, Qt::QueuedConnection);
    }
    void probe(const QString &) override
    {
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT probed(true); }, Qt::QueuedConnection);
    }
};

struct Bench
{
    quint16 devicePort = testsupport::freeUdpPort(), tftpPort = testsupport::freeUdpPort(),
            transferPort = testsupport::freeUdpPort();
    kyvo::ManualClock clock;
    std::unique_ptr<devsim::SimHost> sim;
    std::unique_ptr<ServerCore> core;
    std::set<std::size_t> silent;
    std::vector<std::size_t> bySimulator; // table index of each simulated server
    std::unique_ptr<QSignalSpy> accepted, refused;

    explicit Bench(int servers)
    {
        devsim::SimNetwork::Options o;
        o.hubAddress = QHostAddress(loopback(1));
        o.portMap = {{1111, devicePort}, {69, tftpPort}, {6969, transferPort}};
        o.rateBitsPerSecond = 0;
        sim = std::make_unique<devsim::SimHost>(o);
        for (int i = 0; i < servers; ++i) {
            devsim::ServerProfile p;
            p.family = devsim::ServerFamily::Multi2326;
            p.address = loopback(2 + i);
            p.mac = devsim::simulatedMac(0x5A, p.address);
            sim->add(std::make_unique<devsim::ServerSim>(p));
        }
        EXPECT_TRUE(sim->start());
        ServerCore::Options c;
        c.broadcastAddress = QStringLiteral("127.0.0.1");
        c.devicePort = devicePort;
        c.localPort = 0;
        c.clock = &clock;
        core = std::make_unique<ServerCore>(c);
        QSignalSpy opened(core.get(), &ServerCore::socketOpened);
        EXPECT_TRUE(waitFor([&] { return opened.count() == 1; }));
        accepted = std::make_unique<QSignalSpy>(core.get(), &ServerCore::writeAccepted);
        refused = std::make_unique<QSignalSpy>(core.get(), &ServerCore::writeRefused);
        core->startSearch();
        clock.advance(kyvo::Millis{500}); // the broadcast's first request
        core->poll();
        EXPECT_TRUE(waitFor([&] { return core->rowCount() == servers; }));
        for (int i = 0; i < servers; ++i) {
            const devsim::Mac mac = devsim::simulatedMac(0x5A, loopback(2 + i));
            bySimulator.push_back(core->devices().find(MacTail{mac[3], mac[4], mac[5]}).value_or(999));
        }
    }

    void knob(std::size_t device, const char *name, bool on)
    {
        if (QLatin1String(name) == QLatin1String("silent") && on) silent.insert(device);
        sim->call([&](devsim::SimNetwork &n) {
            auto &k = n.device(device).knobs;
            (QLatin1String(name) == QLatin1String("silent") ? k.silent : k.refuse) = on;
        });
    }
    long long counter(std::size_t device, const char *name)
    {
        return sim->get<long long>(
            [&](devsim::SimNetwork &n) { return n.device(device).counters[QLatin1String(name)]; });
    }
    QByteArray value(std::size_t device, const QString &path)
    {
        return sim->get<QByteArray>(
            [&](devsim::SimNetwork &n) { return n.device(device).query(path).value_or(QByteArray("?")); });
    }
    // Every write the answering servers took has had its answer handled.
    bool answersIn()
    {
        flush();
        long long writes = 0;
        for (std::size_t i = 0; i < bySimulator.size(); ++i)
            if (!silent.count(i))
                writes += counter(i, "record-writes") + counter(i, "writes") + counter(i, "commits");
        return writes == accepted->count() + refused->count();
    }
    void flush()
    {
        std::atomic<bool> sent{false};
        core->socket().whenSent([&] { sent = true; });
        waitFor([&] { return sent.load(); });
    }
    // Moves the clock 10 ms at a time, each step once the answers to what
    // left have been handled, until done() holds; false after limit.
    bool drive(ServerBatch &batch, const std::function<bool()> &done,
               kyvo::Millis limit = kyvo::Millis{20000})
    {
        for (kyvo::Millis t{0}; t < limit; t += kyvo::Millis{10}) {
            if (!waitFor([&] { return answersIn(); })) return false;
            if (done()) return true;
            clock.advance(kyvo::Millis{10});
            batch.poll();
        }
        return done();
    }
    ServerBatch::Options options(std::size_t parallel)
    {
        ServerBatch::Options o;
        o.parallel = parallel;
        o.clock = &clock;
        o.imported = core->devices().at(bySimulator.at(0));
        o.imported.ports[0].targetHost.set("batch.example.net");
        o.imported.ports[0].localPort = 5123;
        o.tftpPort = tftpPort;
        o.prober = [] { return std::make_unique<AnsweringProber>(); };
        return o;
    }
    // Row i is simulated server i.
    std::vector<std::size_t> all() const { return bySimulator; }
};

QByteArray be16(std::uint16_t v)
{
    return QByteArray(1, char(v >> 8)) + QByteArray(1, char(v & 0xFF));
}

} // namespace

TEST(ServerBatch, OneClickRunsAtMostNServersAtATimeAndEachHoldsTheFile)
{
    Bench b(5);
    ServerBatch batch(*b.core, ServerBatch::Operation::OneClick, b.all(), b.options(2));
    std::size_t most = 0;
    QObject::connect(&batch, &ServerBatch::rowChanged,
                     [&] { most = std::max(most, batch.runner().running()); });
    batch.run();
    ASSERT_TRUE(b.drive(batch, [&] { return batch.runner().finished(); }));
    EXPECT_EQ(most, 2u);
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(batch.runner().row(i).state, State::Done);
        EXPECT_EQ(QString::fromStdString(batch.runner().row(i).text), QStringLiteral("配置成功"));
        EXPECT_EQ(b.value(i, QStringLiteral("port1.host")).left(17), QByteArray("batch.example.net"));
        EXPECT_EQ(b.value(i, QStringLiteral("port1.localport")), be16(5123));
    }
}

TEST(ServerBatch, ASilentServersTimeOutDelaysNoOtherServer)
{
    Bench b(3);
    b.knob(0, "silent", true);
    ServerBatch batch(*b.core, ServerBatch::Operation::OneClick, b.all(), b.options(2));
    batch.run();
    // Rows 1 and 2 (which waited for row 1's place, not row 0's) are done before row 0 gives up.
    ASSERT_TRUE(b.drive(batch, [&] { return batch.runner().row(2).state == State::Done; }));
    EXPECT_EQ(batch.runner().row(1).state, State::Done);
    EXPECT_EQ(batch.runner().row(0).state, State::Running);
    ASSERT_TRUE(b.drive(batch, [&] { return batch.runner().finished(); }));
    EXPECT_EQ(batch.runner().row(0).state, State::Failed);
    EXPECT_EQ(QString::fromStdString(batch.runner().row(0).text), QStringLiteral("保存无应答"));
}

TEST(ServerBatch, ARefusalFailsOnlyItsOwnServer)
{
    Bench b(3);
    b.knob(1, "refuse", true);
    ServerBatch batch(*b.core, ServerBatch::Operation::OneClick, b.all(), b.options(8));
    batch.run();
    ASSERT_TRUE(b.drive(batch, [&] { return batch.runner().finished(); }));
    EXPECT_EQ(batch.runner().row(0).state, State::Done);
    EXPECT_EQ(batch.runner().row(1).state, State::Failed);
    EXPECT_EQ(QString::fromStdString(batch.runner().row(1).text),
              QStringLiteral("配置失败。请重新搜索设备，再试。"));
    EXPECT_EQ(batch.runner().row(2).state, State::Done);
}

TEST(ServerBatch, CancelStartsNothingMoreAndLetsTheRunningServersFinish)
{
    Bench b(4);
    ServerBatch batch(*b.core, ServerBatch::Operation::OneClick, b.all(), b.options(2));
    QSignalSpy finished(&batch, &ServerBatch::finished);
    batch.run();
    batch.cancel();
    ASSERT_TRUE(b.drive(batch, [&] { return batch.runner().finished(); }));
    EXPECT_EQ(finished.count(), 1);
    for (std::size_t i : {0, 1}) {
        EXPECT_EQ(batch.runner().row(i).state, State::Done);
        EXPECT_EQ(b.counter(i, "record-writes"), 2);
    }
    for (std::size_t i : {2, 3}) {
        EXPECT_EQ(batch.runner().row(i).state, State::Cancelled);
        EXPECT_EQ(b.counter(i, "record-writes"), 0);
    }
}

// Two servers at one (factory) address: a write's answer names no MAC, so
// the second waits for the first; a cancel meanwhile cancels it.
TEST(ServerBatch, TwoRowsAtOneAddressTakeTurns)
{
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel);
        Bench b(1);
        b.knob(0, "silent", true);
        const std::size_t server = b.bySimulator.at(0);
        ServerBatch batch(*b.core, ServerBatch::Operation::OneClick, {server, server}, b.options(2));
        batch.run();
        if (cancel) batch.cancel();
        ASSERT_TRUE(b.drive(batch, [&] { return batch.runner().row(0).state == State::Failed; }));
        EXPECT_EQ(batch.runner().row(1).state, cancel ? State::Cancelled : State::Running);
        ASSERT_TRUE(b.drive(batch, [&] { return batch.runner().finished(); }));
        EXPECT_EQ(batch.runner().row(1).state, cancel ? State::Cancelled : State::Failed);
    }
}

TEST(ServerBatch, RestartAndResetLeaveForEveryServerAndARowWhoseServerIsGoneFails)
{
    Bench b(3);
    std::vector<std::size_t> rows = b.all();
    rows.push_back(7); // no server there
    ServerBatch restart(*b.core, ServerBatch::Operation::Restart, rows, b.options(8));
    restart.run();
    EXPECT_TRUE(restart.runner().finished());
    EXPECT_EQ(restart.runner().summary().done, 3u);
    EXPECT_EQ(QString::fromStdString(restart.runner().row(0).text), QStringLiteral("重启设备"));
    EXPECT_EQ(restart.runner().row(3).state, State::Failed);
    ServerBatch reset(*b.core, ServerBatch::Operation::FactoryReset, b.all(), b.options(8));
    reset.run();
    EXPECT_TRUE(reset.runner().allSucceeded());
    ASSERT_TRUE(waitFor([&] {
        for (std::size_t i = 0; i < 3; ++i)
            if (b.counter(i, "restarts") != 1 || b.counter(i, "resets") != 1) return false;
        return true;
    }));
}

// A file no server can take: each row fails with the start button's
// message and no server is put into upgrade mode.
TEST(ServerBatch, AnUnusableFirmwareFileSendsNothing)
{
    struct Case
    {
        QByteArray file;
        const char *text;
    };
    const Case cases[] = {{QByteArray(1, 'x'), "文件太小，不是固件文件"},
                          {QByteArray("ESP8266") + QByteArray(100, '\0'), "固件不对"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        Bench b(2);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("fw.bin")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.file);
        file.close();
        ServerBatch::Options o = b.options(2);
        o.firmwarePath = file.fileName();
        ServerBatch batch(*b.core, ServerBatch::Operation::Upgrade, b.all(), o);
        batch.run();
        ASSERT_TRUE(b.drive(batch, [&] { return batch.runner().finished(); }));
        b.flush();
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(batch.runner().row(i).state, State::Failed);
            EXPECT_EQ(QString::fromStdString(batch.runner().row(i).text), QString::fromUtf8(c.text));
            EXPECT_EQ(b.counter(i, "upgrades"), 0);
        }
    }
}

TEST(ServerBatch, UpgradesShareTheMainSocketEachWithItsOwnServer)
{
    Bench b(3);
    QTemporaryDir dir;
    QByteArray image(40 * 512 + 100, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7);
    QFile file(dir.filePath(QStringLiteral("fw.bin")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(image);
    file.close();
    ServerBatch::Options o = b.options(2);
    o.firmwarePath = file.fileName();
    o.clock = nullptr; // lock-step blocks on real time: each acknowledgement is awaited as it comes

    ServerBatch batch(*b.core, ServerBatch::Operation::Upgrade, b.all(), o);
    batch.run();
    // The file read once: one replaced while the third server waits changes nothing.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(image.size(), 'x'));
    file.close();
    ASSERT_TRUE(waitFor([&] { return batch.runner().finished(); }, 30000));
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(batch.runner().row(i).state, State::Done);
        EXPECT_EQ(QString::fromStdString(batch.runner().row(i).text), QStringLiteral("Upgrade success"));
        EXPECT_EQ(b.counter(i, "upgrades"), 1);
        EXPECT_EQ(b.value(i, QStringLiteral("firmware-md5")),
                  QCryptographicHash::hash(image, QCryptographicHash::Md5));
    }
}

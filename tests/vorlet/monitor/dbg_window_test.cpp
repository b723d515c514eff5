// The window `dbg`: rows from loopback, the row's columns and detail text,
// the gateway filter, the hidden "io" filter, the notices, the link of the
// main window, and the pictures in both languages.
#include "vorlet/io/monitor/dbg_extension.h"

#include "tests/support/gallery.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"
#include "vorlet/lang/dialog_captions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <gtest/gtest.h>

using namespace vorlet;

namespace {

qint64 at1405()
{
    return QDateTime(QDate(2024, 3, 7), QTime(14, 5, 9, 7)).toMSecsSinceEpoch();
}

struct Monitor
{
    explicit Monitor(dbg::Options o = {}, Language language = Language())
    {
        o.port = 0;
        o.showIntervalMs = 0;
        if (!o.wallClock) o.wallClock = at1405;
        o.chooseFolder = [this](QWidget *, const QString &title) {
            folderTitle = title;
            return folder;
        };
        window = std::make_unique<dbg>(language, std::move(o));
        EXPECT_TRUE(testsupport::waitFor([&] { return window->isListening(); }));
    }
    void feed(std::initializer_list<std::pair<QByteArray, quint32>> datagrams)
    {
        QList<kyvo::DebugDatagram> batch;
        for (const auto &[data, sender] : datagrams)
            batch.append({data, sender, 1112, at1405()});
        window->appendDatagrams(batch);
    }
    QStringList row(int r) const
    {
        QStringList out;
        for (int c = 0; c < 7; ++c)
            out << window->cellText(r, c);
        return out;
    }

    std::unique_ptr<dbg> window;
    QString folder, folderTitle;
};

} // namespace

TEST(DbgWindow, ADatagramFromLoopbackBecomesARowWithItsColumnsAndDetail)
{
    Monitor m;
    QUdpSocket sender;
    sender.writeDatagram(QByteArray("uart tx:\x01\x03\x00\x00\x00\x01", 14),
                         QHostAddress(QStringLiteral("127.0.0.1")), m.window->localPort());
    ASSERT_TRUE(testsupport::waitFor([&] { return m.window->rowCount() == 1; }));
    EXPECT_EQ(m.row(0),
              (QStringList{QStringLiteral("1"), QStringLiteral("2024-03-07 14:05:09 007"),
                           QStringLiteral("127.0.0.1"), QStringLiteral("6"), QStringLiteral("uart tx:"),
                           QString::fromLatin1("\x01\x03"), QStringLiteral("01 03 00 00 00 01 ")}));
    m.window->showDetail(0);
    EXPECT_EQ(m.window->detailText(),
              QString::fromLatin1("ASCII : \x01\x03\r\n\r\n\r\nHEX : 01 03 00 00 00 01 "));
    m.window->showDetail(-1);
    EXPECT_TRUE(m.window->detailText().isEmpty());
}

TEST(DbgWindow, FiltersFollowTheirControls)
{
    Monitor m;
    const dbg::Controls &ui = m.window->controls();
    EXPECT_EQ(ui.logMode->currentIndex(), 2);
    m.feed({{"mqtt rx:{}", 0x0A000001}, {"uart rx:a", 0x0A000002}});
    ui.channels[std::size_t(DebugChannel::Other)]->setChecked(false);
    m.feed({{"mqtt rx:{}", 0x0A000001}});
    EXPECT_EQ(m.window->rowCount(), 2);
    ui.channels[std::size_t(DebugChannel::Other)]->setChecked(true);

    m.window->rebuildGatewayFilter();
    ASSERT_EQ(ui.gateway->count(), 3);
    EXPECT_EQ(ui.gateway->itemText(0), QStringLiteral("全部"));
    EXPECT_EQ(ui.gateway->itemText(2), QStringLiteral("10.0.0.2"));
    ui.gateway->setCurrentIndex(2);
    m.feed({{"mqtt rx:{}", 0x0A000001}, {"uart rx:b", 0x0A000002}});
    ASSERT_EQ(m.window->rowCount(), 3);
    EXPECT_EQ(m.window->cellText(2, 5), QStringLiteral("b"));

    ui.stop->setChecked(true);
    m.feed({{"uart rx:c", 0x0A000002}});
    EXPECT_EQ(m.window->rowCount(), 3);
    ui.clear->click();
    EXPECT_EQ(m.window->rowCount(), 0);
}

TEST(DbgWindow, AutomaticScrollingShowsTheNewestRowOnlyWhileChecked)
{
    for (const bool on : {false, true}) {
        Monitor m;
        m.window->show();
        m.window->controls().autoScroll->setChecked(on);
        for (int i = 0; i < 100; ++i)
            m.feed({{"uart rx:" + QByteArray::number(i), 1}});
        const QScrollBar *bar = m.window->list()->verticalScrollBar();
        QCoreApplication::processEvents(); // the list's delayed layout
        ASSERT_GT(bar->maximum(), 0);
        EXPECT_EQ(bar->value() == bar->maximum(), on);
    }
}

TEST(DbgWindow, TenClicksOnTheStatusAreaShowTheIoFilter)
{
    Monitor m;
    m.window->show();
    QCheckBox *io = m.window->controls().channels[std::size_t(DebugChannel::Io)];
    for (int i = 0; i < 9; ++i)
        QTest::mouseClick(m.window->controls().statusArea, Qt::LeftButton);
    EXPECT_FALSE(io->isVisible());
    QTest::mouseClick(m.window->controls().statusArea, Qt::LeftButton);
    EXPECT_TRUE(io->isVisible());
    m.feed({{"extio: DI1=1", 1}});
    EXPECT_EQ(m.window->rowCount(), 0);
    io->setChecked(true);
    m.feed({{"extio: DI1=1", 1}});
    EXPECT_EQ(m.window->rowCount(), 1);
}

TEST(DbgWindow, TheListKeepsTheMostRecentRowsWhileEveryShownRowIsLogged)
{
    QTemporaryDir dir;
    dbg::Options o;
    o.maxRows = 2;
    Monitor m(o);
    m.folder = dir.path();
    m.window->controls().logFile->click();
    EXPECT_EQ(m.folderTitle, QStringLiteral("请选择文件夹"));
    EXPECT_EQ(m.window->folderText(), dir.path());
    m.window->controls().log->setChecked(true);
    m.feed({{"a", 1}, {"b", 1}, {"c", 1}});
    ASSERT_EQ(m.window->rowCount(), 2);
    EXPECT_EQ(m.window->cellText(0, 0), QStringLiteral("2"));
    EXPECT_EQ(m.window->monitor().log().linesWritten(), 3u);
}

TEST(DbgWindow, AnUnwritableLogAndATakenPortAreShownOnce)
{
    QUdpSocket other;
    ASSERT_TRUE(other.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
    QTemporaryDir dir;
    dbg::Options o;
    Monitor m(o); // listens on a free port; a second window takes `other`'s below
    m.folder = dir.filePath(QStringLiteral("missing"));
    m.window->controls().logFile->click();
    m.window->controls().log->setChecked(true);
    m.feed({{"a", 1}});
    m.feed({{"b", 1}});
    EXPECT_EQ(m.window->noticeText(),
              QStringLiteral("文件打不开 ") + dir.filePath(QStringLiteral("missing/log-2024-03-07.txt")));

    dbg::Options taken;
    taken.port = other.localPort();
    dbg second(Language(), taken);
    ASSERT_TRUE(testsupport::waitFor([&] { return !second.noticeText().isEmpty(); }));
    EXPECT_TRUE(second.noticeText().contains(QString::number(other.localPort())));
}

TEST(DbgWindow, TheLinkOpensOneWindowForTheProgramsRun)
{
    CvorletDlg::Options options;
    dbg::Options monitor;
    monitor.port = 0;
    addDebugMonitor(options, monitor);
    CvorletDlg main(options);
    auto *link = qobject_cast<QLabel *>(findControl(&main, kDebugMonitorLink));
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isEnabled());
    Q_EMIT link->linkActivated(QStringLiteral("#"));
    QWidget *first = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<dbg *>(w)) first = w;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    first->close();
    Q_EMIT link->linkActivated(QStringLiteral("#"));
    int windows = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        windows += qobject_cast<dbg *>(w) ? 1 : 0;
    EXPECT_EQ(windows, 1);
    EXPECT_TRUE(first->isVisible());
}

TEST(DbgWindow, GalleryWithRowsInBothLanguages)
{
    for (const char letter : {kChineseLetter, kEnglishLetter}) {
        Monitor m({}, Language(letter));
        m.feed({{"uart tx:" + QByteArray::fromHex("010300000002c40b"), 0xC0A80114},
                {"uart rx:" + QByteArray::fromHex("0103040019002a8be7"), 0xC0A80114},
                {"tcpA tx:temperature=25.0;humidity=42", 0xC0A80114},
                {"mqtt tx:{\"temp\":25.0,\"hum\":42}", 0xC0A80115},
                {"Modbus poll slave 1 fc 3 ok", 0xC0A80115},
                {"tcpB rx:PING", 0xC0A80116}});
        m.window->show();
        m.window->list()->selectRow(2);
        m.window->showDetail(2);
        EXPECT_LE(m.window->frameGeometry().width(), 1366);
        EXPECT_LE(m.window->frameGeometry().height(), 728);
        testsupport::shoot(m.window.get(),
                           QStringLiteral("dbg-%1").arg(letter == kEnglishLetter ? QStringLiteral("en")
                                                                                 : QStringLiteral("zh")),
                           letter == kEnglishLetter ? "Clear" : "清除");
    }
}

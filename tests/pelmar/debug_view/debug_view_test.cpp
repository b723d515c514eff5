// The serial servers' debug view: its rows, "停止", the 512-byte cut, a
// port already taken, and its pictures in both languages.
#include "pelmar/advanced/debug_view/debug_view_dialog.h"

#include "pelmar/lang/language_table.h"
#include "tests/support/gallery.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QCheckBox>
#include <QDateTime>
#include <QUdpSocket>

#include <gtest/gtest.h>

using pelmar::DebugViewDialog;
using pelmar::LanguageTable;

namespace {

qint64 localMs(int h, int m, int s)
{
    return QDateTime(QDate(2026, 12, 9), QTime(h, m, s)).toMSecsSinceEpoch();
}

struct View
{
    explicit View(DebugViewDialog::Options o = {}, pelmar::Language language = pelmar::Language::Chinese)
    {
        table.fill(language);
        o.port = 0;
        dialog = std::make_unique<DebugViewDialog>(table, std::move(o));
        EXPECT_TRUE(testsupport::waitFor([&] { return dialog->isListening(); }));
    }
    void send(const QByteArray &data)
    {
        sender.writeDatagram(data, QHostAddress(QStringLiteral("127.0.0.1")), dialog->localPort());
    }
    LanguageTable table;
    std::unique_ptr<DebugViewDialog> dialog;
    QUdpSocket sender;
};

} // namespace

TEST(DebugView, ARowIsTheArrivalTimeSevenSpacesAndTheTextUpToItsFirstZero)
{
    EXPECT_EQ(DebugViewDialog::rowText(localMs(9, 5, 3), "abc"), QStringLiteral("09:05:03       abc"));
    EXPECT_EQ(DebugViewDialog::rowText(localMs(23, 0, 59), QByteArray("ab\0cd", 5)),
              QStringLiteral("23:00:59       ab"));
}

TEST(DebugView, ListsEveryDatagramAndCutsLongOnesTo512Bytes)
{
    DebugViewDialog::Options o;
    o.wallClock = [] { return localMs(9, 5, 3); };
    View v(o);
    v.send("abc");
    v.send(QByteArray(600, 'x'));
    ASSERT_TRUE(testsupport::waitFor([&] { return v.dialog->rowCount() == 2; }));
    EXPECT_EQ(v.dialog->rowText(0), QStringLiteral("09:05:03       abc"));
    EXPECT_EQ(v.dialog->rowText(1), QStringLiteral("09:05:03       ") + QString(512, QLatin1Char('x')));
}

TEST(DebugView, DatagramsThatArriveWhileStoppedAreListedInOrderOnceItIsCleared)
{
    View v;
    v.dialog->stopBox()->setChecked(true);
    for (const char *text : {"first", "second", "third"})
        v.send(text);
    ASSERT_TRUE(testsupport::waitFor([&] { return v.dialog->receiver().receivedCount() == 3; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(v.dialog->rowCount(), 0);
    v.dialog->stopBox()->setChecked(false);
    ASSERT_TRUE(testsupport::waitFor([&] { return v.dialog->rowCount() == 3; }));
    EXPECT_TRUE(v.dialog->rowText(0).endsWith(QStringLiteral("first")));
    EXPECT_TRUE(v.dialog->rowText(2).endsWith(QStringLiteral("third")));
}

TEST(DebugView, KeepsOnlyTheMostRecentRows)
{
    DebugViewDialog::Options o;
    o.maxRows = 2;
    o.showIntervalMs = 0;
    View v(o);
    QList<kyvo::DebugDatagram> batch;
    for (const char *text : {"a", "b", "c"})
        batch.append({QByteArray(text), 0x7F000001, 1, localMs(1, 2, 3)});
    v.dialog->appendDatagrams(batch);
    ASSERT_EQ(v.dialog->rowCount(), 2);
    EXPECT_TRUE(v.dialog->rowText(0).endsWith(QLatin1Char('b')));
}

TEST(DebugView, APortAlreadyTakenIsShownInTheDialog)
{
    QUdpSocket other;
    ASSERT_TRUE(other.bind(QHostAddress(QHostAddress::AnyIPv4), 0));
    LanguageTable table;
    DebugViewDialog::Options o;
    o.port = other.localPort();
    DebugViewDialog dialog(table, o);
    ASSERT_TRUE(testsupport::waitFor([&] { return dialog.portTaken(); }));
    EXPECT_TRUE(dialog.statusText().contains(QString::number(other.localPort())));
}

TEST(DebugView, GalleryWithRowsInBothLanguages)
{
    for (auto language : {pelmar::Language::Chinese, pelmar::Language::English}) {
        DebugViewDialog::Options o;
        o.showIntervalMs = 0;
        View v(o, language);
        QList<kyvo::DebugDatagram> batch;
        const char *texts[] = {"mqtt connect to 192.168.1.100:1883 ok", "mqtt publish topic/port1 12 bytes",
                               "modbus cache: 01 03 00 00 00 02 learned", "mqtt rx: {\"cmd\":\"read\"}"};
        int second = 0;
        for (const char *text : texts)
            batch.append({QByteArray(text), 0x7F000001, 1, localMs(10, 20, second++)});
        v.dialog->appendDatagrams(batch);
        v.dialog->show();
        EXPECT_LE(v.dialog->width(), 1366);
        EXPECT_LE(v.dialog->height(), 728);
        testsupport::shoot(
            v.dialog.get(),
            QStringLiteral("DebugViewDialog-%1")
                .arg(language == pelmar::Language::English ? QStringLiteral("en") : QStringLiteral("zh")),
            language == pelmar::Language::English ? "Stop" : "停止");
    }
}

// The polling dialog from the main window against a simulated gateway on
// loopback: a table edited in the dialogs and saved is the gateway's table
// byte for byte, the refresh shows the gateway's changing values, and the
// gallery pictures of both dialogs in both languages.
#include "vorlet/io/poll/mbpoll.h"
#include "vorlet/io/poll/poll_wiring.h"
#include "vorlet/io/poll/polledit.h"

#include "tests/support/gallery.h"
#include "tests/vorlet/ui/window_fixture.h"
#include "vorlet/record/save_request.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace vorlet;
using namespace uitest;
using testsupport::waitFor;

namespace {

kyvo::ManualClock refreshClock;

struct PollBench : WindowBench
{
    explicit PollBench(int entries = 3) : WindowBench(options(entries)) {}

    static WindowOptions options(int entries)
    {
        WindowOptions o;
        o.gateways[0].pollEntries = entries;
        o.configure = [](CvorletDlg::Options &w) { addPollDialog(w, {&refreshClock}); };
        return o;
    }
    mbpoll *openPoll()
    {
        Q_EMIT control<QLabel>(kPollLink)->linkActivated(QStringLiteral("#"));
        return window->findChild<mbpoll *>();
    }
    void close(QDialog *dialog)
    {
        dialog->close();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString value(mbpoll &d, int row) { return d.model().index(row, poll::kValueColumn).data().toString(); }
    QStringList values(mbpoll &d)
    {
        QStringList shown;
        for (int r = 0; r < d.model().rowCount(); ++r)
            shown << value(d, r);
        return shown;
    }
    // One refresh: the query, the answer in the record, then the next look.
    QStringList refresh(mbpoll &d)
    {
        control<QPushButton>(&d, mbpollcontrol::kRefresh)->click();
        EXPECT_TRUE(waitFor([&] { return record(0).pollValues[0] != 0; }));
        refreshClock.advance(poll::ValueRefresh::kPeriod);
        d.runDue();
        return values(d);
    }
    template <typename W> W *control(QWidget *root, int id) const
    {
        auto *w = qobject_cast<W *>(findControl(root, id));
        EXPECT_NE(w, nullptr) << "control " << id;
        return w;
    }
    using WindowBench::control;
};

} // namespace

TEST(PollWindow, TheLinkOpensTheDialogOnlyForASelectedDevice)
{
    PollBench b;
    EXPECT_TRUE(b.control<QLabel>(kPollLink)->isEnabled());
    EXPECT_EQ(b.openPoll(), nullptr);
    EXPECT_EQ(b.window->statusText(), u("请选择一个设备"));
    ASSERT_TRUE(b.search());
    mbpoll *d = b.openPoll();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isModal() || d->windowModality() != Qt::NonModal);
    EXPECT_EQ(d->model().rowCount(), 3);
}

TEST(PollWindow, AnEditedTableSavedIsTheGatewaysTableByteForByte)
{
    PollBench b;
    ASSERT_TRUE(b.search());
    mbpoll *d = b.openPoll();
    ASSERT_NE(d, nullptr);
    b.control<QPushButton>(d, mbpollcontrol::kTextEdit)->click();
    auto *editor = d->findChild<polledit *>();
    ASSERT_NE(editor, nullptr);
    editor->editor()->setPlainText(
        editor->editor()->toPlainText() +
        u("addr=5;fun=1;regAddr=100;regNum=8;dataType=6;json=阀门;emg=1;b=-2.5\n"));
    b.control<QPushButton>(editor, polleditcontrol::kOk)->click();
    QCoreApplication::processEvents();
    b.control<QPushButton>(d, mbpollcontrol::kAppend)->click();
    ASSERT_EQ(d->model().rowCount(), 5);
    d->model().setData(d->model().index(0, poll::kScaleColumn), QStringLiteral("0.1"), Qt::EditRole);
    b.control<QLineEdit>(d, mbpollcontrol::kInterval)->setText(QStringLiteral("2500"));
    b.control<QPushButton>(d, mbpollcontrol::kOk)->click();
    b.close(d);

    b.control<QPushButton>(1039)->click();
    ASSERT_TRUE(waitFor([&] { return b.window->statusText() == u("保存成功,重启后生效！！！"); }));
    const Bytes table = pollTableValue(b.record(0));
    EXPECT_EQ(b.item(0, "5A"),
              QByteArray(reinterpret_cast<const char *>(table.data()), qsizetype(table.size())));
    EXPECT_EQ(b.item(0, "5A").left(2).toHex(), QByteArray("0005"));
    EXPECT_TRUE(b.item(0, "5A").contains(kyvo::toGbk(u("阀门"))));
    EXPECT_EQ(b.item(0, "57").toHex(), QByteArray("09c4"));
}

TEST(PollWindow, RefreshShowsTheGatewaysChangingValues)
{
    PollBench b(4);
    ASSERT_TRUE(b.search());
    mbpoll *d = b.openPoll();
    ASSERT_NE(d, nullptr);
    const QStringList first = b.refresh(*d);
    ASSERT_EQ(first.size(), 4);
    for (const QString &v : first)
        EXPECT_FALSE(v.isEmpty());
    EXPECT_FALSE(d->refresh().running());
    const QStringList second = b.refresh(*d);
    EXPECT_NE(second, first);

    // A silent gateway: the shown values stay, the dialog keeps looking until it closes.
    b.knob(0, "silent", "1");
    b.control<QPushButton>(d, mbpollcontrol::kRefresh)->click();
    refreshClock.advance(kyvo::Millis{3000});
    d->runDue();
    EXPECT_EQ(b.values(*d), second);
    EXPECT_TRUE(d->refresh().running());
    QPointer<mbpoll> gone(d);
    b.close(d);
    EXPECT_TRUE(gone.isNull());
}

TEST(PollWindow, GalleryBothDialogsInBothLanguagesFitTheScreen)
{
    PollBench b(9);
    ASSERT_TRUE(b.search());
    for (const char *language : {"zh", "en"}) {
        mbpoll *d = b.openPoll();
        ASSERT_NE(d, nullptr);
        b.refresh(*d);
        EXPECT_LE(d->width(), 1366) << language;
        EXPECT_LE(d->height(), 728) << language;
        testsupport::shoot(d, QStringLiteral("mbpoll-%1").arg(QLatin1String(language)));
        b.control<QPushButton>(d, mbpollcontrol::kTextEdit)->click();
        auto *editor = d->findChild<polledit *>();
        ASSERT_NE(editor, nullptr);
        EXPECT_LE(editor->width(), 1366);
        EXPECT_LE(editor->height(), 728);
        testsupport::shoot(editor, QStringLiteral("polledit-%1").arg(QLatin1String(language)));
        editor->reject();
        b.close(d);
        b.window->toggleLanguage();
    }
}

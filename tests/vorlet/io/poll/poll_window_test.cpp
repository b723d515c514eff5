// The polling dialog from the main window against a simulated gateway on
// loopback: a table edited in the dialogs and saved is the gateway's table
// byte for byte, the refresh shows the gateway's changing values, and the
// gallery pictures of both dialogs in both languages.
#include "vorlet/io/poll/mbpoll.h"
#include "vorlet/io/poll/poll_wiring.h"
#include "vorlet/io/poll/polledit.h"

#include "tests/support/gallery.h"
#include "tests/vorlet/ui/window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
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
    PollBench b(0);
    ASSERT_TRUE(b.search());
    mbpoll *d = b.openPoll();
    ASSERT_NE(d, nullptr);
    // Two entries through the text editor, every field set.
    b.control<QPushButton>(d, mbpollcontrol::kTextEdit)->click();
    auto *editor = d->findChild<polledit *>();
    ASSERT_NE(editor, nullptr);
    editor->editor()->setPlainText(
        u("addr=5;fun=1;regAddr=300;regNum=8;dataType=6;json=阀门;th1=-2;th2=70000;k=1.5;b=-2.5;emg=1\n"
          "addr=247;fun=4;regAddr=7;regNum=125;dataType=16;json=t1;th1=3;th2=-1;k=2.25;b=0.75;emg=0\n"));
    b.control<QPushButton>(editor, polleditcontrol::kOk)->click();
    QCoreApplication::processEvents();
    // Cells committed in the list, and one appended entry.
    poll::PollTableModel &m = d->model();
    ASSERT_EQ(m.rowCount(), 2);
    m.setData(m.index(1, poll::kStartColumn), QStringLiteral("40001"), Qt::EditRole);
    m.setData(m.index(1, poll::kOffsetColumn), QStringLiteral("-0.5"), Qt::EditRole);
    b.control<QPushButton>(d, mbpollcontrol::kAppend)->click();
    // Every global setting.
    const std::pair<int, const char *> edits[] = {
        {mbpollcontrol::kInterval, "2500"},     {mbpollcontrol::kTimeout, "300"},
        {mbpollcontrol::kDelay, "50"},          {mbpollcontrol::kMapping, "40"},
        {mbpollcontrol::kTimedUpload, "60000"}, {mbpollcontrol::kPrefix, "{%dev1}"}};
    for (const auto &[id, text] : edits)
        b.control<QLineEdit>(d, id)->setText(QString::fromLatin1(text));
    const std::pair<int, int> lists[] = {{mbpollcontrol::kChangeUpload, 2},
                                         {mbpollcontrol::kTimeoutHandling, 1},
                                         {mbpollcontrol::kUploadFormat, 3},
                                         {mbpollcontrol::kUploadChannel, 2},
                                         {mbpollcontrol::kWriteReply, 4}};
    for (const auto &[id, index] : lists)
        b.control<QComboBox>(d, id)->setCurrentIndex(index);
    b.control<QCheckBox>(d, mbpollcontrol::kAsArray)->setChecked(true);
    b.control<QPushButton>(d, mbpollcontrol::kOk)->click();
    b.close(d);

    b.control<QPushButton>(1039)->click();
    ASSERT_TRUE(waitFor([&] { return b.window->statusText() == u("保存成功,重启后生效！！！"); }));
    // What the gateway keeps, item by item.
    const std::pair<const char *, const char *> expected[] = {
        {"5A", "0003"
               "1D 00 05 01 012C 08 06 FFFFFFFE 00011170 00003A98 800061A8 01 04 B7A7C3C5"
               "1B 00 F7 04 9C41 7D 10 00000003 FFFFFFFF 000057E4 80001388 00 02 7431"
               "1B 00 01 03 0000 01 00 00000000 00000000 00000000 00000000 00 02 6B32"},
        {"50", "01"},
        {"51", "0000EA60"},
        {"52", "02"},
        {"53", "03"},
        {"54", "01"},
        {"55", "0000"},
        {"56", "7B25646576317D"},
        {"57", "09C4"},
        {"58", "0032"},
        {"59", "012C"},
        {"5B", "0028"},
        {"5C", "010204"}};
    for (const auto &[tag, bytes] : expected)
        EXPECT_EQ(b.item(0, tag).toHex(), QByteArray(bytes).replace(' ', "").toLower()) << tag;
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
        const bool english = b.window->language().isEnglish();
        testsupport::shoot(d, QStringLiteral("mbpoll-%1").arg(QLatin1String(language)),
                           english ? "Delete Selected" : "删除选中");
        b.control<QPushButton>(d, mbpollcontrol::kTextEdit)->click();
        auto *editor = d->findChild<polledit *>();
        ASSERT_NE(editor, nullptr);
        EXPECT_LE(editor->width(), 1366);
        EXPECT_LE(editor->height(), 728);
        testsupport::shoot(editor, QStringLiteral("polledit-%1").arg(QLatin1String(language)),
                           english ? "Cancel" : "取消");
        editor->reject();
        b.close(d);
        b.window->toggleLanguage();
    }
}

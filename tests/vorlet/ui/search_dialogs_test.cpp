// The range editor and the cross-router progress dialog in the window.
#include "tests/vorlet/ui/window_fixture.h"

#include "vorlet/ui/address_edit.h"
#include "vorlet/ui/route.h"
#include "vorlet/ui/search.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

using namespace vorlet;
using namespace uitest;
using testsupport::waitFor;

namespace {

std::uint32_t ip(const char *text)
{
    return *kyvo::parseIpv4(text);
}

route *openEditor(WindowBench &b)
{
    Q_EMIT b.control<QLabel>(1084)->linkActivated(QStringLiteral("#"));
    return b.window->findChild<route *>();
}

void typeRange(route *editor, const char *start, const char *end)
{
    editor->startEdit()->setText(QString::fromLatin1(start));
    editor->endEdit()->setText(QString::fromLatin1(end));
}

TEST(RangeEditor, AddsRefusesModifiesAndDeletesRanges)
{
    WindowBench b;
    route *editor = openEditor(b);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->list()->headerItem()->text(2), u("IP数量"));
    typeRange(editor, "192.168.1.1", "192.168.1.254");
    EXPECT_EQ(editor->countLabel()->text(), QStringLiteral("254"));
    qobject_cast<QPushButton *>(findControl(editor, 1086))->click();
    ASSERT_EQ(editor->list()->topLevelItemCount(), 1);
    EXPECT_EQ(editor->list()->topLevelItem(0)->text(2), QStringLiteral("254"));

    typeRange(editor, "192.168.1.100", "192.168.2.10");
    editor->add();
    EXPECT_EQ(editor->list()->topLevelItemCount(), 1);
    QStringList boxes;
    for (QMessageBox *box : editor->findChildren<QMessageBox *>())
        boxes << box->text();
    EXPECT_EQ(boxes, QStringList{u("IP 已经存在！！！")});
    for (QMessageBox *box : editor->findChildren<QMessageBox *>())
        box->done(0);

    typeRange(editor, "10.0.0.9", "10.0.0.1");
    EXPECT_EQ(editor->countLabel()->text(), QStringLiteral("0"));
    editor->add();
    EXPECT_EQ(b.window->settings().ranges.count(), 1u);
    typeRange(editor, "0.0.0.0", "10.0.0.1");
    editor->add(); // a zero address does nothing, not even a message
    EXPECT_TRUE(editor->findChildren<QMessageBox *>().isEmpty() ||
                !editor->findChildren<QMessageBox *>().front()->isVisible());

    typeRange(editor, "10.0.0.1", "10.0.0.10");
    editor->add();
    editor->list()->topLevelItem(0)->setSelected(true);
    typeRange(editor, "172.16.0.1", "172.16.0.4");
    editor->modify();
    EXPECT_EQ(editor->list()->topLevelItem(0)->text(0), QStringLiteral("172.16.0.1"));
    EXPECT_EQ(editor->list()->topLevelItem(0)->text(2), QStringLiteral("4"));
    EXPECT_EQ(b.window->settings().ranges.ranges()[0], (SearchRange{ip("172.16.0.1"), ip("172.16.0.4")}));

    editor->list()->topLevelItem(1)->setSelected(true);
    editor->removeSelected();
    EXPECT_EQ(editor->list()->topLevelItemCount(), 0);
    EXPECT_EQ(b.window->settings().ranges.count(), 0u);
}

TEST(RangeEditor, AFullListTakesNoMoreRanges)
{
    WindowBench b;
    for (std::uint32_t i = 0; i < SearchRanges::kCapacity; ++i)
        b.window->settings().ranges.add(0x0A000001 + 2 * i, 0x0A000001 + 2 * i);
    route *editor = openEditor(b);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->list()->topLevelItemCount(), 255);
    EXPECT_FALSE(findControl(editor, 1086)->isEnabled());
    editor->list()->topLevelItem(3)->setSelected(true);
    editor->removeSelected();
    EXPECT_TRUE(findControl(editor, 1086)->isEnabled());
}

TEST(CrossRouterSearch, WithoutRangesTheEditorOpensInsteadOfTheProgress)
{
    WindowBench b;
    ASSERT_TRUE(b.search());
    b.control<QCheckBox>(1006)->click();
    b.control<QPushButton>(1003)->click();
    EXPECT_EQ(b.window->core().devices().count(), 0u); // the list is emptied all the same
    EXPECT_NE(b.window->findChild<route *>(), nullptr);
    EXPECT_EQ(b.window->findChild<search *>(), nullptr);
}

TEST(CrossRouterSearch, TheProgressDialogCountsAndClosesWhenTheSweepEnds)
{
    WindowOptions o;
    o.gateways = {gateway(5), gateway(7)};
    WindowBench b(o);
    b.control<QCheckBox>(1006)->click();
    b.window->settings().ranges.add(loopback(4), loopback(8));
    b.control<QPushButton>(1003)->click();
    QPointer<search> progress = b.window->findChild<search *>();
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->stopButton()->text(), QStringLiteral("Button1"));
    EXPECT_EQ(progress->progress()->maximum(), 0); // five addresses: tenths round down
    ASSERT_TRUE(waitFor([&] { return progress.isNull(); }));
    EXPECT_EQ(b.window->core().devices().count(), 2u);
    ASSERT_TRUE(waitFor([&] { return b.window->selectedRow() == 1; }));
}

TEST(CrossRouterSearch, StopFinishesTheAddressBeingSentAndKeepsTheDevicesFound)
{
    WindowBench b;
    b.control<QCheckBox>(1006)->click();
    b.window->settings().ranges.add(loopback(5), loopback(5) + 2000);
    b.control<QPushButton>(1003)->click();
    QPointer<search> progress = b.window->findChild<search *>();
    ASSERT_TRUE(progress);
    EXPECT_TRUE(progress->countLabel()->text().endsWith(QStringLiteral("/2001")));
    EXPECT_EQ(progress->progress()->maximum(), 200);
    ASSERT_TRUE(waitFor(
        [&] { return b.window->core().devices().count() == 1 && b.window->core().sweep()->done() >= 3; }));
    EXPECT_TRUE(progress->addressLabel()->text().startsWith(QStringLiteral("127.0.")));
    progress->stopButton()->click();
    EXPECT_TRUE(progress); // open until the address under way has gone
    ASSERT_TRUE(waitFor([&] { return progress.isNull(); }));
    const std::uint64_t done = b.window->core().sweep()->done();
    EXPECT_LT(done, 100u);
    QTest::qWait(100);
    EXPECT_EQ(b.window->core().sweep()->done(), done);
    EXPECT_EQ(b.window->core().devices().count(), 1u);
}

} // namespace

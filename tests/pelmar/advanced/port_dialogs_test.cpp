// The one-to-many address dialog and the cloud pass-through dialog: their
// checks and what they store, and the values reaching a simulated server
// with the next port save.
#include "pelmar/advanced/cloud_dialog.h"
#include "pelmar/advanced/one_to_many_dialog.h"
#include "pelmar/advanced/port_dialogs.h"
#include "tests/pelmar/ui/window_fixture.h"

#include <QDialogButtonBox>

using namespace windowtest;
using devsim::ServerFamily;

namespace {

DeviceEntry entryWithAddresses()
{
    DeviceEntry e;
    e.present = true;
    e.oneToManyProtocol = 2;
    for (std::size_t k = 0; k < kMaxPorts; ++k) {
        e.ports[k].oneToManyAddress = std::uint8_t(k + 1);
        e.ports[k].oneToManyMapped = std::uint8_t(k + 101);
    }
    return e;
}

BenchOptions withPortDialogs(std::vector<devsim::ServerProfile> servers)
{
    BenchOptions o;
    o.servers = std::move(servers);
    ServerConfigDialog::Options w;
    addOneToManyDialog(w);
    addCloudDialog(w);
    o.extensions = w.extensions;
    return o;
}

template <typename D> D *openDialog(WindowBench &b, int button)
{
    b.click(button);
    return b.window->findChild<D *>();
}

} // namespace

TEST(OneToManyDialog, ShowsTheStoredValuesAndStoresLowEightBitsOfPorts2To24Only)
{
    const DeviceEntry before = entryWithAddresses();
    OneToManyDialog d(before, LanguageTable{});
    EXPECT_EQ(d.protocolList()->currentIndex(), 2);
    EXPECT_EQ(d.addressEdit(2)->text(), QStringLiteral("2"));
    EXPECT_EQ(d.mappedEdit(24)->text(), QStringLiteral("124"));
    d.addressEdit(2)->setText(QStringLiteral("300")); // 300 & 0xFF
    d.mappedEdit(13)->setText(QStringLiteral("abc")); // not a number
    d.addressEdit(14)->setText(QStringLiteral("17x"));
    d.protocolList()->setCurrentIndex(0);
    DeviceEntry after = before;
    d.storeInto(after);
    EXPECT_EQ(after.oneToManyProtocol, 0);
    EXPECT_EQ(after.ports[1].oneToManyAddress, 44);
    EXPECT_EQ(after.ports[12].oneToManyMapped, 0);
    EXPECT_EQ(after.ports[13].oneToManyAddress, 17);
    EXPECT_EQ(after.ports[0], before.ports[0]); // PORT1 has no edits
    for (std::size_t k : {2u, 10u, 23u})
        EXPECT_EQ(after.ports[k], before.ports[k]) << k;
}

TEST(OneToManyDialog, RelayModeDisablesEveryAddressEditAndAnotherProtocolEnablesThemAgain)
{
    OneToManyDialog d(entryWithAddresses(), LanguageTable{});
    const auto enabledEdits = [&] {
        int n = 0;
        for (int port = 2; port <= 24; ++port)
            n += d.addressEdit(port)->isEnabled() + d.mappedEdit(port)->isEnabled();
        return n;
    };
    EXPECT_EQ(enabledEdits(), 46);
    for (const auto &[index, expected] : {std::pair{1, 0}, {0, 46}, {1, 0}, {3, 46}}) {
        choose(d.protocolList(), index);
        EXPECT_EQ(enabledEdits(), expected) << index;
    }
}

TEST(CloudDialog, RefusesWhatTheServerCannotTakeWhileTheSwitchIsOn)
{
    const std::string digits20 = "12345678901234567890";
    const struct
    {
        bool enabled;
        std::string id, password;
        const char *refusal;
    } cases[] = {
        {true, digits20, "abcdefgh", nullptr},
        {true, "", "abcdefgh", "云 ID 是20位的数字"}, // empty passes the digits test
        {true, "1234567890123456789a", "abcdefgh", "云 ID 只能是数字"},
        {true, digits20 + "1", "abcdefgh", "云 ID 是20位的数字"},
        {true, digits20, "abcdefg", "云密码必须是8位"},
        {true, digits20, "abcdefghi", "云密码必须是8位"},
        {false, "x", "", nullptr},
    };
    for (const auto &c : cases) {
        const char *r = cloudRefusal(c.enabled, c.id, c.password);
        EXPECT_STREQ(r, c.refusal) << c.id << " / " << c.password;
    }
}

TEST(CloudDialog, StoresTheSwitchAloneWhenOffAndShowsAnAddressOfZeroAsEmpty)
{
    PortSettings port;
    port.cloudEnable = 1;
    port.cloudId.set("11112222333344445555");
    port.cloudPassword.set("pass1234");
    port.cloudAddress = {0, 1, 2, 3};
    QStringList messages;
    CloudDialog d(port, 3, LanguageTable{}, [&](QWidget *, const QString &text) { messages << text; });
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Port3"));
    EXPECT_TRUE(d.addressEdit()->text().isEmpty());
    EXPECT_FALSE(d.addressEdit()->isEnabled());
    d.idEdit()->setText(QStringLiteral("123"));
    d.accept();
    EXPECT_EQ(messages, QStringList{u("云 ID 是20位的数字")});
    EXPECT_EQ(d.result(), QDialog::Rejected); // stays open
    d.enableBox()->setChecked(false);
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    PortSettings after = port;
    d.storeInto(after);
    EXPECT_EQ(after.cloudEnable, 0);
    EXPECT_EQ(after.cloudId.text(), "11112222333344445555");
    EXPECT_EQ(after.cloudPassword.text(), "pass1234");
}

TEST(PortDialogsWindow, OneToManyAddressesReachTheServerWithThePortSaveAndCancelChangesNothing)
{
    WindowBench b(withPortDialogs({server(ServerFamily::Multi2326, 8, true)}));
    ASSERT_TRUE(b.search());
    b.select(0);
    const ServerWindowControls &ui = b.window->controls();
    b.window->toggleAdvanced();
    ui.oneToMany->click();
    ASSERT_TRUE(ui.addressSet->isVisibleTo(ui.advancedGroup));

    auto *cancelled = openDialog<OneToManyDialog>(b, control::kAddressSet);
    ASSERT_NE(cancelled, nullptr);
    cancelled->addressEdit(3)->setText(QStringLiteral("99"));
    cancelled->reject();
    QCoreApplication::processEvents();
    EXPECT_EQ(b.entry(0).ports[2].oneToManyAddress, 53); // the server's own

    QTest::qWait(0); // the cancelled dialog is deleted
    auto *d = openDialog<OneToManyDialog>(b, control::kAddressSet);
    ASSERT_NE(d, nullptr);
    d->addressEdit(3)->setText(QStringLiteral("300"));
    d->mappedEdit(8)->setText(QStringLiteral("7"));
    choose(d->protocolList(), 2);
    d->accept();
    b.click(control::kSavePorts);
    b.advance(600);
    ASSERT_TRUE(waitFor([&] { return b.value(0, QStringLiteral("onetomany")) == QByteArray(1, 1); }));
    EXPECT_EQ(b.value(0, QStringLiteral("o2mproto")), QByteArray(1, 2));
    EXPECT_EQ(b.portValue(0, 3, "o2maddr"), QByteArray(1, 44));
    EXPECT_EQ(b.portValue(0, 8, "o2mmapped"), QByteArray(1, 7));
    EXPECT_EQ(b.portValue(0, 1, "o2maddr"), QByteArray(1, 51)); // PORT1 keeps its own
}

TEST(PortDialogsWindow, CloudSettingsOfTheShownPortReachTheServerWithThePortSave)
{
    // The long two-port record carries both ports' cloud fields; the other port keeps its own.
    const struct
    {
        int port, other;
    } cases[] = {{1, 2}, {2, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.port);
        devsim::ServerProfile native = server(ServerFamily::Native, 2, true);
        native.secondPortCloud = true;
        WindowBench b(withPortDialogs({native}));
        ASSERT_TRUE(b.search());
        b.select(0);
        const QByteArray otherId = b.portValue(0, c.other, "cloudid");
        b.choosePort(c.port - 1);
        auto *d = openDialog<CloudDialog>(b, control::kCloud);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Port%1").arg(c.port));
        d->enableBox()->setChecked(true);
        d->idEdit()->setText(QStringLiteral("98765432109876543210"));
        d->passwordEdit()->setText(QStringLiteral("pw-12345"));
        d->accept();
        b.click(control::kSavePorts);
        b.advance(600);
        ASSERT_TRUE(
            waitFor([&] { return b.portValue(0, c.port, "cloudid") == QByteArray("98765432109876543210"); }));
        EXPECT_EQ(b.portValue(0, c.port, "cloudpwd"), QByteArray("pw-12345"));
        EXPECT_EQ(b.portValue(0, c.port, "cloud"), QByteArray(1, 1));
        EXPECT_EQ(b.portValue(0, c.other, "cloudid"), otherId);
    }
}

TEST(PortDialogsWindow, WithoutASelectedDeviceTheBoxIsClearedAndTheStatusAsksForOne)
{
    WindowBench b(withPortDialogs({}));
    const ServerWindowControls &ui = b.window->controls();
    b.window->toggleAdvanced();
    ui.oneToMany->click();
    EXPECT_FALSE(ui.oneToMany->isChecked());
    b.click(control::kCloud);
    EXPECT_EQ(b.pane(0), u("请在设备列表中选择一个设备"));
    EXPECT_EQ(b.window->findChild<CloudDialog *>(), nullptr);
}

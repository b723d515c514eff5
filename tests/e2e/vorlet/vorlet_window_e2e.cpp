// The main window inside the lab: a real broadcast search, a gateway chosen
// in the list, its IP type, baud rate and device name changed and saved,
// then a restart and a factory reset, each checked on the simulator's side.
#include "vorlet/ui/main_window.h"

#include "common/fixed_field.h"
#include "common/gbk_text.h"
#include "tests/support/lab.h"
#include "tests/support/test_support.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/record/parameter_record.h"

#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace vorlet;
using testsupport::labCounter;
using testsupport::labDevsim;
using testsupport::labGet;
using testsupport::waitFor;

namespace {

// This program broadcasts: outside a namespace of the lab it does not run at all.
const bool kInLab = testsupport::exitUnlessInLab("vorlet_window_e2e");

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

template <typename W> W *control(CvorletDlg &w, int id)
{
    return qobject_cast<W *>(findControl(&w, id));
}

int labDeviceCount()
{
    return int(testsupport::labDevices().size());
}

QString macOf(const ParameterRecord &r)
{
    return QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", r.mac[0], r.mac[1], r.mac[2], r.mac[3],
                             r.mac[4], r.mac[5]);
}

void clickRow(CvorletDlg &w, int row)
{
    QTableView *list = w.controls().deviceList;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, 1)).center());
}

TEST(WindowInTheLab, SearchEditSaveRestartAndReset)
{
    LAB_ONLY();
    ASSERT_TRUE(kInLab);
    const int devices = labDeviceCount();
    ASSERT_GE(devices, 2);

    CvorletDlg window;
    window.show();
    control<QPushButton>(window, 1003)->click();
    ASSERT_TRUE(waitFor([&] { return int(window.core().devices().count()) == devices; }, 20000));
    ASSERT_TRUE(waitFor([&] { return window.selectedRow() == devices - 1; }));

    clickRow(window, 1);
    ASSERT_EQ(window.selectedRow(), 1);
    ParameterRecord &record = window.core().devices().at(1);
    ASSERT_EQ(window.shownRecord(), &record);
    const QString mac = macOf(record);

    auto *ipType = control<QComboBox>(window, 1012);
    ipType->setCurrentIndex(1);
    Q_EMIT ipType->activated(1);
    auto *baud = control<QComboBox>(window, 1026);
    baud->setCurrentIndex(9); // 115200
    Q_EMIT baud->activated(9);
    // The device name is edited in the device-information dialog, in place in the record.
    kyvo::setFieldText(record.deviceName, kyvo::toGbk(u("二号网关")).toStdString());

    control<QPushButton>(window, 1039)->click();
    EXPECT_EQ(window.statusText(), u("正在保存..."));
    ASSERT_TRUE(waitFor([&] { return window.statusText() == u("保存成功,重启后生效！！！"); }, 30000))
        << window.statusText().toStdString();
    EXPECT_EQ(labGet(mac, QStringLiteral("11")).toHex(), QByteArray("01"));
    EXPECT_EQ(labGet(mac, QStringLiteral("40.01")).left(1).toHex(), QByteArray("09"));
    EXPECT_EQ(kyvo::fromGbk(labGet(mac, QStringLiteral("1A"))), u("二号网关"));

    control<QPushButton>(window, 1007)->click();
    EXPECT_EQ(window.statusText(), u("正在重启..."));
    ASSERT_TRUE(waitFor([&] { return window.statusText() == u("重启成功"); }));
    EXPECT_EQ(labCounter(mac, QStringLiteral("restarts")), 1);

    control<QPushButton>(window, 1008)->click();
    ASSERT_TRUE(waitFor([&] { return window.statusText() == u("恢复出厂成功"); }));
    EXPECT_EQ(labCounter(mac, QStringLiteral("resets")), 1);
    // The other gateways were not asked.
    const ParameterRecord &other = window.core().devices().at(0);
    EXPECT_EQ(labCounter(macOf(other), QStringLiteral("restarts")), 0);
}

TEST(WindowInTheLab, TheProgramStartsAndRuns)
{
    LAB_ONLY();
    QTemporaryDir home;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    program.setProcessEnvironment(env);
    program.start(QString::fromUtf8(VORLET_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(5000));
    EXPECT_FALSE(program.waitForFinished(1500)); // still running
    program.terminate();
    if (!program.waitForFinished(5000)) program.kill();
    program.waitForFinished(5000);
}

} // namespace

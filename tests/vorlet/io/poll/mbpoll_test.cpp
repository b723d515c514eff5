// The polling dialogs offscreen: the settings in and out, in-place edits,
// names in either encoding, a full table, the text editor and the refresh
// of the current values on a manual clock.
#include "vorlet/io/poll/mbpoll.h"
#include "vorlet/io/poll/polledit.h"

#include "common/fixed_field.h"
#include "vorlet/lang/dialog_captions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace vorlet;
using namespace vorlet::mbpollcontrol;

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

struct Bench
{
    Bench()
    {
        record->poll.entryCount = 2;
        for (int i = 0; i < 2; ++i) {
            PollEntry &e = record->poll.entries[i];
            e.address = 1;
            e.function = std::uint8_t(i ? 1 : 3);
            e.registerCount = 4;
            kyvo::setFieldText(e.jsonName, i ? "b1" : "a0");
        }
    }
    mbpoll &open()
    {
        PollEnvironment env;
        env.language = &language;
        env.utf8 = &utf8;
        env.clock = &clock;
        env.requestValues = [this] { ++queries; };
        dialog = std::make_unique<mbpoll>(*record, env);
        dialog->show();
        return *dialog;
    }
    template <typename W> W *control(QWidget *root, int id)
    {
        auto *w = qobject_cast<W *>(findControl(root, id));
        EXPECT_NE(w, nullptr) << id;
        return w;
    }
    QString cell(int row, int column) { return dialog->model().index(row, column).data().toString(); }
    bool edit(int row, int column, const QString &text)
    {
        return dialog->model().setData(dialog->model().index(row, column), text, Qt::EditRole);
    }
    QStringList boxes()
    {
        QStringList texts;
        for (auto *b : dialog->findChildren<QMessageBox *>())
            if (b->isVisible()) texts << b->text();
        return texts;
    }

    std::unique_ptr<ParameterRecord> record = std::make_unique<ParameterRecord>();
    Language language;
    int utf8 = 0;
    kyvo::ManualClock clock;
    int queries = 0;
    std::unique_ptr<mbpoll> dialog;
};

} // namespace

TEST(Mbpoll, OpensRepairedAndStoresTheSettingsOnConfirm)
{
    Bench b;
    PollBlock &p = b.record->poll;
    p.pollIntervalMs = 1000;
    p.uploadChannel = 7;
    p.writeReply = 6;
    p.uploadFormat = 3;
    p.field16 = 0xBEEF;
    mbpoll &d = b.open();
    EXPECT_EQ(p.uploadChannel, 0);
    EXPECT_EQ(p.writeReply, 0);
    EXPECT_EQ(b.control<QLineEdit>(&d, kInterval)->text(), QStringLiteral("1000"));
    EXPECT_EQ(b.control<QComboBox>(&d, kUploadFormat)->currentText(), u("Json带前缀自定义格式"));
    EXPECT_EQ(b.control<QComboBox>(&d, kWriteReply)->count(), 6);

    b.control<QLineEdit>(&d, kInterval)->setText(QStringLiteral("70000"));
    b.control<QLineEdit>(&d, kTimedUpload)->setText(QStringLiteral("60000x"));
    b.control<QLineEdit>(&d, kMapping)->setText(QStringLiteral("abc"));
    b.control<QComboBox>(&d, kWriteReply)->setCurrentIndex(5);
    b.control<QCheckBox>(&d, kAsArray)->setChecked(true);
    b.control<QLineEdit>(&d, kPrefix)->setText(u("{%dev1}温度"));
    b.utf8 = 1;
    b.control<QPushButton>(&d, kOk)->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(p.pollIntervalMs.get(), 70000 - 65536);
    EXPECT_EQ(p.timedUploadMs.get(), 60000u);
    EXPECT_EQ(p.mappingAddress.get(), 0);
    EXPECT_EQ(p.writeReply, 5);
    EXPECT_EQ(p.asArray, 1);
    EXPECT_EQ(kyvo::fieldText(p.prefix), "{%dev1}\xe6\xb8\xa9\xe5\xba\xa6"); // UTF-8 with the setting on
    EXPECT_EQ(p.field16.get(), 0xBEEF);
}

TEST(Mbpoll, ACommittedCellIsStoredAndTheAddressesFollow)
{
    Bench b;
    mbpoll &d = b.open();
    EXPECT_EQ(b.cell(1, poll::kCacheColumn), QStringLiteral("8"));
    EXPECT_EQ(b.cell(1, poll::kCache01Column), QStringLiteral("0"));
    EXPECT_EQ(b.cell(0, poll::kCache01Column), QStringLiteral("--"));

    // Through the in-place edit box, as a double-click opens it.
    QTableView *table = d.table();
    table->edit(d.model().index(0, poll::kCountColumn));
    auto *editor = table->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("10"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits on a queued call
    EXPECT_EQ(b.record->poll.entries[0].registerCount, 10);
    EXPECT_EQ(b.cell(1, poll::kCacheColumn), QStringLiteral("20"));

    EXPECT_TRUE(b.edit(0, poll::kTypeColumn, QStringLiteral("int (DCBA)")));
    EXPECT_EQ(b.record->poll.entries[0].dataType, 16);
    EXPECT_FALSE(d.model().flags(d.model().index(0, poll::kCacheColumn)) & Qt::ItemIsEditable);
    EXPECT_FALSE(d.model().flags(d.model().index(0, poll::kSerialColumn)) & Qt::ItemIsEditable);

    // A k beyond what its text shows keeps its bytes when its editor is left unchanged.
    b.record->poll.entries[1].scaleK = 16777217;
    EXPECT_TRUE(b.edit(1, poll::kScaleColumn, b.cell(1, poll::kScaleColumn)));
    EXPECT_EQ(b.record->poll.entries[1].scaleK.get(), 16777217u);
}

TEST(Mbpoll, NamesFollowTheUtf8Setting)
{
    Bench b;
    b.utf8 = 1;
    mbpoll &d = b.open();
    EXPECT_TRUE(b.control<QCheckBox>(&d, kUtf8)->isChecked());
    b.edit(0, poll::kNameColumn, u("温度"));
    EXPECT_EQ(kyvo::fieldTextLength(b.record->poll.entries[0].jsonName), 6u);
    EXPECT_EQ(b.cell(0, poll::kNameColumn), u("温度"));
    b.control<QCheckBox>(&d, kUtf8)->click();
    EXPECT_EQ(b.utf8, 0); // the window's setting
    b.edit(1, poll::kNameColumn, u("温度") + QString(40, QChar(0x6E29)));
    EXPECT_EQ(kyvo::fieldTextLength(b.record->poll.entries[1].jsonName), 64u); // GBK, whole characters
    EXPECT_EQ(b.cell(1, poll::kNameColumn).size(), 32);
}

TEST(Mbpoll, AFullTableRefusesWithAMessage)
{
    Bench b;
    b.record->poll.entryCount = 256;
    mbpoll &d = b.open();
    d.table()->selectRow(3);
    b.control<QPushButton>(&d, kAppend)->click();
    b.control<QPushButton>(&d, kInsert)->click();
    EXPECT_EQ(b.record->poll.entryCount.get(), 256);
    EXPECT_EQ(b.boxes(), QStringList{u("轮询表已满，最多256条")});
    EXPECT_EQ(d.model().rowCount(), 256);
    b.control<QPushButton>(&d, kDelete)->click();
    EXPECT_EQ(d.model().rowCount(), 255);
    EXPECT_EQ(d.table()->selectionModel()->selectedRows().value(0).row(), 3);
}

TEST(Mbpoll, TheTextEditorReplacesTheTableOrRefusesAnOverlongText)
{
    Bench b;
    mbpoll &d = b.open();
    b.control<QPushButton>(&d, kTextEdit)->click();
    auto *editor = d.findChild<polledit *>();
    ASSERT_NE(editor, nullptr);
    QPlainTextEdit *text = editor->editor();
    EXPECT_TRUE(text->toPlainText().startsWith(QStringLiteral(
        "addr=1;fun=3;regAddr=0;regNum=4;dataType=0;json=a0;th1=0;th2=0;k=0.0000;b=0.0000;emg=0\n")));

    QString over;
    for (int i = 0; i < 257; ++i)
        over += QStringLiteral("addr=1;fun=3;json=n%1\n").arg(i);
    text->setPlainText(over);
    b.control<QPushButton>(editor, polleditcontrol::kOk)->click();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(b.record->poll.entryCount.get(), 2);
    ASSERT_EQ(editor->findChildren<QMessageBox *>().size(), 1);
    EXPECT_EQ(editor->findChildren<QMessageBox *>()[0]->text(), u("超过256条命令，未保存。第257行"));

    text->setPlainText(u("addr=9;fun=4;regNum=2;json=温度\naddr=1\n"));
    b.control<QPushButton>(editor, polleditcontrol::kOk)->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(b.record->poll.entryCount.get(), 1);
    EXPECT_EQ(b.record->poll.entries[0].address, 9);
    EXPECT_EQ(kyvo::fieldText(b.record->poll.entries[0].jsonName), "\xce\xc2\xb6\xc8"); // GBK
    EXPECT_EQ(d.model().rowCount(), 1);
    EXPECT_EQ(b.cell(0, poll::kNameColumn), u("温度"));
}

TEST(Mbpoll, CancelInTheTextEditorChangesNothing)
{
    Bench b;
    mbpoll &d = b.open();
    b.control<QPushButton>(&d, kTextEdit)->click();
    auto *editor = d.findChild<polledit *>();
    ASSERT_NE(editor, nullptr);
    editor->editor()->setPlainText(QString());
    b.control<QPushButton>(editor, polleditcontrol::kCancel)->click();
    EXPECT_EQ(b.record->poll.entryCount.get(), 2);
}

TEST(Mbpoll, RefreshShowsTheAnswerAndKeepsValuesWithoutOne)
{
    Bench b;
    mbpoll &d = b.open();
    std::memcpy(b.record->pollValues, "old", 3);
    b.control<QPushButton>(&d, kRefresh)->click();
    EXPECT_EQ(b.queries, 1);
    EXPECT_EQ(b.record->pollValues[0], 0); // cleared before the query
    b.clock.advance(kyvo::Millis{500});
    d.runDue();
    EXPECT_TRUE(d.refresh().running());
    EXPECT_EQ(b.cell(0, poll::kValueColumn), QString());

    std::memcpy(b.record->pollValues, "17;0", 4);
    b.clock.advance(kyvo::Millis{499});
    d.runDue();
    EXPECT_EQ(b.cell(0, poll::kValueColumn), QString());
    b.clock.advance(kyvo::Millis{1});
    d.runDue();
    EXPECT_EQ(b.cell(0, poll::kValueColumn), QStringLiteral("17"));
    EXPECT_EQ(b.cell(1, poll::kValueColumn), QStringLiteral("0"));
    EXPECT_FALSE(d.refresh().running());

    // A second refresh the device leaves unanswered keeps what is shown.
    b.control<QPushButton>(&d, kRefresh)->click();
    b.clock.advance(kyvo::Millis{5000});
    d.runDue();
    EXPECT_EQ(b.cell(0, poll::kValueColumn), QStringLiteral("17"));
    EXPECT_TRUE(d.refresh().running());
}

TEST(Mbpoll, ACanGatewayShowsNoEntriesAndKeepsItsCanSettings)
{
    Bench b;
    b.record->capabilities[4] = 1;
    b.record->poll.can.bitRateIndex = 9;
    b.record->poll.can.acceptanceMask = 0x12345678;
    std::unique_ptr<std::uint8_t[]> before(new std::uint8_t[sizeof(CanBlock)]);
    std::memcpy(before.get(), &b.record->poll.can, sizeof(CanBlock));
    mbpoll &d = b.open();
    EXPECT_EQ(d.model().rowCount(), 0);
    for (int id : {kAppend, kInsert, kDelete, kTextEdit, kRefresh})
        EXPECT_FALSE(b.control<QPushButton>(&d, id)->isEnabled()) << id;
    b.control<QPushButton>(&d, kOk)->click();
    EXPECT_EQ(std::memcmp(before.get(), &b.record->poll.can, sizeof(CanBlock)), 0);
}

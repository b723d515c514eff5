// The I/O rule dialogs driven offscreen: what "确定" writes into the record,
// what "取消" leaves, the quick operations and the texts the dialogs show.
#include "vorlet/io/linkage/action_dialogs.h"
#include "vorlet/io/linkage/poweron.h"
#include "vorlet/io/linkage/rule_dialogs.h"
#include "vorlet/io/linkage/timer.h"
#include "vorlet/io/linkage/upload.h"
#include "vorlet/io/linkage/xya.h"
#include "vorlet/lang/dialog_captions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace vorlet;

namespace {

const Language kChinese;

std::unique_ptr<ParameterRecord> ioRecord()
{
    auto r = std::make_unique<ParameterRecord>();
    for (DigitalRule &d : r->io.digitalRules)
        d.action = kNoRelayAction;
    for (AnalogRule &a : r->io.analogRules)
        a.action = kNoRelayAction;
    for (TimerEntry &t : r->io.timers)
        t.action = kNoRelayAction;
    return r;
}

template <typename D> D *nested(QWidget *dialog)
{
    D *child = dialog->findChild<D *>();
    EXPECT_NE(child, nullptr);
    return child;
}

// The dialog's own button of that caption (a nested dialog's are its own).
void press(QWidget *dialog, const char *caption)
{
    for (QPushButton *b : dialog->findChildren<QPushButton *>())
        if (b->window() == dialog && b->text() == QString::fromUtf8(caption)) {
            b->click();
            return;
        }
    ADD_FAILURE() << "no button " << caption;
}

bool sameRecord(const ParameterRecord &a, const ParameterRecord &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(ActionDialog, AllToggleGivesAAAAAAAAAndCancelKeepsTheWord)
{
    action ok(kNoRelayAction, kChinese);
    ok.picker()->allButton(kRelayToggle)->click();
    EXPECT_EQ(ok.word(), kNoRelayAction); // nothing until "确定"
    press(&ok, "确定");
    EXPECT_EQ(ok.word(), 0xAAAAAAAAu);
    EXPECT_EQ(ok.result(), QDialog::Accepted);

    action cancelled(0x7FFFFFFDu, kChinese);
    EXPECT_EQ(cancelled.picker()->list(0)->currentText(), QStringLiteral("Y1闭合"));
    cancelled.picker()->allButton(kRelayOpen)->click();
    press(&cancelled, "取消");
    EXPECT_EQ(cancelled.word(), 0x7FFFFFFDu);
}

TEST(LinkageDialog, OneToOneCloseThenOkStoresFDAnd7F)
{
    auto r = ioRecord();
    xya dialog(XyaMode::Digital, *r, kChinese);
    dialog.quickButton(xya::OneToOneClose)->click();
    EXPECT_EQ(r->io.digitalRules[0].action.get(), kNoRelayAction); // the record waits for "确定"
    EXPECT_EQ(dialog.relayLabels(0)->colour(0), codeColour(kRelayClose));
    EXPECT_EQ(dialog.relayLabels(0)->colour(1), codeColour(kRelayUnchanged));
    dialog.accept(); // a close that is not "确定" stores nothing
    EXPECT_EQ(r->io.digitalRules[15].action.get(), kNoRelayAction);
    xya again(XyaMode::Digital, *r, kChinese);
    again.quickButton(xya::OneToOneClose)->click();
    press(&again, "确定");
    EXPECT_EQ(r->io.digitalRules[0].action.get(), 0xFFFFFFFDu);
    EXPECT_EQ(r->io.digitalRules[15].action.get(), 0x7FFFFFFFu);
}

TEST(LinkageDialog, CancelDiscardsAnActionChosenInTheRow)
{
    for (bool confirm : {false, true}) {
        auto r = ioRecord();
        const auto before = std::make_unique<ParameterRecord>(*r);
        xya dialog(XyaMode::Digital, *r, kChinese);
        dialog.triggerList(4)->setCurrentIndex(2);
        dialog.actionButton(2)->click();
        action *picker = nested<action>(&dialog);
        ASSERT_NE(picker, nullptr);
        picker->picker()->allButton(kRelayOpen)->click();
        press(picker, "确定");
        EXPECT_EQ(dialog.relayLabels(2)->colour(5), codeColour(kRelayOpen));
        press(&dialog, confirm ? "确定" : "取消");
        if (confirm) {
            EXPECT_EQ(r->io.digitalRules[2].action.get(), 0u);
            EXPECT_EQ(r->io.digitalRules[4].trigger, 2);
        } else {
            EXPECT_TRUE(sameRecord(*r, *before));
        }
    }
}

TEST(LinkageDialog, AnalogueValuesInCountsOrThousandths)
{
    auto r = ioRecord();
    r->io.analogRules[2].range = 9; // outside the list: shown and kept as raw counts
    r->io.analogRules[2].value1 = 7250;
    {
        xya dialog(XyaMode::Analogue, *r, kChinese);
        EXPECT_EQ(dialog.value1Edit(2)->text(), QStringLiteral("7250"));
        EXPECT_FALSE(dialog.triggerList(0)->isEnabled());
        dialog.rangeList(0)->setCurrentIndex(3); // 0-10 V
        dialog.value1Edit(0)->setText(QStringLiteral("7.25"));
        dialog.value1Edit(1)->setText(QStringLiteral("7.25")); // range ADC
        dialog.conditionList(1)->setCurrentIndex(2);
        dialog.quickButton(xya::OneToOneToggle)->click(); // keeps the typed values
        EXPECT_EQ(dialog.value1Edit(0)->text(), QStringLiteral("7.250000"));
        press(&dialog, "确定");
    }
    EXPECT_EQ(r->io.analogRules[0].range, 3);
    EXPECT_EQ(r->io.analogRules[0].value1.get(), 7250);
    EXPECT_EQ(r->io.analogRules[1].value1.get(), 7);
    EXPECT_EQ(r->io.analogRules[1].condition, 2);
    EXPECT_EQ(r->io.analogRules[2].range, 0);
    EXPECT_EQ(r->io.analogRules[2].value1.get(), 7250);
    EXPECT_EQ(r->io.analogRules[7].action.get(), 0xFFFFBFFFu); // ADC8 toggles Y8
    EXPECT_EQ(r->io.digitalRules[7].action.get(), kNoRelayAction);
    xya again(XyaMode::Analogue, *r, kChinese);
    EXPECT_EQ(again.value1Edit(0)->text(), QStringLiteral("7.250000"));
    EXPECT_EQ(again.value1Edit(1)->text(), QStringLiteral("7"));
    again.quickButton(xya::CopySettings)->click();
    EXPECT_EQ(again.rangeList(5)->currentIndex(), 3);
    EXPECT_EQ(again.value1Edit(5)->text(), QStringLiteral("7.250000"));
    EXPECT_EQ(again.relayLabels(5)->colour(5), codeColour(kRelayToggle)); // actions stay
}

TEST(PowerOnDialog, MasksAndTimeoutOnOkOnly)
{
    auto r = ioRecord();
    r->io.powerOnMask = 0x0001;
    poweron dialog(*r, kChinese);
    EXPECT_TRUE(dialog.relay(poweron::PowerOn, 0)->isChecked());
    dialog.relay(poweron::PowerOn, 8)->setChecked(true);
    qobject_cast<QPushButton *>(findControl(&dialog, 1006))->click(); // "全选" of the timeout group
    dialog.timeoutEdit()->setText(QStringLiteral("0"));
    EXPECT_EQ(r->io.timeoutMask.get(), 0);
    press(&dialog, "确定");
    EXPECT_EQ(r->io.powerOnMask.get(), 0x0101);
    EXPECT_EQ(r->io.timeoutMask.get(), 0xFFFF); // kept although the timeout is off
    EXPECT_EQ(r->io.commandTimeoutS.get(), 0);

    poweron cut(*r, kChinese);
    cut.timeoutEdit()->setText(QStringLiteral("70000"));
    press(&cut, "确定");
    EXPECT_EQ(r->io.commandTimeoutS.get(), 70000 & 0xFFFF);
}

TEST(TimerDialog, TimesWeekdaysAndCopies)
{
    auto r = ioRecord();
    r->io.timers[0].timeOfDayS = 30615;
    timer dialog(*r, kChinese);
    EXPECT_EQ(dialog.timeEdit(0)->text(), QStringLiteral("08:30:15"));
    dialog.timeEdit(1)->setText(QStringLiteral("7:5"));
    dialog.expiryEdit(1)->setText(QStringLiteral("1500"));
    dialog.actionButton(0)->click();
    taction *picker = nested<taction>(&dialog);
    ASSERT_NE(picker, nullptr);
    qobject_cast<QPushButton *>(findControl(picker, taction::kSelectNone))->click();
    for (int d : {0, 1, 2, 3, 4})
        picker->weekday(d)->setChecked(true);
    picker->picker()->list(3)->setCode(kRelayClose);
    press(picker, "确定");
    dialog.quickButton(timer::CopyWeekdays)->click();
    for (int day = 0; day < 7; ++day)
        EXPECT_EQ(dialog.weekdayLabels(9)->colour(day), weekdayColour(day < 5)) << day;
    dialog.enabledBox(0)->setChecked(true);
    dialog.quickButton(timer::CopyEnabled)->click();
    EXPECT_TRUE(dialog.enabledBox(15)->isChecked());
    EXPECT_EQ(r->io.timers[0].weekdays, 0); // not before "确定"
    press(&dialog, "取消");
    EXPECT_EQ(r->io.timers[0].weekdays, 0);
    EXPECT_EQ(r->io.timers[15].enabled, 0);

    timer kept(*r, kChinese);
    kept.timeEdit(1)->setText(QStringLiteral("7:5"));
    kept.actionButton(1)->click();
    taction *days = nested<taction>(&kept);
    ASSERT_NE(days, nullptr);
    days->weekday(0)->setChecked(true);
    days->weekday(6)->setChecked(true);
    press(days, "确定");
    press(&kept, "确定");
    EXPECT_EQ(r->io.timers[1].timeOfDayS.get(), 25500u);
    EXPECT_EQ(r->io.timers[1].weekdays, 0x41);
    EXPECT_EQ(r->io.timers[0].timeOfDayS.get(), 30615u);
    timer reopened(*r, kChinese);
    EXPECT_EQ(reopened.timeEdit(1)->text(), QStringLiteral("07:05:00"));
}

TEST(UploadDialog, StoresTheBlockOnOkOnly)
{
    auto r = ioRecord();
    r->io.upload.enabled = 1;
    r->io.upload.contentMask = 0x28; // "ADC" and "ADC(0-10V)"
    const auto before = std::make_unique<ParameterRecord>(*r);
    {
        upload cancelled(*r, kChinese);
        EXPECT_TRUE(cancelled.contentBox(upload::AdcRaw)->isChecked());
        EXPECT_FALSE(cancelled.contentBox(upload::Adc10V)->isChecked());
        cancelled.inputList(0)->setCode(3);
        cancelled.userIdEdit()->setText(QStringLiteral("changed"));
        press(&cancelled, "取消");
        EXPECT_TRUE(sameRecord(*r, *before));
    }
    upload dialog(*r, kChinese);
    dialog.inputList(0)->setCode(3);         // "变化"
    dialog.inputList(1)->setCode(1);         // "变高"
    dialog.rangeList(0)->setCurrentIndex(3); // 0-20 mA
    dialog.value1Edit(0)->setText(QStringLiteral("4.5"));
    dialog.value1Edit(2)->setText(QStringLiteral("4.5")); // raw counts
    dialog.adcBox(0)->setChecked(true);
    dialog.quickButton(upload::CopyAdcEnabled)->click();
    dialog.contentBox(upload::Adc20mA)->setChecked(true);
    EXPECT_FALSE(dialog.contentBox(upload::AdcRaw)->isChecked());
    dialog.userIdEdit()->setText(QString(40, QLatin1Char('u')));
    press(&dialog, "确定");
    const UploadBlock &b = r->io.upload;
    EXPECT_EQ(b.enabled, 1);
    EXPECT_EQ(b.inputConditions.get(), 0x00000007u);
    EXPECT_EQ(b.rules[0].value1.get(), 4500);
    EXPECT_EQ(b.rules[2].value1.get(), 4);
    EXPECT_EQ(b.adcEnableMask, 0xFF);
    EXPECT_EQ(b.contentMask, 0x40);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(b.userId)), std::string(31, 'u'));
    upload reopened(*r, kChinese);
    EXPECT_EQ(reopened.value1Edit(0)->text(), QStringLiteral("4.500"));
}

TEST(RuleDialogs, EnglishModeShowsNoChinese)
{
    auto r = ioRecord();
    const Language english('e');
    auto hasChinese = [](const QString &text) {
        for (QChar c : text)
            if (c.unicode() >= 0x2E80) return true;
        return false;
    };
    for (RuleDialog which : {RuleDialog::InputLinkage, RuleDialog::AdcLinkage, RuleDialog::PowerOn,
                             RuleDialog::Timers, RuleDialog::Upload}) {
        std::unique_ptr<QDialog> dialog(newRuleDialog(which, *r, english, nullptr));
        QStringList texts{dialog->windowTitle()};
        for (auto *l : dialog->findChildren<QLabel *>())
            texts << l->text();
        for (auto *b : dialog->findChildren<QAbstractButton *>())
            texts << b->text();
        for (auto *c : dialog->findChildren<QComboBox *>())
            for (int i = 0; i < c->count(); ++i)
                texts << c->itemText(i);
        for (const QString &t : texts)
            EXPECT_FALSE(hasChinese(t)) << int(which) << " " << t.toStdString();
    }
    for (QDialog *picker : {static_cast<QDialog *>(new action(0, english)),
                            static_cast<QDialog *>(new taction(0, 0, english))}) {
        std::unique_ptr<QDialog> owned(picker);
        for (auto *c : picker->findChildren<QComboBox *>())
            EXPECT_FALSE(hasChinese(c->itemText(1)));
        for (auto *b : picker->findChildren<QAbstractButton *>())
            EXPECT_FALSE(hasChinese(b->text())) << b->text().toStdString();
    }
}

// The rule dialogs on a gateway found by the main window: edited, confirmed
// and saved, the linkage, timers and reports arrive in the simulated
// gateway's items byte for byte. And the gallery of every rule dialog.
#include "vorlet/io/linkage/action_dialogs.h"
#include "vorlet/io/linkage/poweron.h"
#include "vorlet/io/linkage/rule_dialogs.h"
#include "vorlet/io/linkage/rule_wiring.h"
#include "vorlet/io/linkage/timer.h"
#include "vorlet/io/linkage/upload.h"
#include "vorlet/io/linkage/xya.h"

#include "tests/support/gallery.h"
#include "tests/vorlet/ui/window_fixture.h"
#include "vorlet/io/module/module_wiring.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <functional>

using namespace vorlet;
using uitest::u;

namespace {

void press(QWidget *dialog, const char *caption)
{
    for (QPushButton *b : dialog->findChildren<QPushButton *>())
        if (b->window() == dialog && b->text() == u(caption)) {
            b->click();
            return;
        }
    ADD_FAILURE() << "no button " << caption;
}

template <typename D> D *opened(uitest::WindowBench &b, RuleDialog which)
{
    auto *dialog = dynamic_cast<D *>(
        openRuleDialog(which, *b.window->selectedRecord(), b.window->language(), b.window.get()));
    EXPECT_NE(dialog, nullptr);
    return dialog;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

uitest::WindowOptions ioGateway()
{
    uitest::WindowOptions o;
    o.gateways[0].ioModule = true;
    return o;
}

} // namespace

TEST(RuleWindow, RulesEditedInTheDialogsArriveInTheGateway)
{
    uitest::WindowBench b(ioGateway());
    ASSERT_TRUE(b.search());

    auto *inputs = opened<xya>(b, RuleDialog::InputLinkage);
    inputs->quickButton(xya::OneToOneClose)->click();
    inputs->triggerList(1)->setCurrentIndex(2);
    press(inputs, "确定");

    auto *adc = opened<xya>(b, RuleDialog::AdcLinkage);
    adc->rangeList(0)->setCurrentIndex(3);
    adc->value1Edit(0)->setText(QStringLiteral("7.25"));
    adc->value2Edit(0)->setText(QStringLiteral("20"));
    adc->conditionList(0)->setCurrentIndex(2);
    press(adc, "确定");

    auto *power = opened<poweron>(b, RuleDialog::PowerOn);
    power->relay(poweron::PowerOn, 0)->setChecked(true);
    power->relay(poweron::PowerOn, 8)->setChecked(true);
    for (int i = 0; i < 16; ++i)
        power->relay(poweron::Timeout, i)->setChecked(true);
    power->timeoutEdit()->setText(QStringLiteral("300"));
    press(power, "确定");

    auto *timers = opened<timer>(b, RuleDialog::Timers);
    timers->timeEdit(0)->setText(QStringLiteral("08:30:15"));
    timers->expiryEdit(0)->setText(QStringLiteral("1500"));
    timers->quickButton(timer::CopyTime)->click();
    timers->actionButton(0)->click();
    auto *days = timers->findChild<taction *>();
    ASSERT_NE(days, nullptr);
    press(days, "全不选");
    days->weekday(0)->setChecked(true);
    days->weekday(6)->setChecked(true);
    days->picker()->allButton(kRelayToggle)->click();
    press(days, "确定");
    press(timers, "确定");

    auto *reports = opened<upload>(b, RuleDialog::Upload);
    for (int i = 0; i < 16; ++i)
        reports->inputList(i)->setCode(0);
    reports->inputList(0)->setCode(3);
    reports->inputList(1)->setCode(1);
    reports->rangeList(0)->setCurrentIndex(3);
    reports->value1Edit(0)->setText(QStringLiteral("4.5"));
    reports->value2Edit(0)->setText(QStringLiteral("5"));
    reports->userIdEdit()->setText(QStringLiteral("line-7"));
    press(reports, "确定");

    b.window->saveParameters();
    ASSERT_TRUE(testsupport::waitFor([&] { return b.counter(0, "saves") == 1; }));
    struct Expected
    {
        const char *item;
        int at;
        const char *bytes;
    };
    const Expected expected[] = {
        {"96", 0, "00fdffffff02f7ffffff"},           // X1 closes Y1, X2 on a falling edge closes Y2
        {"96", 75, "00ffffff7f"},                    // X16 closes Y16
        {"97", 0, "031c524e2002ffffffff"},           // ADC1 0-10 V from 7.250 to 20.000
        {"9D", 0, "010111"},                         // Y1 and Y9 at power-on, retention kept
        {"9E", 0, "ffff012c"},                       // every relay after 300 s
        {"94", 0, "0100007797000005dc41aaaaaaaa"},   // T1
        {"94", 210, "0000007797000003e81ffdffffff"}, // T16 took T1's time only
        {"99", 0,
         "010700000000"
         "00ea600507"},
        {"9A", 0, "0303119413880100000000"},
        {"9F", 0, "6c696e652d37"},
    };
    for (const Expected &e : expected) {
        const QByteArray want = hex(e.bytes);
        EXPECT_EQ(b.item(0, e.item).mid(e.at, want.size()).toHex(), want.toHex()) << e.item << " at " << e.at;
    }
    EXPECT_EQ(b.item(0, "97").size(), 80);
}

TEST(RuleWindow, CancelledDialogsLeaveTheRecordAsItWas)
{
    uitest::WindowBench b(ioGateway());
    ASSERT_TRUE(b.search());
    ParameterRecord &record = *b.window->selectedRecord();
    const auto before = std::make_unique<ParameterRecord>(record);
    for (RuleDialog which : {RuleDialog::InputLinkage, RuleDialog::AdcLinkage, RuleDialog::PowerOn,
                             RuleDialog::Timers, RuleDialog::Upload}) {
        QDialog *dialog = openRuleDialog(which, record, b.window->language(), b.window.get());
        for (QCheckBox *box : dialog->findChildren<QCheckBox *>())
            box->toggle();
        for (QLineEdit *edit : dialog->findChildren<QLineEdit *>())
            edit->setText(QStringLiteral("9"));
        for (QComboBox *list : dialog->findChildren<QComboBox *>())
            list->setCurrentIndex(1);
        dialog->reject();
        EXPECT_EQ(std::memcmp(&record, before.get(), sizeof record), 0) << int(which);
    }
}

TEST(RuleWindow, TheModuleDialogsLinksOpenTheRuleDialogsInTheWindowsLanguage)
{
    uitest::WindowOptions o = ioGateway();
    o.savedLetter = 'e';
    o.configure = [](CvorletDlg::Options &w) {
        RtuEnvironment env;
        env.rules = moduleRuleDialogs();
        addIoModulePanel(w, env);
    };
    uitest::WindowBench b(o);
    ASSERT_TRUE(b.search());
    b.control<QPushButton>(kIoModuleButton)->click();
    auto *module = b.window->findChild<rtu *>();
    ASSERT_NE(module, nullptr);
    struct Case
    {
        int control;
        std::function<bool(QDialog *)> expected;
    };
    const Case cases[] = {
        {1271,
         [](QDialog *d) {
             auto *x = dynamic_cast<xya *>(d);
             return x && x->mode() == XyaMode::Digital;
         }},
        {1119,
         [](QDialog *d) {
             auto *x = dynamic_cast<xya *>(d);
             return x && x->mode() == XyaMode::Analogue;
         }},
        {1115, [](QDialog *d) { return dynamic_cast<timer *>(d) != nullptr; }},
        {1116, [](QDialog *d) { return dynamic_cast<upload *>(d) != nullptr; }},
        {1009, [](QDialog *d) { return dynamic_cast<poweron *>(d) != nullptr; }},
    };
    for (const Case &c : cases) {
        QWidget *control = findControl(module, c.control);
        ASSERT_NE(control, nullptr) << c.control;
        if (auto *link = qobject_cast<QLabel *>(control))
            Q_EMIT link->linkActivated(QString());
        else
            qobject_cast<QPushButton *>(control)->click();
        QDialog *opened = nullptr;
        for (QDialog *d : module->findChildren<QDialog *>())
            if (d->isVisible()) opened = d;
        ASSERT_NE(opened, nullptr) << c.control;
        EXPECT_TRUE(c.expected(opened)) << c.control;
        press(opened, "Cancel");
        QCoreApplication::processEvents();
    }
}

TEST(RuleGallery, EveryRuleDialogInBothLanguagesFitsTheScreen)
{
    auto record = std::make_unique<ParameterRecord>();
    for (int k = 0; k < 16; ++k) {
        record->io.digitalRules[k] = {std::uint8_t(k % 3), {}};
        record->io.digitalRules[k].action = singleRelayWord(k, std::uint8_t(k % 3));
        record->io.timers[k].enabled = k < 4;
        record->io.timers[k].timeOfDayS = std::uint32_t(8 * 3600 + 15 * 60 * k);
        record->io.timers[k].expiryMs = 1000;
        record->io.timers[k].weekdays = 0x1F;
        record->io.timers[k].action = uniformRelayWord(std::uint8_t(k % 4));
    }
    for (int k = 0; k < 8; ++k) {
        record->io.analogRules[k].range = std::uint8_t(k % 4);
        record->io.analogRules[k].value1 = 4000;
        record->io.analogRules[k].value2 = 20000;
        record->io.analogRules[k].action = singleRelayWord(k, kRelayClose);
        record->io.upload.rules[k].range = std::uint8_t(k % 4);
        record->io.upload.rules[k].value1 = 4500;
    }
    record->io.upload.inputConditions = 0x0000E4E4;
    record->io.upload.contentMask = 0x0B;
    record->io.upload.intervalMs = 60000;
    record->io.upload.format = 5;
    record->io.powerOnMask = 0x00FF;
    record->io.commandTimeoutS = 30;
    kyvo::setFieldText(record->io.upload.userId, "line-7");
    struct Shot
    {
        const char *name;
        std::function<QDialog *(const Language &)> make;
        const char *chinese; // a caption the dialog shows
        const char *english;
    };
    const Shot shots[] = {
        {"xya",
         [&](const Language &l) { return newRuleDialog(RuleDialog::InputLinkage, *record, l, nullptr); },
         "确定", "OK"},
        {"xya-adc",
         [&](const Language &l) { return newRuleDialog(RuleDialog::AdcLinkage, *record, l, nullptr); },
         "确定", "OK"},
        {"poweron",
         [&](const Language &l) { return newRuleDialog(RuleDialog::PowerOn, *record, l, nullptr); }, "全选",
         "Select All"},
        {"timer", [&](const Language &l) { return newRuleDialog(RuleDialog::Timers, *record, l, nullptr); },
         "确定", "OK"},
        {"upload", [&](const Language &l) { return newRuleDialog(RuleDialog::Upload, *record, l, nullptr); },
         "确定", "Confirm"},
        {"action", [](const Language &l) { return new action(0xE4E4E4E4u, l); }, "全断开", "All Off"},
        {"taction", [](const Language &l) { return new taction(0x1B1B1B1Bu, 0x41, l); }, "循环", "Loop"},
    };
    for (const Language &language : {Language('c'), Language('e')}) {
        for (const Shot &shot : shots) {
            std::unique_ptr<QDialog> dialog(shot.make(language));
            dialog->show();
            dialog->adjustSize();
            const QString name =
                QString::fromLatin1(shot.name) + (language.isEnglish() ? u("-en") : u("-zh"));
            EXPECT_LE(dialog->frameGeometry().width(), 1366) << name.toStdString();
            EXPECT_LE(dialog->frameGeometry().height(), 728) << name.toStdString(); // 768 less a task bar
            testsupport::shoot(dialog.get(), name, language.isEnglish() ? shot.english : shot.chinese, 5);
        }
    }
}

// The gallery of the I/O module dialog: `rtu` in both languages with live
// values and its service controls shown, at a size that fits a 1366x768 screen.
#include "vorlet/io/module/rtu_dialog.h"

#include "tests/support/gallery.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"

#include <QCheckBox>

#include <memory>

using namespace vorlet;

TEST(ModuleGallery, RtuInBothLanguages)
{
    auto record = std::make_unique<ParameterRecord>();
    record->ioInputs = 16;
    record->ioOutputs = 16;
    record->ioAnalog = 8;
    record->io.moduleAddress = 1;
    record->io.debounceMs = 20;
    record->io.retention = 0x11;
    for (int k = 0; k < 16; ++k) {
        record->live.relayStates[k] = k % 3 == 0;
        record->live.inputStates[k] = k % 2;
        record->live.counters[k] = std::uint32_t(1000 * k + 7);
    }
    for (int i = 0; i < 8; ++i) {
        record->live.analogRaw[i] = std::uint16_t(500 * i);
        record->live.analogScaled[i] = std::uint16_t(610 * i);
    }
    for (const Language &language : {Language('c'), Language('e')}) {
        kyvo::ManualClock clock;
        RtuEnvironment env;
        env.language = &language;
        env.clock = &clock;
        env.rules.timers = [](QWidget *, ParameterRecord &) {};
        rtu dialog(*record, env);
        dialog.show();
        dialog.adjustSize();
        for (int i = 0; i < rtu::kServiceClicks; ++i)
            dialog.clickBlankArea();
        qobject_cast<QCheckBox *>(findControl(&dialog, 1053))->setChecked(true);
        clock.advance(kyvo::Millis{100});
        dialog.poll(); // the first redraw
        dialog.adjustSize();
        EXPECT_LE(dialog.width(), 1366);
        EXPECT_LE(dialog.height(), 728); // the work area above a task bar
        testsupport::shoot(
            &dialog,
            QStringLiteral("rtu-%1").arg(language.isEnglish() ? QStringLiteral("en") : QStringLiteral("zh")),
            language.isEnglish() ? "Power Off Save" : "掉电检测");
    }
}

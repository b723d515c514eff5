// Translate, PrepareDialogTable, ToggleLanguage and the start-up rule.
#include "vorlet/lang/language.h"

#include <gtest/gtest.h>

using namespace vorlet;

TEST(Translate, GivesEnglishForLetterEAndTheTextItselfWithoutARow)
{
    EXPECT_EQ(Language('e').tr102("保存失败"), QStringLiteral("SAVE Failed."));
    EXPECT_EQ(Language('c').tr102("保存失败"), QString::fromUtf8("保存失败"));
    EXPECT_EQ(Language('x').tr102("保存失败"), QString::fromUtf8("保存失败"));
    EXPECT_EQ(Language('e').tr102("没有这一行"), QString::fromUtf8("没有这一行"));
    EXPECT_EQ(Language('e').translate(140, "保存失败"), QString::fromUtf8("保存失败"));
}

TEST(Translate, FirstMatchingRowWins)
{
    EXPECT_EQ(translate(102, "密码", 'e'), "Pwd");
    EXPECT_EQ(translate(102, "当前设备处于按键升级状态,若不想升级，断电重启即可", 'e'),
              "The current device is in button upgrade mode. If you do not want to upgrade, simply power off "
              "and restart.");
    EXPECT_EQ(translate(138, "设备", 'e'), "Devs"); // not the later column row "Devices"
}

TEST(PrepareDialogTable, EnglishForAllRowsChineseOnlyForControlRows)
{
    EXPECT_STREQ(prepareDialogTable(155, 'e').rows.at(9).current, "Over");
    const DialogTable chinese = prepareDialogTable(155, 'c');
    EXPECT_STREQ(chinese.rows.at(3).current, "全不变");
    EXPECT_EQ(chinese.rows.at(9).current, nullptr); // a message row
}

TEST(ToggleLanguage, StartUpRestoresTheSavedLetterAndTreatsOthersAsChinese)
{
    const std::pair<char, char> cases[] = {{'e', 'e'}, {'c', 'c'}, {0, 'c'}, {'x', 'c'}};
    for (const auto &[saved, expected] : cases) {
        Language language;
        EXPECT_FALSE(language.restoreSavedLetter(saved));
        EXPECT_EQ(language.letter(), expected) << "saved " << int(saved);
    }
}

TEST(ToggleLanguage, EnglishEditionStaysEnglishAndSetsItsTitle)
{
    Language language(kChineseLetter, true);
    EXPECT_TRUE(language.restoreSavedLetter('c'));
    const auto title = language.toggleLanguage();
    EXPECT_TRUE(language.isEnglish());
    EXPECT_EQ(title.value_or(QString()), QStringLiteral("Hx Config   V242      "));
}

// The language table's texts and the language file.
#include "pelmar/lang/language_table.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

using namespace pelmar;

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

TEST(LanguageTable, EveryTextSlotIsFilledInBothLanguages)
{
    std::set<int> slots;
    for (const LanguageSlotText &s : languageSlotTexts()) {
        EXPECT_TRUE(slots.insert(s.slot).second) << s.slot;
        EXPECT_NE(*s.english, 0) << s.slot;
        EXPECT_NE(*s.chinese, 0) << s.slot;
    }
    for (int slot = 4; slot <= 388; slot += 4)
        EXPECT_EQ(slots.count(slot), slot == 8 || slot == slot::kLanguageCode ? 0u : 1u) << slot;
}

TEST(LanguageTable, TextsAreTheProgramsOwnByteForByte)
{
    LanguageTable t;
    t.fillEnglish();
    EXPECT_EQ(t.language(), Language::English);
    EXPECT_STREQ(t.utf8(32), "Device IP");
    EXPECT_STREQ(t.utf8(76), "IP  Type    :");
    EXPECT_STREQ(t.utf8(100), "Gataway     :");
    EXPECT_STREQ(t.utf8(204), "can`t open");
    EXPECT_STREQ(t.utf8(236), "Search timeout,No device found");
    EXPECT_STREQ(t.utf8(304), "The number of ports is not equal！");
    EXPECT_STREQ(t.utf8(368), "Insert the front of the server packet ");
    EXPECT_STREQ(t.utf8(176), "Be sure to upgrade the firmware?");
    EXPECT_EQ(t.languageCode(), 9);
    const QString englishTitle = t.text(slot::kWindowTitle);
    t.fillChinese();
    EXPECT_STREQ(t.utf8(12), "Language");
    EXPECT_STREQ(t.utf8(236), "搜索超时，未发现设备");
    EXPECT_STREQ(t.utf8(244), "搜索端口: 1111");
    EXPECT_STREQ(t.utf8(312), "开启 （ENABLE）");
    EXPECT_STREQ(t.utf8(216), "广播地址:");
    EXPECT_STREQ(t.utf8(264), "搜索IP:");
    EXPECT_EQ(t.languageCode(), 4);
    EXPECT_EQ(t.text(slot::kWindowTitle), englishTitle);
    EXPECT_EQ(englishTitle, QStringLiteral("V174 串口服务器配置软件"));
    EXPECT_TRUE(t.text(slot::kCloneHelp).startsWith(QStringLiteral("克隆:将其它PORT的值设置成当前PORT的值。")));
    EXPECT_TRUE(t.text(8).isEmpty());
    EXPECT_TRUE(t.text(181).isEmpty());
    EXPECT_TRUE(t.text(392).isEmpty());
}

TEST(LanguageFile, AMissingFileIsCreatedWithZAndChoosesChinese)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/kyvo.ini"));
    LanguageTable t;
    t.fillEnglish();
    EXPECT_EQ(loadLanguageChoice(t, path), Language::Chinese);
    EXPECT_EQ(t.language(), Language::Chinese);
    EXPECT_EQ(fileBytes(path), QByteArray("z"));
}

TEST(LanguageFile, OnlyALowerCaseZIsChinese)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kyvo.ini"));
    LanguageTable t;
    writeFile(path, "Z");
    EXPECT_EQ(loadLanguageChoice(t, path), Language::English);
    EXPECT_STREQ(t.utf8(52), "Search Device");
    writeFile(path, "zebra");
    EXPECT_EQ(loadLanguageChoice(t, path), Language::Chinese);
    writeFile(path, "");
    EXPECT_EQ(loadLanguageChoice(t, path), Language::English);
}

TEST(LanguageFile, ChoosingWritesItsLetterAtTheStartAndKeepsTheRest)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kyvo.ini"));
    writeFile(path, "z-rest");
    LanguageTable t;
    chooseLanguage(Language::English, t, path);
    EXPECT_EQ(fileBytes(path), QByteArray("e-rest"));
    EXPECT_EQ(t.language(), Language::English);
    chooseLanguage(Language::Chinese, t, path);
    EXPECT_EQ(fileBytes(path), QByteArray("z-rest"));
    // A file that cannot be written leaves the choice for this run only.
    const QString blocked = dir.filePath(QStringLiteral("kyvo.ini/inside"));
    chooseLanguage(Language::English, t, blocked);
    EXPECT_EQ(t.language(), Language::English);
    EXPECT_EQ(loadLanguageChoice(t, blocked), Language::Chinese);
}

TEST(LanguageFile, TheDefaultPathIsTheSettingsFolders)
{
    // Tests point the settings folder at a temporary one.
    LanguageTable t;
    EXPECT_EQ(loadLanguageChoice(t), Language::Chinese);
    EXPECT_EQ(fileBytes(kyvo::serverLanguageFile()), QByteArray("z"));
    chooseLanguage(Language::English, t);
    LanguageTable again;
    EXPECT_EQ(loadLanguageChoice(again), Language::English);
}

// Private-profile INI semantics.
#include "common/profile_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kyvo::ProfileFile;

TEST(ProfileFile, MatchesSectionsAndKeysWithoutCaseAndKeepsNamesAsWritten)
{
    ProfileFile ini;
    ini.setString("Search", "start_ip0[1]", "168");
    ini.setString("SEARCH", "Count", "2");
    ini.setString("********", "x", "1");
    EXPECT_EQ(ini.getString("search", "START_IP0[1]"), "168");
    EXPECT_EQ(ini.getInt("search", "count"), 2);
    EXPECT_EQ(ini.serialize(), QByteArray("[Search]\r\nstart_ip0[1]=168\r\nCount=2\r\n[********]\r\nx=1\r\n"));
}

TEST(ProfileFile, ReplacesValuesInPlaceAndAppendsNewKeysToTheirSection)
{
    auto ini = ProfileFile::parse("[a]\r\nk1=1\r\n\r\n[b]\r\nz=9\r\n");
    ini.setString("a", "K1", "one");
    ini.setString("a", "k2", "two");
    ini.setString("c", "n", "");
    EXPECT_EQ(ini.serialize(), QByteArray("[a]\r\nk1=one\r\nk2=two\r\n\r\n[b]\r\nz=9\r\n[c]\r\nn=\r\n"));
}

TEST(ProfileFile, ReadsValuesLikeTheSystemFunctions)
{
    const auto ini = ProfileFile::parse("; comment\n[s]\n  name =  \"quoted text\"  \nnum= 42abc\nneg=-7\nbad=x\n");
    EXPECT_EQ(ini.getString("s", "name"), "quoted text");
    EXPECT_EQ(ini.getString("s", "missing", "dflt"), "dflt");
    EXPECT_EQ(ini.getString("s", "name", {}, 6), "quoted");
    EXPECT_EQ(ini.getInt("s", "num"), 42);
    EXPECT_EQ(ini.getInt("s", "neg"), -7);
    EXPECT_EQ(ini.getInt("s", "bad", 5), 0);
    EXPECT_EQ(ini.getInt("s", "missing", 5), 5);
    EXPECT_EQ(ini.getInt("other", "num", 3), 3);
}

TEST(ProfileFile, SavesAndLoadsGbkBytesUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.ini"));
    ProfileFile ini;
    const QByteArray gbk("\xd6\xd0\xce\xc4"); // two Chinese characters in GBK
    ini.setString("Info", "name", gbk);
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(ProfileFile::load(path).getString("info", "name"), gbk);
    EXPECT_TRUE(ProfileFile::load(dir.filePath(QStringLiteral("missing.ini"))).sectionNames().isEmpty());
}

TEST(ProfileFile, RemovesKeysAndSections)
{
    auto ini = ProfileFile::parse("[a]\nx=1\ny=2\n[b]\nz=3\n");
    ini.removeKey("A", "X");
    ini.removeSection("b");
    EXPECT_EQ(ini.keys("a"), QList<QByteArray>{"y"});
    EXPECT_FALSE(ini.hasSection("b"));
}

TEST(ProfileFile, ReadsTheFirstOfRepeatedKeysAndMergesRepeatedSections)
{
    auto ini = ProfileFile::parse("[A]\nk=1\nK=2\n[b]\nx=1\n[a]\nj=3\n");
    EXPECT_EQ(ini.getString("a", "k"), "1");
    EXPECT_EQ(ini.keys("a"), (QList<QByteArray>{"k", "K", "j"}));
    ini.setString("a", "K", "9"); // the first entry is the one replaced
    ini.removeSection("B");
    ini.setString("b", "y", "2"); // indexes stay right after removals
    ini.removeKey("a", "j");
    ini.setString("a", "n", "5");
    EXPECT_EQ(ini.serialize(), QByteArray("[A]\r\nk=9\r\nK=2\r\nn=5\r\n[b]\r\ny=2\r\n"));
}

TEST(ProfileFile, RefusesFilesLargerThanOneMebibyte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.ini"));
    const QByteArray head = "[s]\r\nk=v\r\n;";
    for (const qint64 size : {ProfileFile::kMaxFileBytes, ProfileFile::kMaxFileBytes + 1}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(head + QByteArray(size - head.size(), 'x'));
        file.close();
        auto status = ProfileFile::LoadStatus::Unreadable;
        const ProfileFile ini = ProfileFile::load(path, &status);
        const bool fits = size <= ProfileFile::kMaxFileBytes;
        EXPECT_EQ(status, fits ? ProfileFile::LoadStatus::Loaded : ProfileFile::LoadStatus::TooLarge) << size;
        EXPECT_EQ(ini.getString("s", "k"), fits ? "v" : "") << size;
    }
    auto status = ProfileFile::LoadStatus::Loaded;
    ProfileFile::load(dir.filePath(QStringLiteral("missing.ini")), &status);
    EXPECT_EQ(status, ProfileFile::LoadStatus::Unreadable);
}

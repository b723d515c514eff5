// Private-profile INI semantics.
#include "common/profile_file.h"

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

// hx.ini: the exact keys, their order, and the round trip.
#include "vorlet/link/search_settings.h"

#include "common/ipv4.h"
#include "common/profile_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlet;

TEST(SearchSettings, ClosingWritesCountAndEightAddressKeysPerRangeInOrder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kyvo_hx_config/hx.ini")); // the folder does not exist yet
    SearchSettings s;
    s.enable = 1;
    s.hbHex = 1;
    s.lang = 'e';
    s.ranges.add(*kyvo::parseIpv4("192.168.1.1"), *kyvo::parseIpv4("192.168.1.254"));
    s.ranges.add(*kyvo::parseIpv4("10.0.0.1"), *kyvo::parseIpv4("10.0.0.2"));
    ASSERT_EQ(saveSearchSettings(s, path), SaveSettingsStatus::Saved);

    const auto ini = kyvo::ProfileFile::load(path);
    const QList<QByteArray> expected = {"enable", "factory", "count", "reg_hex", "hb_hex", "utf8",
                                        "start_ip0[0]", "start_ip0[1]", "start_ip0[2]", "start_ip0[3]",
                                        "end_ip0[0]", "end_ip0[1]", "end_ip0[2]", "end_ip0[3]",
                                        "start_ip1[0]", "start_ip1[1]", "start_ip1[2]", "start_ip1[3]",
                                        "end_ip1[0]", "end_ip1[1]", "end_ip1[2]", "end_ip1[3]", "lang"};
    EXPECT_EQ(ini.keys("search"), expected);
    EXPECT_EQ(ini.getString("search", "end_ip0[3]"), "254");
    EXPECT_EQ(ini.getString("search", "lang"), "e");

    const SearchSettings back = loadSearchSettings(path);
    EXPECT_EQ(back.enable, 1);
    EXPECT_EQ(back.hbHex, 1);
    EXPECT_EQ(back.lang, 'e');
    EXPECT_EQ(back.ranges.ranges(), s.ranges.ranges());
}

TEST(SearchSettings, AMissingFileGivesZerosAndNoLanguage)
{
    QTemporaryDir dir;
    const SearchSettings s = loadSearchSettings(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_EQ(s.enable, 0);
    EXPECT_EQ(s.lang, 0);
    EXPECT_EQ(s.ranges.count(), 0u);
}

TEST(SearchSettings, ACountAbove255ReadsNoRanges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hx.ini"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[search]\r\ncount=300\r\nstart_ip0[0]=10\r\n");
    f.close();
    EXPECT_EQ(loadSearchSettings(path).ranges.count(), 0u);
}

TEST(SearchSettings, AFolderThatCannotBeMadeIsReported)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    EXPECT_EQ(saveSearchSettings({}, dir.filePath(QStringLiteral("blocked/hx.ini"))), SaveSettingsStatus::FolderNotCreated);
}

TEST(SearchSettings, EnrolmentServerIsKeptBesideTheSearchKeys)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hx.ini"));
    SearchSettings s;
    ASSERT_EQ(saveSearchSettings(s, path), SaveSettingsStatus::Saved);
    EXPECT_FALSE(kyvo::ProfileFile::load(path).hasSection("cloud")); // no server unless one is set
    EXPECT_TRUE(loadSearchSettings(path).cloudAddress.isEmpty());
    EXPECT_EQ(loadSearchSettings(path).cloudPort, 8081);

    s.cloudAddress = "127.0.0.9";
    s.cloudPort = 18081;
    ASSERT_EQ(saveSearchSettings(s, path), SaveSettingsStatus::Saved);
    const SearchSettings back = loadSearchSettings(path);
    EXPECT_EQ(back.cloudAddress, "127.0.0.9");
    EXPECT_EQ(back.cloudPort, 18081);
    EXPECT_EQ(kyvo::ProfileFile::load(path).keys("cloud"), (QList<QByteArray>{"address", "port"}));
}

// GBK conversions.
#include "common/gbk_text.h"

#include <gtest/gtest.h>

TEST(GbkText, ConvertsChineseBothWaysAndToUtf8)
{
    const QString text = QString::fromUtf8("网关ab");
    const QByteArray gbk = kyvo::toGbk(text);
    EXPECT_EQ(gbk, QByteArray("\xcd\xf8\xb9\xd8" "ab"));
    EXPECT_EQ(kyvo::fromGbk(gbk), text);
    // Each two-byte GBK character becomes three UTF-8 bytes; ASCII stays.
    EXPECT_EQ(kyvo::gbkToUtf8(gbk), text.toUtf8());
    EXPECT_EQ(kyvo::gbkToUtf8(gbk).size(), 8);
    EXPECT_EQ(kyvo::utf8ToGbk(text.toUtf8()), gbk);
}

TEST(GbkText, TheStartUpCheckPassesHereAndNamesAMissingConverter)
{
    // Every platform the project builds for must have the converter.
    EXPECT_EQ(kyvo::textCodecProblem(QStringLiteral("vorlet")), QString());
    const QString problem = kyvo::textCodecProblem(QStringLiteral("pelmar"), "NO-SUCH-CODE-PAGE");
    EXPECT_TRUE(problem.startsWith(QStringLiteral("pelmar cannot run"))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("NO-SUCH-CODE-PAGE")));
}

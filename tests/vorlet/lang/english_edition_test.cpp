// Detecting and writing the English edition's mark.
#include "vorlet/lang/english_edition.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorlet;

namespace {

QByteArray marks(int count)
{
    return QByteArray(count, char(0xAA));
}

QString writeFile(const QTemporaryDir &dir, const QByteArray &content)
{
    static int serial = 0;
    const QString path = dir.filePath(QString::number(++serial));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    return path;
}

} // namespace

TEST(EnglishEdition, OnlyAFinalRunOfExactly1024MarksCounts)
{
    QTemporaryDir dir;
    EXPECT_TRUE(isEnglishEdition(writeFile(dir, "program" + marks(1024))));
    EXPECT_FALSE(isEnglishEdition(writeFile(dir, "program" + marks(1025))));
    EXPECT_FALSE(isEnglishEdition(writeFile(dir, marks(1024) + QByteArray(1, '\0'))));
    // The run crosses the boundary of the 1024-byte pieces and restarts after 'x'.
    EXPECT_TRUE(isEnglishEdition(writeFile(dir, marks(1000) + 'x' + marks(1024))));
    EXPECT_FALSE(isEnglishEdition(dir.filePath(QStringLiteral("missing"))));
}

TEST(EnglishEdition, WrittenCopyIsTheProgramPlusTheMark)
{
    QTemporaryDir dir;
    const QByteArray program = QByteArray(3000, 'p') + "end";
    const QString target = dir.filePath(QStringLiteral("app-english"));
    ASSERT_EQ(writeEnglishEdition(writeFile(dir, program), target), EditionWriteStatus::Written);
    QFile copy(target);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), program + marks(1024));
}

TEST(EnglishEdition, FailuresAreReportedAndLeaveNoFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("out"));
    EXPECT_EQ(writeEnglishEdition(dir.filePath(QStringLiteral("missing")), target),
              EditionWriteStatus::SourceUnreadable);
    const QString unwritable = dir.filePath(QStringLiteral("no-such-folder/out"));
    EXPECT_EQ(writeEnglishEdition(writeFile(dir, "x"), unwritable), EditionWriteStatus::TargetNotWritten);
    EXPECT_FALSE(QFile::exists(target) || QFile::exists(unwritable));
}

// The .cfg export: the whole record through the atomic writer.
#include "vorlet/core/config_export.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace vorlet;

TEST(ConfigExport, ReplacesAnOlderFileWholeInsteadOfWritingInPlace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.cfg"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(qsizetype(kRecordSize) + 10, 'x'));
    old.close();
    // A reader that opened the old file before the export still reads it whole:
    // the new file takes its name, nothing is written into it.
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));

    auto record = std::make_unique<ParameterRecord>();
    record->ipType = 1;
    record->productionTime = 0xFFFFFFFF; // the end of the record travels too
    ASSERT_EQ(exportConfig(*record, path), ConfigFileStatus::Done);

    EXPECT_EQ(reader.readAll(), QByteArray(qsizetype(kRecordSize) + 10, 'x'));
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    ASSERT_EQ(bytes.size(), qsizetype(kRecordSize)); // no tail of the longer file
    EXPECT_EQ(std::memcmp(bytes.constData(), record.get(), kRecordSize), 0);
    EXPECT_EQ(exportConfig(*record, dir.filePath(QStringLiteral("missing/a.cfg"))),
              ConfigFileStatus::CannotWrite);
}

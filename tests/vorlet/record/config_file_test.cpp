// .cfg export and the quick-set import.
#include "vorlet/record/config_file.h"
#include "vorlet/record/save_request.h"

#include "common/fixed_field.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace vorlet;

namespace {
std::unique_ptr<ParameterRecord> deviceRecord(std::uint8_t last, const char *name)
{
    auto r = std::make_unique<ParameterRecord>();
    const std::uint8_t mac[6] = {0x00, 0x4B, 0x59, 0x0A, 0x4D, last};
    std::memcpy(r->mac, mac, 6);
    kyvo::setFieldText(r->versionText, "V1.0");
    kyvo::setFieldText(r->model, "T1");
    kyvo::setFieldText(r->deviceName, name);
    r->serial.baudIndex = 6;
    r->productionTime = 0xFFFFFFFF; // the end of the record travels too
    r->canBusState = 1;
    return r;
}
std::string path(const QTemporaryDir &dir, const char *name) { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
} // namespace

TEST(ConfigFile, ExportWritesTheWholeRecordUnderItsDefaultName)
{
    QTemporaryDir dir;
    auto a = deviceRecord(1, "A");
    EXPECT_EQ(defaultConfigName(*a), "hx-config-V1.0-T1-rwpV242.cfg");
    const std::string file = path(dir, "a.cfg");
    ASSERT_EQ(exportConfig(*a, file), ConfigFileStatus::Done);
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_EQ(bytes.size(), qsizetype(kRecordSize));
    EXPECT_EQ(std::memcmp(bytes.constData(), a.get(), kRecordSize), 0);
}

TEST(ConfigFile, AnExistingLongerFileIsWrittenOverInPlace)
{
    QTemporaryDir dir;
    const std::string file = path(dir, "old.cfg");
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(int(kRecordSize) + 10, 'x'));
    f.close();
    ASSERT_EQ(exportConfig(*deviceRecord(1, "A"), file), ConfigFileStatus::Done);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.size(), qsizetype(kRecordSize) + 10);
    EXPECT_EQ(bytes.right(10), QByteArray(10, 'x'));
}

TEST(ConfigFile, QuickSetTakesTheFileButKeepsTheDevicesMac)
{
    QTemporaryDir dir;
    auto a = deviceRecord(1, "A"), b = deviceRecord(2, "B");
    a->seenAddress[3] = 1;
    b->seenAddress[3] = 2;
    b->serial.baudIndex = 2;
    const std::string file = path(dir, "a.cfg");
    exportConfig(*a, file);
    ASSERT_EQ(loadConfigOver(*b, file), ConfigFileStatus::Done);
    EXPECT_EQ(b->mac[5], 2);
    EXPECT_EQ(b->seenAddress[3], 2); // across routers the save still goes to B's address
    EXPECT_EQ(kyvo::fieldText(b->deviceName), "A");
    EXPECT_EQ(b->serial.baudIndex, 6);
    const auto request = buildSaveRequest(*b, 0);
    EXPECT_EQ(request[request.size() - 3], 2); // the save goes to B
}

TEST(ConfigFile, AShortFileChangesOnlyTheBeginningAndAMissingOneNothing)
{
    QTemporaryDir dir;
    auto b = deviceRecord(2, "B");
    const std::string file = path(dir, "short.cfg");
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(100, '\x11'));
    f.close();
    std::size_t n = 0;
    ASSERT_EQ(loadConfigOver(*b, file, &n), ConfigFileStatus::Done);
    EXPECT_EQ(n, 100u);
    EXPECT_EQ(b->ipType, 0x11);
    EXPECT_EQ(b->seenAddress[0], 0);
    EXPECT_EQ(b->mac[5], 2);
    EXPECT_EQ(b->mac[0], 0x00);
    EXPECT_EQ(b->userName[0], 0x11);
    EXPECT_EQ(kyvo::fieldText(b->deviceName), "B"); // offset 160 lies beyond the file
    const auto before = std::make_unique<ParameterRecord>(*b);
    EXPECT_EQ(loadConfigOver(*b, path(dir, "missing.cfg")), ConfigFileStatus::CannotOpen);
    QFile empty(QString::fromStdString(path(dir, "empty.cfg")));
    empty.open(QIODevice::WriteOnly);
    empty.close();
    EXPECT_EQ(loadConfigOver(*b, path(dir, "empty.cfg")), ConfigFileStatus::Empty);
    EXPECT_EQ(std::memcmp(before.get(), b.get(), kRecordSize), 0);
}

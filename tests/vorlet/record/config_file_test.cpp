// .cfg export and the quick-set import.
#include "vorlet/record/config_file.h"
#include "vorlet/record/save_request.h"

#include "common/fixed_field.h"
#include "common/ipv4.h"

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
void writeBytes(const std::string &file, const QByteArray &bytes)
{
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
QByteArray bytesOf(const ParameterRecord &r)
{
    return QByteArray(reinterpret_cast<const char *>(&r), qsizetype(kRecordSize));
}
} // namespace

TEST(ConfigFile, TheDefaultNameCarriesVersionAndModel)
{
    EXPECT_EQ(defaultConfigName(*deviceRecord(1, "A")), "hx-config-V1.0-T1-rwpV242.cfg");
}

TEST(ConfigFile, QuickSetTakesTheFileButKeepsTheDevicesMac)
{
    QTemporaryDir dir;
    auto a = deviceRecord(1, "A"), b = deviceRecord(2, "B");
    a->seenAddress[3] = 1;
    b->seenAddress[3] = 2;
    b->serial.baudIndex = 2;
    const std::string file = path(dir, "a.cfg");
    writeBytes(file, bytesOf(*a));
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

TEST(ConfigFile, OnlyAFileOfExactlyOneRecordIsWhole)
{
    QTemporaryDir dir;
    for (const qsizetype size : {qsizetype(kRecordSize), qsizetype(930), qsizetype(kRecordSize) + 1}) {
        auto b = deviceRecord(2, "B");
        const std::string file = path(dir, "f.cfg");
        writeBytes(file, QByteArray(size, '\x01'));
        const QuickSetFile read = readQuickSetFile(*b, file);
        EXPECT_EQ(read.status, ConfigFileStatus::Done);
        EXPECT_EQ(read.size, std::uint64_t(size));
        EXPECT_EQ(read.wholeRecord(), size == qsizetype(kRecordSize)) << size;
        EXPECT_EQ(b->ipType, 1); // read over the record all the same
    }
    auto b = deviceRecord(2, "B");
    EXPECT_EQ(readQuickSetFile(*b, path(dir, "missing.cfg")).status, ConfigFileStatus::CannotOpen);
}

TEST(ConfigFile, StaticAddressesADeviceCannotUseAreFound)
{
    struct Case
    {
        std::uint8_t ipType;
        std::uint32_t address, mask, gateway;
        AddressFault fault;
    };
    const Case cases[] = {
        {0, 0xC0A80105, 0xFFFFFF00, 0xC0A80101, AddressFault::None},
        {0, 0x0A000002, 0xFFFFFFFF, 0x0A000001, AddressFault::None}, // a host route is contiguous
        {0, 0x00000000, 0xFFFFFF00, 0xC0A80101, AddressFault::Address},
        {0, 0xE0000001, 0xFFFFFF00, 0xC0A80101, AddressFault::Address}, // multicast
        {0, 0xFFFFFFFF, 0xFFFFFF00, 0xC0A80101, AddressFault::Address},
        {0, 0xC0A80105, 0x00000000, 0xC0A80101, AddressFault::Mask},
        {0, 0xC0A80105, 0xFF00FF00, 0xC0A80101, AddressFault::Mask}, // not contiguous
        {0, 0xC0A80105, 0xFFFFFF00, 0x00000000, AddressFault::None}, // no gateway: an isolated network
        {0, 0xC0A80105, 0xFFFFFF00, 0xE0000001, AddressFault::Gateway},
        {1, 0x00000000, 0x00000000, 0x00000000, AddressFault::None}, // DHCP does not use them
    };
    for (const Case &c : cases) {
        auto r = std::make_unique<ParameterRecord>();
        r->ipType = c.ipType;
        const auto put = [](std::uint8_t *field, std::uint32_t v) {
            const auto o = kyvo::ipv4Octets(v);
            std::memcpy(field, o.data(), 4);
        };
        put(r->ipAddress, c.address);
        put(r->subnetMask, c.mask);
        put(r->gateway, c.gateway);
        EXPECT_EQ(staticAddressFault(*r), c.fault)
            << std::hex << c.address << ' ' << c.mask << ' ' << c.gateway;
    }
}

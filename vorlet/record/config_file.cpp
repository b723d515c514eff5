// Configuration file export and quick-set import.
#include "vorlet/record/config_file.h"

#include "common/fixed_field.h"
#include "common/ipv4.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace vorlet {

namespace {
using File = std::unique_ptr<std::FILE, int (*)(std::FILE *)>;
}

std::string defaultConfigName(const ParameterRecord &record)
{
    return "hx-config-" + kyvo::fieldText(record.versionText) + '-' + kyvo::fieldText(record.model) + "-rwpV242.cfg";
}

ConfigFileStatus loadConfigOver(ParameterRecord &record, const std::string &path, std::size_t *bytesRead)
{
    if (bytesRead) *bytesRead = 0;
    File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return ConfigFileStatus::CannotOpen;
    auto buffer = std::make_unique<std::uint8_t[]>(kRecordSize);
    const std::size_t n = std::fread(buffer.get(), 1, kRecordSize, file.get());
    if (n == 0) return ConfigFileStatus::Empty;
    loadConfigBytesOver(record, kyvo::ByteView(buffer.get(), n));
    if (bytesRead) *bytesRead = n;
    return ConfigFileStatus::Done;
}

QuickSetFile readQuickSetFile(ParameterRecord &record, const std::string &path)
{
    QuickSetFile file;
    std::error_code error;
    file.size = std::filesystem::file_size(std::filesystem::path(path), error);
    if (error) return file;
    file.status = loadConfigOver(record, path);
    return file;
}

namespace {
bool contiguousMask(std::uint32_t mask)
{
    // Ones from the top, then only zeros: adding the lowest one bit carries out of the top.
    return mask != 0 && (~mask & (~mask + 1)) == 0;
}
// Nothing a device can take as its own address or route to: 0.0.0.0 and
// multicast, reserved and broadcast addresses.
bool unusableHost(std::uint32_t address)
{
    return address == 0 || address >= 0xE0000000u;
}
} // namespace

AddressFault staticAddressFault(const ParameterRecord &record)
{
    if (record.ipType != 0) return AddressFault::None;
    if (unusableHost(kyvo::ipv4FromOctets(record.ipAddress))) return AddressFault::Address;
    if (!contiguousMask(kyvo::ipv4FromOctets(record.subnetMask))) return AddressFault::Mask;
    // A gateway of 0.0.0.0 is how a network without a router is set up.
    const std::uint32_t gateway = kyvo::ipv4FromOctets(record.gateway);
    if (gateway != 0 && unusableHost(gateway)) return AddressFault::Gateway;
    return AddressFault::None;
}

void loadConfigBytesOver(ParameterRecord &record, kyvo::ByteView file)
{
    const std::size_t n = std::min(file.size(), kRecordSize);
    if (n == 0) return;
    std::uint8_t mac[6], seen[4];
    std::memcpy(mac, record.mac, 6);
    std::memcpy(seen, record.seenAddress, 4);
    std::memcpy(reinterpret_cast<std::uint8_t *>(&record), file.data(), n);
    std::memcpy(record.mac, mac, 6);
    std::memcpy(record.seenAddress, seen, 4);
}

} // namespace vorlet

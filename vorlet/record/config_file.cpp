// Configuration file export and quick-set import.
#include "vorlet/record/config_file.h"

#include "common/fixed_field.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace vorlet {

namespace {
using File = std::unique_ptr<std::FILE, int (*)(std::FILE *)>;
}

std::string defaultConfigName(const ParameterRecord &record)
{
    return "hx-config-" + kyvo::fieldText(record.versionText) + '-' + kyvo::fieldText(record.model) + "-rwpV242.cfg";
}

ConfigFileStatus exportConfig(const ParameterRecord &record, const std::string &path)
{
    // "r+b" keeps an existing file's bytes beyond the record; "wb" makes a new one.
    File file(std::fopen(path.c_str(), "r+b"), &std::fclose);
    if (!file) file.reset(std::fopen(path.c_str(), "wb"));
    if (!file) return ConfigFileStatus::CannotOpen;
    const auto bytes = recordBytes(record);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return ConfigFileStatus::CannotWrite;
    if (std::fflush(file.get()) != 0) return ConfigFileStatus::CannotWrite;
    return ConfigFileStatus::Done;
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

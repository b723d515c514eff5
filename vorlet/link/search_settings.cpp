// hx.ini reading and writing on the private-profile layer.
#include "vorlet/link/search_settings.h"

#include "common/ipv4.h"
#include "common/profile_file.h"
#include "common/settings_paths.h"

#include <QDir>
#include <QFileInfo>

namespace vorlet {

namespace {
const QByteArray kSection = "search";
const QByteArray kCloudSection = "cloud";
constexpr int kDefaultCloudPort = 8081;

QByteArray addressKey(const char *prefix, int range, int octet)
{
    return QByteArray(prefix) + QByteArray::number(range) + '[' + QByteArray::number(octet) + ']';
}
} // namespace

QString searchSettingsPath() { return kyvo::gatewaySettingsDir() + QStringLiteral("/hx.ini"); }

SearchSettings loadSearchSettings(const QString &path)
{
    auto status = kyvo::ProfileFile::LoadStatus::Loaded;
    const auto ini = kyvo::ProfileFile::load(path, &status);
    SearchSettings s;
    s.fileTooLarge = status == kyvo::ProfileFile::LoadStatus::TooLarge;
    s.enable = ini.getInt(kSection, "enable");
    s.factory = ini.getInt(kSection, "factory");
    s.regHex = ini.getInt(kSection, "reg_hex");
    s.hbHex = ini.getInt(kSection, "hb_hex");
    s.utf8 = ini.getInt(kSection, "utf8");
    const QByteArray lang = ini.getString(kSection, "lang");
    s.lang = lang.isEmpty() ? 0 : lang.at(0);
    const int count = ini.getInt(kSection, "count");
    if (count > 0 && std::size_t(count) <= SearchRanges::kCapacity) {
        std::vector<SearchRange> ranges;
        for (int i = 0; i < count; ++i) {
            std::uint8_t start[4], end[4];
            for (int j = 0; j < 4; ++j) {
                start[j] = std::uint8_t(ini.getInt(kSection, addressKey("start_ip", i, j)));
                end[j] = std::uint8_t(ini.getInt(kSection, addressKey("end_ip", i, j)));
            }
            ranges.push_back({kyvo::ipv4FromOctets(start), kyvo::ipv4FromOctets(end)});
        }
        s.ranges.assign(std::move(ranges));
    }
    s.cloudAddress = ini.getString(kCloudSection, "address").trimmed();
    s.cloudPort = ini.getInt(kCloudSection, "port", kDefaultCloudPort);
    return s;
}

SaveSettingsStatus saveSearchSettings(const SearchSettings &s, const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QFileInfo folderInfo(folder);
    bool folderOk = folderInfo.isDir();
    if (!folderOk) folderOk = QDir().mkpath(folder);

    kyvo::ProfileFile ini; // the old file is replaced as a whole
    ini.setInt(kSection, "enable", s.enable);
    ini.setInt(kSection, "factory", s.factory);
    ini.setInt(kSection, "count", qint64(s.ranges.count()));
    ini.setInt(kSection, "reg_hex", s.regHex);
    ini.setInt(kSection, "hb_hex", s.hbHex);
    ini.setInt(kSection, "utf8", s.utf8);
    const auto &ranges = s.ranges.ranges();
    for (int i = 0; i < int(ranges.size()); ++i) {
        const auto start = kyvo::ipv4Octets(ranges[std::size_t(i)].start);
        const auto end = kyvo::ipv4Octets(ranges[std::size_t(i)].end);
        for (int j = 0; j < 4; ++j) ini.setInt(kSection, addressKey("start_ip", i, j), start[std::size_t(j)]);
        for (int j = 0; j < 4; ++j) ini.setInt(kSection, addressKey("end_ip", i, j), end[std::size_t(j)]);
    }
    ini.setString(kSection, "lang", s.lang ? QByteArray(1, s.lang) : QByteArray());
    if (!s.cloudAddress.isEmpty() || s.cloudPort != kDefaultCloudPort) {
        ini.setString(kCloudSection, "address", s.cloudAddress);
        ini.setInt(kCloudSection, "port", s.cloudPort);
    }
    const bool written = ini.save(path);
    if (!folderOk) return SaveSettingsStatus::FolderNotCreated;
    return written ? SaveSettingsStatus::Saved : SaveSettingsStatus::WriteFailed;
}

} // namespace vorlet

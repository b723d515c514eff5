// The maintenance answers as they arrive: the WiFi scan text, image
// datagrams, and record fields the report and the status line read.
#include "vorlet/maintenance/maintenance_messages.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    for (const vorlet::ScanRow &row : vorlet::parseScanResult(text))
        (void)vorlet::appendSsid(row.ssid, row.mac);
    vorlet::ImageCollector image;
    for (std::size_t at = 0; at < size; at += vorlet::ImageCollector::kDatagramSize)
        image.take(kyvo::ByteView(data + at, std::min(size - at, vorlet::ImageCollector::kDatagramSize)));
    (void)image.image();
    static auto record = std::make_unique<vorlet::ParameterRecord>();
    std::memset(record.get(), 0, sizeof *record);
    std::memcpy(record->customDefaults, data, std::min(size, sizeof record->customDefaults));
    if (size > 80) std::memcpy(&record->partition, data + 40, 40); // partition .. counters
    (void)vorlet::lastCustomOperation(*record);
    (void)vorlet::deviceInfoLines(*record);
    return 0;
}

// The profile (INI) layer on any text: what it writes reads back the same,
// and every section and key it lists is found through its indexes.
#include "common/profile_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    kyvo::ProfileFile ini =
        kyvo::ProfileFile::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QByteArray written = ini.serialize();
    if (kyvo::ProfileFile::parse(written).serialize() != written) std::abort();
    const QList<QByteArray> sections = ini.sectionNames();
    for (const QByteArray &section : sections) {
        const QList<QByteArray> keys = ini.keys(section);
        for (const QByteArray &key : keys)
            if (!ini.value(section.toUpper(), key.toLower())) std::abort();
        if (!keys.isEmpty()) {
            ini.removeKey(section, keys.front());
            if (ini.value(section, keys.front())) std::abort();
        }
        ini.setString(section, "fuzz", "1");
        if (ini.getInt(section, "FUZZ") != 1) std::abort();
    }
    if (!sections.isEmpty()) {
        ini.removeSection(sections.front());
        if (ini.hasSection(sections.front())) std::abort();
    }
    return 0;
}

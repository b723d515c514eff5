// The gateway tool's settings file hx.ini, section "search".
#pragma once

#include "vorlet/link/search_ranges.h"

#include <QString>

namespace vorlet {

struct SearchSettings {
    int enable = 0;   // "跨路由搜索" checked
    int factory = 0;  // firmware-upgrade option
    int regHex = 0;   // registration packet shown as hex
    int hbHex = 0;    // heartbeat packet shown as hex
    int utf8 = 0;     // poll-table texts kept in UTF-8
    char lang = 0;    // 'e' English, 'c' Chinese, 0 when never written
    SearchRanges ranges;
    // The cloud enrolment server (section "cloud"): none unless the user sets one.
    QByteArray cloudAddress;
    int cloudPort = 8081;
    // The file was above the profile size limit and not read: all defaults.
    bool fileTooLarge = false;
};

QString searchSettingsPath(); // <settings folder>/hx.ini

// Missing keys read as 0 (and "lang" as empty); a "count" above 255 reads
// no ranges.
SearchSettings loadSearchSettings(const QString &path);

enum class SaveSettingsStatus { Saved, FolderNotCreated, WriteFailed };
// Creates the folder when missing, then replaces the file with the keys in
// the design's order: enable, factory, count, reg_hex, hb_hex, utf8, the 8
// address keys of each range, lang; then the section "cloud" when it holds
// anything but the defaults. A folder that cannot be made still lets the
// write be tried.
SaveSettingsStatus saveSearchSettings(const SearchSettings &settings, const QString &path);

} // namespace vorlet

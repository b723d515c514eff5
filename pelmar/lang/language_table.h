// The serial-server tool's language table: about a hundred slots addressed
// by number (steps of 4), filled for English or Chinese; and the one-byte
// language file that keeps the choice between runs.
#pragma once

#include "common/settings_paths.h"

#include <QString>

#include <array>
#include <span>

namespace pelmar {

enum class Language { English, Chinese };

// One text slot with both languages' texts (UTF-8 here, byte for byte the
// program's texts).
struct LanguageSlotText {
    int slot;
    const char *english;
    const char *chinese;
};

// Every text slot in slot order (slot 180, the language code, is a number).
std::span<const LanguageSlotText> languageSlotTexts();

namespace slot {
inline constexpr int kDeviceMenu = 4;
inline constexpr int kLanguageMenu = 12;
inline constexpr int kEnglishItem = 16;
inline constexpr int kAboutMenu = 24;
inline constexpr int kListColumnIp = 32;
inline constexpr int kListColumnMac = 40;
inline constexpr int kListColumnFirmware = 44;
inline constexpr int kListColumnHardware = 48;
inline constexpr int kSearchButton = 52;
inline constexpr int kUpgradeQuestion = 176;
inline constexpr int kLanguageCode = 180; // a number: message boxes that ask use language id 0x400 + code
inline constexpr int kInfoCaption = 212;
inline constexpr int kBroadcastAddressPrefix = 216;
inline constexpr int kOk = 220;
inline constexpr int kCancel = 224;
inline constexpr int kSearchTimeout = 236;
inline constexpr int kSearching = 240;
inline constexpr int kSearchPort = 244;
inline constexpr int kSearchEnd = 248;
inline constexpr int kSelectDevice = 252;
inline constexpr int kSending = 256;
inline constexpr int kSaved = 260;
inline constexpr int kSweepAddressPrefix = 264;
inline constexpr int kAdapterMenu = 268;
inline constexpr int kDefaultAdapter = 272;
inline constexpr int kWindowTitle = 276;
inline constexpr int kCloneHelp = 388;
} // namespace slot

class LanguageTable
{
public:
    static constexpr int kLastSlot = 388;

    LanguageTable() { fillChinese(); }

    void fillEnglish() { fill(Language::English); }
    void fillChinese() { fill(Language::Chinese); }
    void fill(Language language);

    Language language() const { return m_language; }
    // The slot's text; empty for a number that is no text slot.
    QString text(int slot) const;
    const char *utf8(int slot) const;
    // Slot 180: 9 for English, 4 for Chinese.
    int languageCode() const { return m_languageCode; }

private:
    std::array<const char *, kLastSlot / 4 + 1> m_texts{};
    int m_languageCode = 0;
    Language m_language = Language::Chinese;
};

// The language file's first byte: 'z' chooses Chinese, anything else English.
inline constexpr char kChineseMark = 'z';
inline constexpr char kEnglishMark = 'e';

// Choosing a language: fills the table, then writes 'e' or 'z' as the first
// byte of the language file (created when it cannot be opened; the rest of
// the file is kept). A file that cannot be written leaves the choice in
// force for this run only.
void chooseLanguage(Language language, LanguageTable &table, const QString &path = kyvo::serverLanguageFile());

// Start-up: the language of the file's first byte; a missing file is
// created with 'z' (Chinese). The choice is then made as by chooseLanguage.
Language loadLanguageChoice(LanguageTable &table, const QString &path = kyvo::serverLanguageFile());

} // namespace pelmar

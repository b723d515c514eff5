// Translation through the language table and the current language letter,
// without widgets, so the main window, its dialogs and vorlet-cli share it.
#pragma once

#include "vorlet/lang/language_tables.h"

#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace vorlet {

inline constexpr char kEnglishLetter = 'e';
inline constexpr char kChineseLetter = 'c';   // any letter but 'e' behaves as Chinese
inline constexpr int kMainWindowDialog = 102; // the main window and its commands' messages

// Translate: the text of the first row of the dialog's sub-table whose
// Chinese text equals `chinese` exactly — its English text for letter 'e',
// else its Chinese text. `chinese` itself when the dialog has no sub-table or
// no row matches.
std::string_view translate(int dialog, std::string_view chinese, char letter);

// 'c' when the letter is 'e', otherwise 'e'.
char toggledLetter(char letter);

// The window title the English edition forces: "Hx Config   V242      ".
QString englishEditionTitle();

struct PreparedRow
{
    std::int32_t control;
    const char *current; // UTF-8; nullptr when the row has no current text
};

// A dialog's rows before the end row with their current texts; no rows for a
// dialog without a sub-table.
struct DialogTable
{
    int dialog = 0;
    std::vector<PreparedRow> rows;
};

// PrepareDialogTable: with letter 'e' every row's current text is its English
// text; otherwise rows with a control number get their Chinese text and
// message rows (control 0) get none — they are reached through translate,
// never through a table's current texts.
DialogTable prepareDialogTable(int dialog, char letter);

// The language state the main window owns: the letter in force and whether
// this program is the English edition. Secondary dialogs read it when they open.
class Language
{
public:
    explicit Language(char letter = kChineseLetter, bool englishEdition = false)
        : m_letter(letter), m_englishEdition(englishEdition)
    {}

    char letter() const { return m_letter; }
    bool isEnglish() const { return m_letter == kEnglishLetter; }
    bool englishEdition() const { return m_englishEdition; }

    QString translate(int dialog, const char *chinese) const;
    QString translate(int dialog, const QString &chinese) const;
    // The main window's messages, which all use dialog 102.
    QString tr102(const char *chinese) const { return translate(kMainWindowDialog, chinese); }

    DialogTable prepareDialogTable(int dialog) const { return vorlet::prepareDialogTable(dialog, m_letter); }

    // ToggleLanguage: switches to the other letter; the English edition stays
    // English and returns the title to set on the main window. The caller then
    // applies the main window's language.
    std::optional<QString> toggleLanguage();

    // Start-up: the letter saved in hx.ini (0 when none) is inverted and then
    // toggled, so the saved language returns and an empty or unknown one
    // becomes Chinese. Returns what toggleLanguage returns.
    std::optional<QString> restoreSavedLetter(char saved);

private:
    std::string_view lookUp(int dialog, std::string_view chinese) const;

    char m_letter;
    bool m_englishEdition;
};

} // namespace vorlet

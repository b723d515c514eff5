// Table look-up, dialog preparation and the language toggle.
#include "vorlet/lang/language.h"

#include "vorlet/lang/english_supplement.h"

#include <algorithm>
#include <cstring>

namespace vorlet {

namespace {

// The version text the program shows in its title and file names.
constexpr char kVersionText[] = "V242";

bool isEndRow(const LanguageRow &row)
{
    return std::strcmp(row.english, kEndRowText) == 0;
}

} // namespace

const LanguageSubTable *findSubTable(int dialog)
{
    const auto tables = languageTables();
    const auto it = std::find_if(tables.begin(), tables.end(),
                                 [dialog](const LanguageSubTable &t) { return t.dialog == dialog; });
    return it == tables.end() ? nullptr : &*it;
}

std::span<const LanguageRow> rowsBeforeEnd(const LanguageSubTable &table)
{
    const auto end = std::find_if(table.rows.begin(), table.rows.end(), isEndRow);
    return table.rows.first(std::size_t(end - table.rows.begin()));
}

std::string_view translate(int dialog, std::string_view chinese, char letter)
{
    const LanguageSubTable *table = findSubTable(dialog);
    if (!table) return chinese;
    for (const LanguageRow &row : rowsBeforeEnd(*table)) {
        if (chinese == row.chinese) return letter == kEnglishLetter ? row.english : row.chinese;
    }
    return chinese;
}

char toggledLetter(char letter)
{
    return letter == kEnglishLetter ? kChineseLetter : kEnglishLetter;
}

QString englishEditionTitle()
{
    return QStringLiteral("Hx Config   ") + QString::asprintf("%s      ", kVersionText);
}

DialogTable prepareDialogTable(int dialog, char letter)
{
    DialogTable prepared;
    prepared.dialog = dialog;
    const LanguageSubTable *table = findSubTable(dialog);
    if (!table) return prepared;
    for (const LanguageRow &row : rowsBeforeEnd(*table)) {
        const char *current = nullptr;
        if (letter == kEnglishLetter)
            current = row.english;
        else if (row.control != 0)
            current = row.chinese;
        prepared.rows.push_back({row.control, current});
    }
    return prepared;
}

// The table first; in English, our supplement for a text the table lacks.
std::string_view Language::lookUp(int dialog, std::string_view chinese) const
{
    const std::string_view text = vorlet::translate(dialog, chinese, m_letter);
    if (!isEnglish() || text.data() != chinese.data()) return text;
    const char *english = supplementaryEnglish(chinese);
    return english ? std::string_view(english) : text;
}

QString Language::translate(int dialog, const char *chinese) const
{
    const std::string_view text = lookUp(dialog, chinese);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString Language::translate(int dialog, const QString &chinese) const
{
    const QByteArray utf8 = chinese.toUtf8();
    const std::string_view key(utf8.constData(), std::size_t(utf8.size()));
    const std::string_view text = lookUp(dialog, key);
    if (text.data() == key.data()) return chinese;
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::optional<QString> Language::toggleLanguage()
{
    m_letter = toggledLetter(m_letter);
    if (!m_englishEdition) return std::nullopt;
    m_letter = kEnglishLetter;
    return englishEditionTitle();
}

std::optional<QString> Language::restoreSavedLetter(char saved)
{
    m_letter = toggledLetter(saved);
    return toggleLanguage();
}

} // namespace vorlet

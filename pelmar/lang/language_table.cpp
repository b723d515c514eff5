// Filling the language table and the language file.
#include "pelmar/lang/language_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pelmar {

void LanguageTable::fill(Language language)
{
    m_texts.fill(nullptr);
    for (const LanguageSlotText &s : languageSlotTexts())
        m_texts[std::size_t(s.slot / 4)] = language == Language::English ? s.english : s.chinese;
    m_languageCode = language == Language::English ? 9 : 4;
    m_language = language;
}

const char *LanguageTable::utf8(int slot) const
{
    if (slot < 0 || slot > kLastSlot || slot % 4 != 0) return "";
    const char *t = m_texts[std::size_t(slot / 4)];
    return t ? t : "";
}

QString LanguageTable::text(int slot) const { return QString::fromUtf8(utf8(slot)); }

namespace {

void writeMark(const QString &path, char mark)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) return; // the choice holds for this run only
    file.seek(0);
    file.write(&mark, 1);
}

} // namespace

void chooseLanguage(Language language, LanguageTable &table, const QString &path)
{
    table.fill(language);
    writeMark(path, language == Language::English ? kEnglishMark : kChineseMark);
}

Language loadLanguageChoice(LanguageTable &table, const QString &path)
{
    Language language = Language::Chinese;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        char first = 0;
        const bool read = file.read(&first, 1) == 1;
        language = read && first == kChineseMark ? Language::Chinese : Language::English;
        file.close();
    } else {
        writeMark(path, kChineseMark);
    }
    chooseLanguage(language, table, path);
    return language;
}

} // namespace pelmar

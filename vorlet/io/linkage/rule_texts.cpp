// Captions of the I/O rule dialogs.
#include "vorlet/io/linkage/rule_texts.h"

#include <cstring>

namespace vorlet {

namespace {
// Texts no table of these dialogs holds.
struct OwnText
{
    const char *chinese;
    const char *english;
};
constexpr OwnText kOwnEnglish[] = {
    {"确定", "OK"},
    {"取消", "Cancel"},
};
} // namespace

QString RuleTexts::operator()(const char *chinese) const
{
    const QString original = QString::fromUtf8(chinese);
    QString text = m_language.translate(m_dialog, chinese);
    if (!m_language.isEnglish() || text != original) return text;
    if (m_sibling) {
        text = m_language.translate(m_sibling, chinese);
        if (text != original) return text;
    }
    for (const OwnText &own : kOwnEnglish)
        if (std::strcmp(own.chinese, chinese) == 0) return QString::fromUtf8(own.english);
    return original;
}

QString RuleTexts::numberedName(const char *prefix, int number)
{
    return QString::fromLatin1(prefix) + QString::number(number);
}

} // namespace vorlet

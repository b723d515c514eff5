// Our English for texts the serial-server tool shows that its language table
// has no slot for (the advanced column, dialogs, validation messages). Kept
// apart from that table, whose texts stay as the design gives them.
#pragma once

#include "pelmar/lang/language_table.h"

#include <QString>

namespace pelmar {

// The English of a Chinese text, or an empty string.
QString supplementaryEnglish(const QString &chinese);

// The text in the language: in English the supplement's English where it has
// one, else the text itself.
QString inLanguage(Language language, const QString &chinese);
QString inLanguage(Language language, const char *chinese);

} // namespace pelmar

// Our English for texts the gateway tool shows that the built-in language
// table has no row for. Kept apart from that table, whose rows stay as the
// design gives them; it is consulted only after the table.
#pragma once

#include <QString>

#include <string_view>

class QWidget;

namespace vorlet {

// The English of a Chinese text, or nullptr.
const char *supplementaryEnglish(std::string_view chinese);

// Puts the supplement onto a window's remaining Chinese texts (English) or
// takes it off again (Chinese).
void applyEnglishSupplement(QWidget *root, bool english);

} // namespace vorlet

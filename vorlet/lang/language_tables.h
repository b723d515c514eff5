// The gateway tool's built-in language table: one sub-table of rows per dialog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vorlet {

// A control number (0 for a row that only translates a message text) with its
// English and Chinese texts. Texts are UTF-8 here; the limits below are the
// GBK byte counts the tool's fixed text fields allow.
struct LanguageRow
{
    std::int32_t control;
    const char *english;
    const char *chinese;
};

// Rows in table order; the last one is the end row.
struct LanguageSubTable
{
    int dialog;
    std::span<const LanguageRow> rows;
};

inline constexpr char kEndRowText[] = "kv end vk"; // English text of the end row
inline constexpr std::size_t kMaxEnglishBytes = 399;
inline constexpr std::size_t kMaxChineseBytes = 199;
inline constexpr std::size_t kMaxSubTables = 31;
inline constexpr std::size_t kMaxRowsPerSubTable = 999;

// Every sub-table, in table order.
std::span<const LanguageSubTable> languageTables();

// nullptr for a dialog without a sub-table (such a dialog keeps its own captions).
const LanguageSubTable *findSubTable(int dialog);

// The rows before the first row whose English text is the end text.
std::span<const LanguageRow> rowsBeforeEnd(const LanguageSubTable &table);

} // namespace vorlet

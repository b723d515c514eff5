// The polling table as text, one entry per line:
// "addr=1;fun=3;regAddr=0;regNum=1;dataType=0;json=k0;th1=0;th2=0;k=0.0000;b=0.0000;emg=0".
#pragma once

#include "vorlet/io/poll/poll_table.h"

#include <optional>
#include <string>
#include <vector>

namespace vorlet::poll {

// One entry's line without its line end; the name as stored.
std::string entryLine(const PollEntry &entry);
// The entries in use, each line ended by "\r\n".
std::string tableText(const PollBlock &block);

// What a text holds that the table does not take. Lines count from 1.
struct TextProblem
{
    enum class Kind {
        ShortLine,  // fewer than 11 characters and not blank: skipped
        BadPiece,   // a piece without exactly one '=': ignored
        UnknownKey, // ignored
        OverLimit,  // the entry that would be the 257th: the text is refused
    };
    Kind kind;
    int line;
    std::string piece; // the piece, for BadPiece and UnknownKey
};

struct ParsedText
{
    std::vector<PollEntry> entries;
    std::vector<TextProblem> problems;
    // The line of the first entry beyond the table's capacity.
    std::optional<int> overLimitLine() const;
};

// Lines end at "\n" (a "\r" before it goes with the blanks). A line shorter
// than 11 characters is skipped; every other line is one entry that starts
// all zero, loses its spaces and takes the pieces "key=value" between ';'
// whose key it knows (addr, fun, regAddr, regNum, dataType, json, th1, th2,
// k, b, emg). Names are taken as they are, cut to 64 bytes at a character.
ParsedText parseTableText(ByteView text, NameEncoding encoding);

// Stores parsed entries from slot 0 on and sets the count; false (nothing
// stored) when they are more than the table holds.
bool storeEntries(PollBlock &block, const std::vector<PollEntry> &entries);

} // namespace vorlet::poll

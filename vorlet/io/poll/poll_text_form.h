// The polling table's text form as Unicode text: names in the encoding the
// table stores them in, so they read as they are meant and go back unchanged.
#pragma once

#include "vorlet/io/poll/poll_table.h"

#include <QByteArray>
#include <QString>

namespace vorlet::poll {

// One line per entry in use, each ended by "\n".
QString textForm(const PollBlock &block, NameEncoding encoding);
// The bytes the parser takes: the text in the names' encoding.
QByteArray textFormBytes(const QString &text, NameEncoding encoding);

// A name field as text, and typed text into a name field (cut to 64 bytes
// at a character).
QString nameText(const PollEntry &entry, NameEncoding encoding);

} // namespace vorlet::poll

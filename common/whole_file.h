// The atomic writer: a file is replaced whole or not at all, never written in
// place, so a longer old file leaves no tail and a killed program no torn file.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace kyvo {

// Writes the bytes to a temporary file beside path and renames it over path
// once everything is on disk; false (and path untouched) on any failure.
bool writeWholeFile(const QString &path, QByteArrayView bytes);

} // namespace kyvo

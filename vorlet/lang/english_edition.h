// The English edition: a copy of the program whose file ends in a mark of
// 1024 bytes of 0xAA, so that it always starts, and stays, in English.
#pragma once

#include <QString>

namespace vorlet {

inline constexpr int kEditionMarkLength = 1024;
inline constexpr unsigned char kEditionMarkByte = 0xAA;

// For the save-file dialog of WriteEnglishEdition; the filter is translated
// through dialog 102 and is in MFC form ("text|pattern||").
inline constexpr char kEnglishEditionDefaultName[] = "app-english";
inline constexpr char kEnglishEditionFilter[] = "文件 (*.exe)|*.exe||";

// IsEnglishEdition: reads the file in 1024-byte pieces counting consecutive
// mark bytes; true when the count at the end is exactly 1024. An unreadable
// file is not an edition.
bool isEnglishEdition(const QString &programPath);

enum class EditionWriteStatus { Written, SourceUnreadable, TargetNotWritten };

// WriteEnglishEdition: copies the program file to the target and appends the
// mark. The target is replaced only when the whole copy succeeds, and takes
// the source's permissions so that the edition can be run. The caller shows
// no message for a failure.
EditionWriteStatus writeEnglishEdition(const QString &sourcePath, const QString &targetPath);

} // namespace vorlet

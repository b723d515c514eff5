// Detecting and writing the English edition's mark.
#include "vorlet/lang/english_edition.h"

#include <QFile>
#include <QSaveFile>

namespace vorlet {

namespace {

constexpr qint64 kPieceBytes = 1024;

} // namespace

bool isEnglishEdition(const QString &programPath)
{
    QFile file(programPath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    qint64 run = 0; // consecutive mark bytes so far; any other byte restarts it
    char piece[kPieceBytes];
    qint64 got;
    while ((got = file.read(piece, kPieceBytes)) > 0) {
        for (qint64 i = 0; i < got; ++i)
            run = static_cast<unsigned char>(piece[i]) == kEditionMarkByte ? run + 1 : 0;
    }
    return got == 0 && run == kEditionMarkLength;
}

EditionWriteStatus writeEnglishEdition(const QString &sourcePath, const QString &targetPath)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) return EditionWriteStatus::SourceUnreadable;
    QSaveFile target(targetPath);
    if (!target.open(QIODevice::WriteOnly)) return EditionWriteStatus::TargetNotWritten;

    char piece[kPieceBytes];
    qint64 got;
    while ((got = source.read(piece, kPieceBytes)) > 0) {
        if (target.write(piece, got) != got) return EditionWriteStatus::TargetNotWritten;
    }
    if (got < 0) return EditionWriteStatus::SourceUnreadable;

    const QByteArray mark(kEditionMarkLength, char(kEditionMarkByte));
    if (target.write(mark) != mark.size() || !target.commit()) return EditionWriteStatus::TargetNotWritten;
    QFile::setPermissions(targetPath, source.permissions());
    return EditionWriteStatus::Written;
}

} // namespace vorlet

// Whole-file replacement through QSaveFile.
#include "common/whole_file.h"

#include <QSaveFile>

namespace kyvo {

bool writeWholeFile(const QString &path, QByteArrayView bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace kyvo

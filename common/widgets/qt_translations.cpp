// Qt's own translations, switched with the program's language.
#include "common/widgets/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace kyvo {

bool useQtTranslations(bool chinese, const QString &folder)
{
    static QTranslator *installed = nullptr;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    if (!chinese) return false;
    auto translator = std::make_unique<QTranslator>();
    const QString where = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), where)) return false;
    QCoreApplication::installTranslator(translator.get());
    installed = translator.release();
    return true;
}

} // namespace kyvo

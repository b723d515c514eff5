// Qt's own translations, switched with the program's language.
#include "common/widgets/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace kyvo {

namespace {

QString &defaultFolder()
{
    static QString folder;
    return folder;
}

} // namespace

void setQtTranslationsFolder(const QString &folder)
{
    defaultFolder() = folder;
}

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
    QString where = folder.isEmpty() ? defaultFolder() : folder;
    if (where.isEmpty()) where = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), where)) return false;
    QCoreApplication::installTranslator(translator.get());
    installed = translator.release();
    return true;
}

} // namespace kyvo

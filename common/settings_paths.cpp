// Settings locations per platform.
#include "common/settings_paths.h"

#include <QDir>
#include <QStandardPaths>

namespace kyvo {

namespace {
QString &testRoot()
{
    static QString root;
    return root;
}

QString configRoot()
{
    if (!testRoot().isEmpty()) return testRoot();
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}
} // namespace

void setSettingsRootForTesting(const QString &root) { testRoot() = root; }

QString gatewaySettingsDir()
{
#ifdef Q_OS_WIN
    if (testRoot().isEmpty()) return QStringLiteral("c:\\kyvo_hx_config");
#endif
    return configRoot();
}

QString serverLanguageFile()
{
#ifdef Q_OS_WIN
    if (testRoot().isEmpty()) return QStringLiteral("C:\\kyvo.ini");
#endif
    return configRoot() + QStringLiteral("/kyvo.ini");
}

QString serverParameterDir()
{
#ifdef Q_OS_WIN
    if (testRoot().isEmpty()) return QStringLiteral("C:\\KYVO-Config");
#endif
    if (!testRoot().isEmpty()) return testRoot() + QStringLiteral("/KYVO-Config");
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/KYVO-Config");
}

} // namespace kyvo

// Where the programs keep their settings and parameter files.
#pragma once

#include <QString>

namespace kyvo {

// On Windows the fixed folder of the design (for example "c:\kyvo_hx_config");
// elsewhere the application's configuration folder. Tests point all of them
// at a temporary folder with setSettingsRootForTesting.
QString gatewaySettingsDir();  // holds hx.ini
QString serverLanguageFile();  // the one-byte language file
QString serverParameterDir();  // the INI parameter files

void setSettingsRootForTesting(const QString &root);

} // namespace kyvo

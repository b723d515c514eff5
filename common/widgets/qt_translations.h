// Qt's own texts (standard buttons, file and colour dialogs, edit menus) in
// the language the program shows, from the translations Qt installs.
#pragma once

#include <QString>

namespace kyvo {

// Chinese: loads qtbase_zh_CN from Qt's translations folder (or `folder`
// when given) and installs it; English: removes it. A missing file leaves
// Qt's English texts and is not an error; returns whether Chinese is in use.
bool useQtTranslations(bool chinese, const QString &folder = {});

// Where useQtTranslations looks when given no folder; Qt's own folder while
// empty. Tests point it at an empty folder, so that they meet the same texts
// on every machine, with Qt's translations installed or not.
void setQtTranslationsFolder(const QString &folder);

} // namespace kyvo

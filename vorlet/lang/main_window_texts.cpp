// Translating the main window's item lists.
#include "vorlet/lang/main_window_texts.h"

namespace vorlet::mainwindow {

QStringList translatedItems(const Language &language, std::span<const char *const> chinese)
{
    QStringList items;
    items.reserve(qsizetype(chinese.size()));
    for (const char *text : chinese)
        items.append(language.tr102(text));
    return items;
}

} // namespace vorlet::mainwindow

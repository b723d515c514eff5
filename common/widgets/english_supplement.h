// English for the texts a program shows that its language tables leave
// Chinese: a supplementary table of the program's own, put onto a window's
// widgets after its tables and taken off again for Chinese.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kyvo {

// The English of a Chinese text, or an empty string when there is none.
using EnglishLookup = std::function<QString(const QString &chinese)>;

// With `english`, every text of the root's own that still holds Chinese and
// that the lookup knows (captions, group titles, list items, menu items,
// tooltips, the window title) shows its English; the Chinese is kept. With
// `english` false the kept Chinese returns, unless the text has changed since.
// Texts inside item views and edits are data and are not touched.
void applyEnglishSupplement(QWidget *root, const EnglishLookup &lookup, bool english);

bool containsChinese(const QString &text);

} // namespace kyvo

// Small pieces the service panels and dialogs share: numbered controls,
// translated item lists, stored indexes and typed numbers.
#pragma once

#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"

#include <QString>

#include <cstdint>
#include <span>

class QComboBox;
class QLabel;
class QWidget;

namespace vorlet {

// The language in force, or Chinese where no language was given.
const Language &languageOr(const Language *language);

// A control with its number: the design's number where the design gives
// one, else the panel's own.
template <typename W> W *numbered(W *widget, int control)
{
    setControlId(widget, control);
    return widget;
}

// A link text: a label whose caption is shown as a link.
QLabel *linkLabel(QWidget *parent, int control, const QString &caption);

// Refills the list with each text through Translate of the dialog,
// keeping the selection.
void setTranslatedItems(QComboBox *list, const Language &language, int dialog,
                        std::span<const char *const> chinese);

// Selects a stored list index; an index outside the list selects 0.
void selectStoredIndex(QComboBox *list, int index);
std::uint8_t selectedIndex(const QComboBox *list);

// A typed number: plain decimal conversion, cut to 16 bits.
std::uint16_t u16Value(const QString &text);

// A Chinese literal of ours as a QString.
inline QString zh(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace vorlet

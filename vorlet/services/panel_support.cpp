// Shared helpers of the service panels.
#include "vorlet/services/panel_support.h"

#include "vorlet/ui/link_label.h"
#include "vorlet/ui/record_texts.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>

namespace vorlet {

const Language &languageOr(const Language *language)
{
    static const Language chinese;
    return language ? *language : chinese;
}

QLabel *linkLabel(QWidget *parent, int control, const QString &caption)
{
    auto *label = numbered(new LinkLabel(parent), control);
    label->setProperty(kControlLinkProperty, true);
    label->setFocusPolicy(Qt::StrongFocus);
    setControlCaption(label, caption);
    return label;
}

void setTranslatedItems(QComboBox *list, const Language &language, int dialog,
                        std::span<const char *const> chinese)
{
    const int selected = list->currentIndex();
    const QSignalBlocker quiet(list);
    list->clear();
    for (const char *text : chinese)
        list->addItem(language.translate(dialog, text));
    list->setCurrentIndex(selected >= 0 && selected < list->count() ? selected : 0);
}

void selectStoredIndex(QComboBox *list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : 0);
}

std::uint8_t selectedIndex(const QComboBox *list)
{
    return std::uint8_t(std::max(0, list->currentIndex()));
}

std::uint16_t u16Value(const QString &text)
{
    return std::uint16_t(decimalValue(text));
}

} // namespace vorlet

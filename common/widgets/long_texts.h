// Long texts in narrow controls: an edit filled by the program shows the
// start of its text (a host name, not its last letters), and a drop list
// opens as wide as its longest item and names the chosen one in its tooltip.
#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>

namespace kyvo {

// Every edit of the root that the user is not typing in shows its text's start.
inline void showTextStarts(QWidget *root)
{
    for (QLineEdit *edit : root->findChildren<QLineEdit *>())
        if (!edit->hasFocus()) edit->setCursorPosition(0);
}

// The list opens wide enough for its longest item; the closed list, which
// may cut the chosen item, shows all of it as its tooltip.
inline void fitLongItems(QComboBox *list)
{
    const auto fit = [list] {
        const int content = list->view()->sizeHintForColumn(0) + 2 * list->view()->frameWidth() + 24;
        list->view()->setMinimumWidth(std::max(list->view()->minimumWidth(), content));
        list->setToolTip(list->currentText());
    };
    QObject::connect(list, &QComboBox::currentTextChanged, list, fit);
    fit();
}

} // namespace kyvo

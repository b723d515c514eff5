// Keyboard and screen-reader use of every window: names for controls that a
// screen reader would otherwise announce only as "edit" or "combo box" (the
// label beside or above the control, else its group's title, tooltip or
// placeholder, in the language the window shows), and Tab in reading order.
#pragma once

#include <QObject>

class QWidget;

namespace kyvo {

// Controls a user acts on: buttons, edits, lists, spin boxes, sliders, links.
bool isInteractiveControl(const QWidget *widget);

// What a screen reader says for the widget (empty when it has no name).
QString accessibleNameOf(QWidget *widget);

// Names every unnamed interactive control of the window that is laid out
// and visible: a label beside or above it becomes its buddy (so the name
// follows the label's text when the language changes), else the control
// takes its group's title, tooltip or placeholder as its name.
void nameControls(QWidget *window);

// Tab through the window's visible controls in reading order: each
// container's children line by line from the top, each line from the left,
// a container's own controls before the next container's.
void orderTabChain(QWidget *window);

// Installed once on the application: names the controls of every window and
// of every panel as they are shown and puts them in reading order for Tab,
// and refreshes a fallback name when the control takes the focus.
class AccessibleNames : public QObject
{
public:
    static void install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};

} // namespace kyvo

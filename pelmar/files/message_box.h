// Message boxes of the serial-server tool's windows: they open without a
// nested event loop, so the window keeps handling datagrams and timers.
#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

namespace pelmar {

// A window-modal box with an OK button that deletes itself when closed;
// closed() runs then (when given).
QMessageBox *openMessageBox(QWidget *parent, const QString &text, const QString &caption,
                            std::function<void()> closed = {});

} // namespace pelmar

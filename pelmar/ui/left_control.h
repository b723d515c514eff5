// The main window's hidden shortcuts react only while the left Ctrl key is
// held. Qt's modifiers do not tell the two Ctrl keys apart, so this watch
// follows the Ctrl key's own presses and releases by their native codes.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>

class QWidget;

namespace pelmar {

// Whether a Ctrl key event came from the left key: X11 key symbols and
// Windows virtual keys name the side; the Windows VK_CONTROL carries it in
// the scan code's extended bit. Codes that name no side count as left.
bool isLeftControl(std::uint32_t nativeScanCode, std::uint32_t nativeVirtualKey);

class LeftControlWatch : public QObject
{
    Q_OBJECT
public:
    // Watches key events application-wide (an application event filter):
    // the Ctrl key may go down or up while any window has the focus, and the
    // letters count while the focus is in any control of window. Only the
    // given letters ('A' .. 'Z') are taken; others, such as left Ctrl + C in
    // an edit, go on as usual.
    LeftControlWatch(QWidget *window, QString letters);
    bool leftControlDown() const { return m_leftDown; }

Q_SIGNALS:
    // Left Ctrl + one of the letters in the window; the key is consumed.
    void letter(char key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    QString m_letters;
    bool m_leftDown = false;
};

} // namespace pelmar

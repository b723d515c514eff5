// Left Ctrl + letter in the main window.
#include "pelmar/ui/left_control.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace pelmar {

namespace {

constexpr std::uint32_t kXControlL = 0xFFE3, kXControlR = 0xFFE4;                  // X11 key symbols
constexpr std::uint32_t kVkControl = 0x11, kVkLControl = 0xA2, kVkRControl = 0xA3; // Windows
constexpr std::uint32_t kExtendedScanCode = 0x100;

} // namespace

bool isLeftControl(std::uint32_t scanCode, std::uint32_t virtualKey)
{
    switch (virtualKey) {
    case kXControlL:
    case kVkLControl:
        return true;
    case kXControlR:
    case kVkRControl:
        return false;
    case kVkControl:
        return (scanCode & kExtendedScanCode) == 0;
    default:
        return true;
    }
}

LeftControlWatch::LeftControlWatch(QWidget *window, QString letters)
    : QObject(window), m_window(window), m_letters(std::move(letters))
{
    qApp->installEventFilter(this);
}

bool LeftControlWatch::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate) m_leftDown = false;
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Control) {
        // A release in a box opened meanwhile counts as well.
        if (isLeftControl(key->nativeScanCode(), key->nativeVirtualKey()))
            m_leftDown = type == QEvent::KeyPress;
        return false;
    }
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || !m_window || w->window() != m_window) return false;
    if (type != QEvent::KeyPress || !m_leftDown || !(key->modifiers() & Qt::ControlModifier)) return false;
    if (key->key() < Qt::Key_A || key->key() > Qt::Key_Z) return false;
    const char c = char('A' + (key->key() - Qt::Key_A));
    if (!m_letters.contains(QLatin1Char(c))) return false;
    Q_EMIT letter(c);
    return true;
}

} // namespace pelmar

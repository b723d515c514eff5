// Link text.
#include "vorlet/ui/link_label.h"

#include "vorlet/ui/main_window_controls.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace vorlet {

LinkLabel::LinkLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        p.setColor(group, QPalette::WindowText, QColor::fromRgba(kLinkGreen));
    setPalette(p);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click && isEnabled()) Q_EMIT linkActivated(QStringLiteral("#"));
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (isEnabled() && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        Q_EMIT linkActivated(QStringLiteral("#"));
        return;
    }
    QLabel::keyPressEvent(event);
}

} // namespace vorlet

// What a keyboard or screen-reader user meets in a window: every control a
// user can see has a name to be announced by, and Tab reaches every enabled one.
#pragma once

#include "common/widgets/accessible_names.h"

#include <QCoreApplication>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

namespace testsupport {

inline QString describeControl(const QWidget *widget, const QWidget *window)
{
    const QPoint at = widget->mapTo(window, QPoint(0, 0));
    return QStringLiteral("%1 '%2' at %3,%4")
        .arg(QString::fromLatin1(widget->metaObject()->className()), widget->objectName())
        .arg(at.x())
        .arg(at.y());
}

// Shows the window first when it is not shown yet (names are given as
// windows are shown, as in the programs).
inline void expectAccessible(QWidget *window, const QString &name)
{
    if (!window->isVisible()) {
        window->show();
        QCoreApplication::processEvents();
    }
    QStringList unnamed;
    QStringList unreachable;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->isWindow() || !widget->isVisibleTo(window) || !kyvo::isInteractiveControl(widget))
            continue;
        if (kyvo::accessibleNameOf(widget).isEmpty()) unnamed << describeControl(widget, window);
        if (widget->isEnabled() && !(widget->focusPolicy() & Qt::TabFocus))
            unreachable << describeControl(widget, window);
    }
    EXPECT_TRUE(unnamed.isEmpty()) << name.toStdString() << ": controls without an accessible name: "
                                   << unnamed.join(QStringLiteral("; ")).toStdString();
    EXPECT_TRUE(unreachable.isEmpty())
        << name.toStdString()
        << ": controls Tab does not reach: " << unreachable.join(QStringLiteral("; ")).toStdString();
}

} // namespace testsupport

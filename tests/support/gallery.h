// The galleries: pictures of windows and dialogs under the build folder for a
// person to look at, each checked for what a user would see there: more than
// a blank, the title and a known caption in the language asked for, every
// control inside its window and uncut, no Chinese left in an English window,
// and use from the keyboard and a screen reader.
#pragma once

#include "tests/support/accessibility.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTabBar>
#include <QTextDocument>
#include <QWidget>

#include <gtest/gtest.h>

namespace testsupport {

// KYVO_GALLERY_DIR is set by the gallery test's CMake target.
inline QString galleryDir()
{
    const QString dir = QString::fromUtf8(KYVO_GALLERY_DIR);
    QDir().mkpath(dir);
    return dir;
}

// Chinese characters (full-width punctuation such as "（HEX）" in the design's
// English texts is not counted).
inline bool hasChinese(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF)) return true;
    }
    return false;
}

// A widget inside a scroll area's viewport (or an item view's) may lie past
// its parent: the area scrolls to it.
inline bool scrolls(const QWidget *widget, const QWidget *window)
{
    for (const QWidget *p = widget->parentWidget(); p && p != window; p = p->parentWidget())
        if (auto *area = qobject_cast<const QAbstractScrollArea *>(p->parentWidget());
            area && area->viewport() == p)
            return true;
    return false;
}

// Controls that show a text or take input; one drawn over another hides it.
inline bool isLeafControl(const QWidget *widget)
{
    return qobject_cast<const QLabel *>(widget) || qobject_cast<const QAbstractButton *>(widget) ||
           qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget);
}

// Visible controls of the window that lie outside it, past the edge of a
// parent (a group, a panel) that cuts them off, or over one another.
inline QStringList cutOffControls(QWidget *window, const QRect &bounds = {})
{
    QStringList cut;
    const QRect area = bounds.isNull() ? window->rect() : bounds;
    QHash<QWidget *, QList<QWidget *>> leavesByParent;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->isWindow() || !widget->isVisibleTo(window) || scrolls(widget, window)) continue;
        if (widget->width() <= 0 || widget->height() <= 0) continue;
        const QRect inWindow(widget->mapTo(window, QPoint(0, 0)), widget->size());
        const QWidget *parent = widget->parentWidget();
        const bool outside = !area.contains(inWindow);
        const bool clipped = parent != window && !parent->rect().contains(widget->geometry());
        if (outside || clipped)
            cut << describeControl(widget, window) + QStringLiteral(" %1x%2%3")
                                                         .arg(widget->width())
                                                         .arg(widget->height())
                                                         .arg(outside ? QStringLiteral(" outside the window")
                                                                      : QStringLiteral(" cut by its parent"));
        if (isLeafControl(widget)) leavesByParent[widget->parentWidget()] << widget;
    }
    for (const QList<QWidget *> &leaves : std::as_const(leavesByParent))
        for (qsizetype i = 0; i < leaves.size(); ++i)
            for (qsizetype k = i + 1; k < leaves.size(); ++k)
                if (leaves[i]->geometry().intersects(leaves[k]->geometry()))
                    cut << describeControl(leaves[i], window) + QStringLiteral(" under ") +
                               describeControl(leaves[k], window);
    return cut;
}

// A window at its size now fits the work area of a 1366x768 screen (a
// taskbar of 40 pixels below), with every visible control inside it and uncut.
inline void expectFitsLaptop(QWidget *window, const QString &name)
{
    QCoreApplication::processEvents();
    const std::string what = name.toStdString();
    // Where the platform draws no frame, a desktop's frame and title bar.
    QSize frame = window->frameGeometry().size();
    if (frame == window->size()) frame += QSize(16, 39);
    EXPECT_LE(frame.width(), 1366) << what;
    EXPECT_LE(frame.height(), 728) << what;
    const QStringList cut = cutOffControls(window);
    EXPECT_TRUE(cut.isEmpty()) << what
                               << ": controls cut off: " << cut.join(QStringLiteral("; ")).toStdString();
}

// What the widget shows a reader as text of the program's own (not data
// typed or read from a device: edits, list cells and lines of text views).
inline QStringList captionsOf(QWidget *widget)
{
    QStringList texts;
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QTextDocument plain;
        plain.setHtml(label->text());
        texts << (label->textFormat() == Qt::PlainText ? label->text() : plain.toPlainText());
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        texts << button->text() << button->toolTip();
    } else if (auto *group = qobject_cast<QGroupBox *>(widget)) {
        texts << group->title();
    } else if (auto *combo = qobject_cast<QComboBox *>(widget); combo && !combo->isEditable()) {
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    } else if (auto *tabs = qobject_cast<QTabBar *>(widget)) {
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
    } else if (auto *header = qobject_cast<QHeaderView *>(widget); header && header->model()) {
        for (int i = 0; i < header->count(); ++i)
            texts << header->model()->headerData(i, header->orientation()).toString();
    } else if (auto *bar = qobject_cast<QMenuBar *>(widget)) {
        for (QAction *a : bar->actions()) {
            texts << a->text();
            if (a->menu())
                for (QAction *item : a->menu()->actions())
                    texts << item->text();
        }
    }
    return texts;
}

// Visible texts of the window's own that hold Chinese characters.
inline QStringList chineseCaptions(QWidget *window)
{
    QStringList found;
    if (hasChinese(window->windowTitle())) found << QStringLiteral("title '%1'").arg(window->windowTitle());
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->isWindow() || !widget->isVisibleTo(window)) continue;
        for (const QString &text : captionsOf(widget))
            if (hasChinese(text))
                found << QStringLiteral("%1: '%2'").arg(describeControl(widget, window), text);
    }
    return found;
}

// Whether any visible widget of the window shows this caption.
inline bool showsCaption(QWidget *window, const QString &caption)
{
    if (window->windowTitle().contains(caption)) return true;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->isWindow() || !widget->isVisibleTo(window)) continue;
        for (const QString &text : captionsOf(widget))
            if (text.contains(caption)) return true;
    }
    return false;
}

// The language a picture is taken in: from a "-en" or "-zh" part of its name;
// an English one shows no Chinese of the program's own.
enum class ShotLanguage { Either, Chinese, English };

inline ShotLanguage languageOfShot(const QString &name)
{
    const QStringList parts = name.split(QLatin1Char('-'));
    if (parts.contains(QStringLiteral("en"))) return ShotLanguage::English;
    if (parts.contains(QStringLiteral("zh"))) return ShotLanguage::Chinese;
    return ShotLanguage::Either;
}

// Checks the widget's window as a user would see it and writes the widget's
// picture as <name>.png. `caption` is a text the window must show (in the
// language of the name); the picture's colours are sampled every `step`
// pixels and must be more than a handful.
inline void shoot(QWidget *widget, const QString &name, const char *shownCaption, int step = 7)
{
    QCoreApplication::processEvents();
    const QString caption = QString::fromUtf8(shownCaption);
    QWidget *window = widget->window();
    const std::string what = name.toStdString();
    expectAccessible(window, name);
    const QImage image = widget->grab().toImage();
    ASSERT_FALSE(image.isNull()) << what;
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += step)
        for (int x = 0; x < image.width(); x += step)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8) << what << ": the picture is blank";

    // A panel pictured alone is no window of the program, and the design's
    // message boxes have no caption.
    if ((window->inherits("QDialog") && !window->inherits("QMessageBox")) || window->inherits("QMainWindow")) {
        EXPECT_FALSE(window->windowTitle().trimmed().isEmpty()) << what << ": no window title";
    }
    EXPECT_TRUE(showsCaption(window, caption)) << what << ": '" << caption.toStdString() << "' is not shown";
    const ShotLanguage language = languageOfShot(name);
    if (language == ShotLanguage::English) {
        EXPECT_FALSE(hasChinese(caption)) << what << ": the expected caption is not English";
        const QStringList chinese = chineseCaptions(window);
        EXPECT_TRUE(chinese.isEmpty())
            << what << ": Chinese in English mode: " << chinese.join(QStringLiteral("; ")).toStdString();
    }
    const QStringList cut = cutOffControls(window);
    EXPECT_TRUE(cut.isEmpty()) << what
                               << ": controls cut off: " << cut.join(QStringLiteral("; ")).toStdString();

    const QString path = galleryDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    ASSERT_TRUE(image.save(path)) << path.toStdString();
}

} // namespace testsupport

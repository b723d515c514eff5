// The galleries: pictures of windows and dialogs under the build folder for a
// person to look at, each checked to hold more than a blank and to be usable
// from the keyboard and a screen reader.
#pragma once

#include "tests/support/accessibility.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QSet>
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

// Writes the widget's picture as <name>.png; the colours are sampled every
// `step` pixels and must be more than a handful.
inline void shoot(QWidget *widget, const QString &name, int step = 7)
{
    QCoreApplication::processEvents();
    expectAccessible(widget->window(), name);
    const QImage image = widget->grab().toImage();
    ASSERT_FALSE(image.isNull()) << name.toStdString();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += step)
        for (int x = 0; x < image.width(); x += step)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 8) << name.toStdString();
    const QString path = galleryDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    ASSERT_TRUE(image.save(path)) << path.toStdString();
}

} // namespace testsupport

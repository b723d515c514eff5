// ApplyDialogTable on small widget trees, offscreen.
#include "vorlet/lang/dialog_captions.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace vorlet;

namespace {

template <typename W> W *control(QWidget *parent, int id)
{
    auto *widget = new W(parent);
    setControlId(widget, id);
    return widget;
}

} // namespace

TEST(ApplyDialogTable, CaptionsEachKindOfControl)
{
    QDialog dialog;
    auto *search = control<QPushButton>(&dialog, 1003);
    auto *group = control<QGroupBox>(&dialog, 1041);
    auto *more = control<QLabel>(group, 1056); // nested below a group box
    auto *minutes = control<QLineEdit>(&dialog, 1227);
    auto *link = control<QLabel>(&dialog, 1084);
    link->setProperty(kControlLinkProperty, true);

    applyDialogTable(&dialog, 102, Language('e'));
    EXPECT_EQ(search->text(), QStringLiteral("Search"));
    EXPECT_EQ(group->title(), QStringLiteral("Uart"));
    EXPECT_EQ(minutes->text(), QStringLiteral("min"));
    EXPECT_EQ(link->text(), QStringLiteral("<a href=\"#\">SET</a>"));

    applyDialogTable(&dialog, 102, Language('c'));
    EXPECT_EQ(search->text(), QString::fromUtf8("搜索"));
    EXPECT_EQ(more->text(), QString::fromUtf8("更多>>"));
    EXPECT_EQ(more->textFormat(), Qt::PlainText);
}

TEST(ApplyDialogTable, LeavesEmbeddedPanelsAndOtherWindowsAlone)
{
    QWidget mainWindow;
    auto *crossRouter = control<QCheckBox>(&mainWindow, 1006);
    QWidget *mqttPanel = new QWidget(&mainWindow);
    auto *will = control<QPushButton>(mqttPanel, 1006);
    applyDialogTable(mqttPanel, 130, Language('e'));
    auto *popupButton = control<QPushButton>(new QDialog(&mainWindow), 1003);

    applyDialogTable(&mainWindow, 102, Language('e'));
    EXPECT_EQ(crossRouter->text(), QStringLiteral("SearchByIP"));
    EXPECT_EQ(will->text(), QStringLiteral("WILL"));
    EXPECT_TRUE(popupButton->text().isEmpty());
}

TEST(ApplyDialogTable, TitleFromTheDialogsOwnRowAndTheLaterOfTwoRows)
{
    QDialog about;
    applyDialogTable(&about, 100, Language('e'));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About vorlet"));

    QDialog upload;
    auto *label = control<QLabel>(&upload, 1294); // named by two rows
    applyDialogTable(&upload, 158, Language('c'));
    EXPECT_EQ(label->text(), QString::fromUtf8("userId(最大31字符)"));
}

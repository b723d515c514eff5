// Names and Tab order the programs give every window as it is shown.
#include "common/widgets/accessible_names.h"
#include "common/widgets/english_supplement.h"
#include "common/widgets/qt_translations.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using kyvo::accessibleNameOf;

namespace {

struct Form
{
    QWidget window;
    QLabel *addressLabel = new QLabel(QString::fromUtf8("IP地址:"));
    QLineEdit *address = new QLineEdit;
    QLabel *portLabel = new QLabel(QStringLiteral("Port"));
    QSpinBox *port = new QSpinBox; // below its label
    QGroupBox *group = new QGroupBox(QStringLiteral("Serial"));
    QComboBox *baud = new QComboBox;     // alone in its group
    QPushButton *pick = new QPushButton; // no caption: its tooltip
    QPushButton *save = new QPushButton(QStringLiteral("&Save"));
    QPlainTextEdit *log = new QPlainTextEdit; // the window's content: its title

    Form()
    {
        auto *grid = new QGridLayout(&window);
        grid->addWidget(addressLabel, 0, 0);
        grid->addWidget(address, 0, 1);
        grid->addWidget(portLabel, 1, 1);
        grid->addWidget(port, 2, 1);
        auto *inGroup = new QGridLayout(group);
        inGroup->addWidget(baud, 0, 0);
        grid->addWidget(group, 3, 0, 1, 2);
        pick->setToolTip(QStringLiteral("Choose a file"));
        grid->addWidget(pick, 4, 1);
        grid->addWidget(save, 4, 0); // created after "pick", stands first on its line
        grid->addWidget(log, 5, 0, 1, 2);
        window.setWindowTitle(QStringLiteral("Debug output"));
        window.resize(400, 300);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

} // namespace

TEST(AccessibleNames, ControlsAreNamedByTheirLabelGroupOrTooltipAndFollowTheLanguage)
{
    Form f;
    EXPECT_EQ(accessibleNameOf(f.address), QString::fromUtf8("IP地址:"));
    EXPECT_EQ(accessibleNameOf(f.port), QStringLiteral("Port"));
    EXPECT_EQ(accessibleNameOf(f.baud), QStringLiteral("Serial"));
    EXPECT_EQ(accessibleNameOf(f.pick), QStringLiteral("Choose a file"));
    EXPECT_EQ(accessibleNameOf(f.save), QStringLiteral("Save"));
    EXPECT_EQ(accessibleNameOf(f.log), QStringLiteral("Debug output"));

    f.addressLabel->setText(QStringLiteral("IP address:")); // the language switch
    f.group->setTitle(QString::fromUtf8("串口"));
    f.baud->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(accessibleNameOf(f.address), QStringLiteral("IP address:"));
    EXPECT_EQ(accessibleNameOf(f.baud), QString::fromUtf8("串口"));
}

TEST(AccessibleNames, TabFollowsTheReadingOrderNotTheOrderOfCreation)
{
    Form f;
    const QList<QWidget *> expected{f.address, f.port, f.baud, f.save, f.pick, f.log};
    QList<QWidget *> chain;
    QWidget *w = f.address;
    for (int i = 0; i < expected.size(); ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() || !w->isVisible())
            w = w->nextInFocusChain();
        chain << w;
    }
    EXPECT_EQ(chain, expected);
}

// The other shared widget helpers: a window's supplementary English, and Qt's
// own translations.
TEST(EnglishSupplement, PutsOnTheEnglishItKnowsAndTakesItOffUnlessTheTextChanged)
{
    QWidget window;
    window.setWindowTitle(QString::fromUtf8("配置"));
    auto *known = new QLabel(QString::fromUtf8("安全"), &window);
    auto *unknown = new QPushButton(QString::fromUtf8("未知"), &window);
    auto *status = new QLabel(QString::fromUtf8("安全"), &window);
    auto *list = new QComboBox(&window);
    list->addItems({QString::fromUtf8("安全"), QStringLiteral("AES")});
    const kyvo::EnglishLookup lookup = [](const QString &chinese) {
        if (chinese == QString::fromUtf8("安全")) return QStringLiteral("Security");
        if (chinese == QString::fromUtf8("配置")) return QStringLiteral("Settings");
        return QString();
    };
    kyvo::applyEnglishSupplement(&window, lookup, true);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(known->text(), QStringLiteral("Security"));
    EXPECT_EQ(unknown->text(), QString::fromUtf8("未知"));
    EXPECT_EQ(list->itemText(0), QStringLiteral("Security"));
    status->setText(QStringLiteral("Saved")); // changed while English
    kyvo::applyEnglishSupplement(&window, lookup, false);
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("配置"));
    EXPECT_EQ(known->text(), QString::fromUtf8("安全"));
    EXPECT_EQ(list->itemText(0), QString::fromUtf8("安全"));
    EXPECT_EQ(status->text(), QStringLiteral("Saved"));
}

TEST(QtTranslations, ChineseFromQtsFileAndWithoutOneCarriesOn)
{
    EXPECT_FALSE(kyvo::useQtTranslations(true, QDir::tempPath() + QStringLiteral("/no-such-folder")));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + QStringLiteral("/qtbase_zh_CN.qm"))) GTEST_SKIP() << "no qtbase_zh_CN.qm";
    ASSERT_TRUE(kyvo::useQtTranslations(true, folder));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
    EXPECT_FALSE(kyvo::useQtTranslations(false));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

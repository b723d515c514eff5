// The gallery: the main window with its label controls shown (an agent
// answered), in Chinese and English.
#include "tests/vorlet/maintenance/label_bench.h"

#include "tests/support/gallery.h"

TEST(LabelGallery, MainWindowWithLabelControls)
{
    labeltest::LabelBench b;
    ASSERT_TRUE(b.probed());
    ASSERT_TRUE(b.bench->search());
    for (const char *language : {"zh", "en"}) {
        EXPECT_TRUE(b.bench->window->controls().addToCloud->isVisible());
        testsupport::shoot(b.bench->window.get(),
                           QStringLiteral("main-labels-%1").arg(QLatin1String(language)),
                           b.bench->window->language().isEnglish() ? "SAVE" : "保存");
        b.bench->window->toggleLanguage();
    }
}

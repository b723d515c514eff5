// The batch window offscreen: its rows follow the runner, cancel and close,
// the results copied and saved, and its pictures in both languages.
#include "common/widgets/batch_window.h"

#include "tests/support/gallery.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using kyvo::BatchRunner;
using kyvo::BatchWindow;

namespace {

// Five devices, two at a time, each row's changes passed on as the owners do.
struct Batch
{
    explicit Batch(bool english = true, const char *operation = "Restart")
        : runner(5, 2, [](std::size_t) {}), window(runner, QString::fromUtf8(operation), labels(), english)
    {
        runner.setOnChanged([this](std::size_t row) { window.rowChanged(int(row)); });
        runner.run();
    }
    static QList<kyvo::BatchRowLabels> labels()
    {
        QList<kyvo::BatchRowLabels> rows;
        for (int i = 1; i <= 5; ++i)
            rows.append({QStringLiteral("192.168.1.%1").arg(10 + i),
                         QStringLiteral("00-4B-59-0A-4D-0%1").arg(i),
                         i == 5 ? QStringLiteral("=HYPERLINK(x)") : QStringLiteral("HX-2208")});
        return rows;
    }
    // Rows 0 and 1 end (done, failed), 2 runs at 40 %, 3 runs, 4 waits.
    void mix(const char *reason = "No answer")
    {
        runner.finish(0, true, {});
        runner.finish(1, false, reason);
        runner.progress(2, 40);
    }
    QString outcome(int row) { return table()->item(row, BatchWindow::OutcomeColumn)->text(); }
    QTableWidget *table() { return window.findChild<QTableWidget *>(); }
    QPushButton *button(const char *caption)
    {
        for (QPushButton *b : window.findChildren<QPushButton *>())
            if (b->text() == QString::fromUtf8(caption)) return b;
        return nullptr;
    }
    QString summary() { return window.findChild<QLabel *>()->text(); }

    BatchRunner runner;
    BatchWindow window;
};

TEST(BatchWindow, RowsAndSummaryFollowTheRunner)
{
    Batch b;
    b.mix();
    EXPECT_EQ(b.outcome(0), QStringLiteral("Done"));
    EXPECT_EQ(b.outcome(1), QStringLiteral("Failed: No answer"));
    EXPECT_EQ(b.outcome(2), QStringLiteral("Running"));
    EXPECT_EQ(b.table()->item(2, BatchWindow::ProgressColumn)->text(), QStringLiteral("40%"));
    EXPECT_EQ(b.outcome(4), QStringLiteral("Waiting"));
    EXPECT_EQ(b.summary(), QStringLiteral("5 devices: 1 done, 1 failed, 2 running, 1 waiting, 0 cancelled"));
}

TEST(BatchWindow, CancelStopsTheWaitingRowsAndCloseFollowsTheLastEnd)
{
    Batch b;
    b.mix();
    QSignalSpy cancelled(&b.window, &BatchWindow::cancelRequested);
    b.window.show();
    QTest::mouseClick(b.button("Cancel"), Qt::LeftButton);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(b.outcome(4), QStringLiteral("Cancelled"));
    EXPECT_FALSE(b.button("Cancel")->isEnabled()); // the running rows end on their own
    QTest::keyClick(&b.window, Qt::Key_Escape);
    EXPECT_TRUE(b.window.isVisible()); // not while a row still runs
    b.runner.finish(2, true, {});
    b.runner.finish(3, true, {});
    ASSERT_TRUE(b.button("Close"));
    EXPECT_TRUE(b.button("Close")->isEnabled());
    QTest::mouseClick(b.button("Close"), Qt::LeftButton);
    EXPECT_FALSE(b.window.isVisible());
    EXPECT_EQ(cancelled.count(), 1);
}

TEST(BatchWindow, CopiesAndSavesTheResultsWithFormulasGuarded)
{
    Batch b;
    b.mix("No \"answer\", twice");
    QTest::mouseClick(b.button("Copy results"), Qt::LeftButton);
    const QStringList copied =
        QGuiApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(copied.size(), 6);
    EXPECT_EQ(copied[0], QStringLiteral("IP address\tMAC address\tModel\tOperation\tProgress\tOutcome"));
    EXPECT_EQ(copied[2],
              QStringLiteral(
                  "192.168.1.12\t00-4B-59-0A-4D-02\tHX-2208\tRestart\t0%\tFailed: No \"answer\", twice"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("results.csv"));
    b.window.setSaveFileName([&](QWidget *, const QString &, const QString &) { return path; });
    QTest::mouseClick(b.button("Save as CSV"), Qt::LeftButton);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[2],
              "192.168.1.12,00-4B-59-0A-4D-02,HX-2208,Restart,0%,\"Failed: No \"\"answer\"\", twice\"\r");
    EXPECT_TRUE(lines[5].contains(",'=HYPERLINK(x),")) << lines[5].constData();
}

// The running batch, and the same after Cancel (the waiting rows cancelled,
// the running one going on), in each language.
TEST(BatchWindowGallery, PicturesInBothLanguages)
{
    for (const bool english : {false, true}) {
        Batch b(english, english ? "Upgrade" : "升级");
        b.mix(english ? "No answer" : "设备无应答");
        b.runner.progress(3, 10);
        b.window.show();
        const QString suffix = english ? QStringLiteral("en") : QStringLiteral("zh");
        testsupport::expectFitsLaptop(&b.window, QStringLiteral("batch-") + suffix);
        testsupport::shoot(&b.window, QStringLiteral("batch-") + suffix,
                           english ? "Copy results" : "复制结果");
        QTest::mouseClick(b.button(english ? "Cancel" : "取消"), Qt::LeftButton);
        testsupport::shoot(&b.window, QStringLiteral("batch-cancelled-") + suffix,
                           english ? "cancelled" : "已取消");
    }
}

} // namespace

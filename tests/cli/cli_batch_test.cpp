// The batch options of both command-line tools: which selections are refused,
// which devices a selection names, and what a batch run prints and returns.
#include "cli/cli_batch.h"

#include <QTimer>

#include <gtest/gtest.h>

using namespace cli;

namespace {

Arguments parse(const char *line)
{
    QStringList args{QStringLiteral("tool"), QStringLiteral("restart")};
    args << QString::fromUtf8(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return Arguments::parse(args, batchValueOptions(), batchFlagOptions() << QStringLiteral("json"));
}

struct SelectionCase
{
    const char *line;
    const char *reasonContains; // nullptr: accepted
};

class BatchSelectionTest : public ::testing::TestWithParam<SelectionCase>
{
};

TEST_P(BatchSelectionTest, RefusesBadSelectionsWithAReason)
{
    BatchSelection s;
    const auto reason = readBatchSelection(parse(GetParam().line), s);
    if (!GetParam().reasonContains) {
        EXPECT_FALSE(reason) << reason->toStdString();
        return;
    }
    ASSERT_TRUE(reason) << GetParam().line;
    EXPECT_TRUE(reason->contains(QLatin1String(GetParam().reasonContains))) << reason->toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchSelectionTest,
    ::testing::Values(
        SelectionCase{"--mac 00-4b-59-0a-4d-07", nullptr},
        SelectionCase{"--all --model HX* --version 2.? --subnet 10.1.0.0/16 --parallel 256", nullptr},
        SelectionCase{"--all --subnet 0.0.0.0/0 --parallel 1", nullptr},
        SelectionCase{"--mac 00-4B-59-0A-4D", "--mac"}, SelectionCase{"--mac zz:4b:59:0a:4d:07", "--mac"},
        SelectionCase{"--all --parallel 0", "--parallel"},
        SelectionCase{"--all --parallel 257", "--parallel"},
        SelectionCase{"--all --parallel eight", "--parallel"},
        SelectionCase{"--all --subnet 10.1.0.0/33", "--subnet"},
        SelectionCase{"--all --subnet 10.1.0.0", "--subnet"},
        SelectionCase{"--all --subnet 10.1.0/8", "--subnet"}, SelectionCase{"", "--all"},
        SelectionCase{"--parallel 4", "--all"}, SelectionCase{"--all --mac 00-4B-59-0A-4D-07", "exclude"},
        SelectionCase{"--mac 00-4B-59-0A-4D-07 --model HX*", "narrow"},
        SelectionCase{"--mac 00-4B-59-0A-4D-07 --version 1.0", "narrow"},
        SelectionCase{"--mac 00-4B-59-0A-4D-07 --parallel 4", "--parallel"}));

TEST(BatchSelection, MacsKeepTheirOrderOnceEachInOneForm)
{
    BatchSelection s;
    ASSERT_FALSE(readBatchSelection(parse("--mac 00:4b:59:0a:4d:08 --mac 00-4B-59-0A-4D-07 --mac "
                                          "00-4b-59-0a-4d-08 --json"),
                                    s));
    EXPECT_EQ(s.macs,
              (QStringList{QStringLiteral("00-4B-59-0A-4D-08"), QStringLiteral("00-4B-59-0A-4D-07")}));
    EXPECT_TRUE(s.many());
    EXPECT_TRUE(s.json);
    EXPECT_EQ(s.parallel, 8);
}

const std::vector<BatchCandidate> kCandidates{
    {QStringLiteral("10.1.0.5"), QStringLiteral("00-4B-59-00-00-01"), QStringLiteral("HX-2208/4G"),
     QStringLiteral("V2.1")},
    {QStringLiteral("10.1.7.9"), QStringLiteral("00-4B-59-00-00-02"), QStringLiteral("hx-1104"),
     QStringLiteral("V2.3")},
    {QStringLiteral("10.2.0.5"), QStringLiteral("00-4B-59-00-00-03"), QStringLiteral("PL-8"),
     QStringLiteral("V1.0")},
};

struct ChoiceCase
{
    const char *line;
    std::vector<std::size_t> indexes;
};

class BatchChoiceTest : public ::testing::TestWithParam<ChoiceCase>
{
};

TEST_P(BatchChoiceTest, NamesTheMatchingDevicesInOrder)
{
    BatchSelection s;
    ASSERT_FALSE(readBatchSelection(parse(GetParam().line), s));
    EXPECT_EQ(chooseDevices(s, kCandidates).indexes, GetParam().indexes) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchChoiceTest,
    ::testing::Values(ChoiceCase{"--all", {0, 1, 2}}, ChoiceCase{"--all --model hx*", {0, 1}},
                      ChoiceCase{"--all --model *4G", {0}}, ChoiceCase{"--all --model HX", {}},
                      ChoiceCase{"--all --version v2.?", {0, 1}},
                      ChoiceCase{"--all --subnet 10.1.0.0/16", {0, 1}},
                      ChoiceCase{"--all --subnet 10.1.0.0/24 --model HX*", {0}},
                      ChoiceCase{"--mac 00-4b-59-00-00-03 --mac 00-4B-59-00-00-01", {2, 0}}));

TEST(BatchChoice, ListsTheMacsThatDidNotAnswer)
{
    BatchSelection s;
    ASSERT_FALSE(readBatchSelection(parse("--mac 00-4B-59-00-00-09 --mac 00-4B-59-00-00-02"), s));
    const BatchChoice choice = chooseDevices(s, kCandidates);
    EXPECT_EQ(choice.indexes, std::vector<std::size_t>{1});
    EXPECT_EQ(choice.missingMacs, QStringList{QStringLiteral("00-4B-59-00-00-09")});
}

// Row 0 ends on the event loop, the others inside their start: the lines come
// in finishing order, and one failure fails the run.
TEST(BatchRun, PrintsEachDeviceAsItFinishesAndFailsWhenOneFailed)
{
    BatchSelection s;
    s.json = true;
    testing::internal::CaptureStdout();
    const int status =
        runBatch(kCandidates, QStringLiteral("restart"), s, [](std::size_t row, kyvo::BatchRunner &r) {
            if (row == 0)
                QTimer::singleShot(0, [&r] { r.finish(0, true, "restarted"); });
            else
                r.finish(row, row == 1, row == 1 ? "restarted" : "no \"answer\"");
        });
    const QStringList lines = QString::fromStdString(testing::internal::GetCapturedStdout())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(status, kFailed);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("{\"address\":\"10.1.7.9\""))) << lines[0].toStdString();
    EXPECT_EQ(lines[1],
              QStringLiteral("{\"address\":\"10.2.0.5\",\"mac\":\"00-4B-59-00-00-03\",\"model\":\"PL-8\","
                             "\"operation\":\"restart\",\"ok\":false,\"text\":\"no \\\"answer\\\"\"}"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("{\"address\":\"10.1.0.5\""))) << lines[2].toStdString();
}

TEST(BatchRun, SucceedsWithASummaryWhenEveryDeviceSucceeded)
{
    BatchSelection s;
    s.parallel = 1;
    testing::internal::CaptureStdout();
    const int status = runBatch(kCandidates, QStringLiteral("restart"), s,
                                [](std::size_t row, kyvo::BatchRunner &r) { r.finish(row, true, "ok"); });
    const QString output = QString::fromStdString(testing::internal::GetCapturedStdout());
    EXPECT_EQ(status, kOk);
    EXPECT_TRUE(
        output.startsWith(QStringLiteral("10.1.0.5\t00-4B-59-00-00-01\tHX-2208/4G\trestart\tok\tok\n")))
        << output.toStdString();
    EXPECT_TRUE(output.endsWith(QStringLiteral("3 devices: 3 succeeded, 0 failed\n")))
        << output.toStdString();
}

} // namespace

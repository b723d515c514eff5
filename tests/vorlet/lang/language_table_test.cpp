// The built-in language table: its shape, limits and byte-exact rows.
#include "common/gbk_text.h"
#include "vorlet/lang/language.h"

#include <gtest/gtest.h>

using namespace vorlet;

TEST(LanguageTable, HoldsEverySubTableInOrderWithItsRowsAndEndRow)
{
    const std::pair<int, std::size_t> expected[] = {
        {102, 146}, {129, 17}, {130, 19}, {131, 6},  {100, 2},  {155, 10}, {159, 1},  {136, 1},
        {163, 15},  {165, 11}, {164, 27}, {166, 5},  {167, 22}, {138, 19}, {133, 4},  {132, 10},
        {161, 12},  {160, 2},  {144, 3},  {157, 9},  {139, 11}, {147, 32}, {154, 11}, {152, 27},
        {153, 6},   {158, 58}, {156, 21}, {145, 11}, {134, 5},  {135, 1},  {137, 67},
    };
    const auto tables = languageTables();
    ASSERT_EQ(tables.size(), std::size(expected));
    for (std::size_t i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(tables[i].dialog, expected[i].first) << "position " << i;
        EXPECT_EQ(rowsBeforeEnd(tables[i]).size(), expected[i].second) << "dialog " << tables[i].dialog;
        EXPECT_EQ(tables[i].rows.size(), expected[i].second + 1) << "one end row, last";
        for (const LanguageRow &row : tables[i].rows) {
            EXPECT_LE(std::size_t(kyvo::toGbk(QString::fromUtf8(row.english)).size()), kMaxEnglishBytes);
            EXPECT_LE(std::size_t(kyvo::toGbk(QString::fromUtf8(row.chinese)).size()), kMaxChineseBytes);
        }
    }
}

TEST(LanguageTable, KeepsLeadingAndTrailingSpacesAndQuotes)
{
    EXPECT_EQ(translate(102, "生成纯英文配置软件", 'e'), "Generate App ,Just support English ");
    EXPECT_EQ(translate(102, "连接%s,订阅%s  接收:%d 发送:%d", 'e'), " %s,Sub%s  rx:%d tx:%d");
    EXPECT_EQ(translate(131, "hex 转ascii hex(0x01<->\"01\")", 'e'), "hex To ascii hex(0x01<->\"01\")");
    // The key itself carries the trailing space: without it there is no match.
    EXPECT_EQ(translate(157, "无指令查询超时 打开或关闭的继电器 ", 'e'), "Net Break");
    EXPECT_EQ(translate(157, "无指令查询超时 打开或关闭的继电器", 'e'), "无指令查询超时 打开或关闭的继电器");
}

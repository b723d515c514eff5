// Inventory texts: what a spreadsheet and a JSON reader get back.
#include "common/inventory.h"
#include "common/widgets/inventory_export.h"
#include "common/widgets/save_dialog.h"

#include <QFileDialog>

#include <gtest/gtest.h>

using kyvo::InventoryRow;

TEST(Inventory, CsvQuotesAndGuardsFieldsAJsonStringEscapes)
{
    struct Case
    {
        const char *in, *csv, *json;
    };
    const Case cases[] = {
        {"plain", "plain", "\"plain\""},
        {"a,b", "\"a,b\"", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \\\"hi\\\"\""},
        {"two\nlines", "\"two\nlines\"", "\"two\\nlines\""},
        {"=1+2", "'=1+2", "\"=1+2\""},
        {"\tcmd", "'\tcmd", "\"\\tcmd\""},
        {"-cmd,x", "\"'-cmd,x\"", "\"-cmd,x\""},
        {"back\\slash\x01", "back\\slash\x01", "\"back\\\\slash\\u0001\""},
        {"网关", "网关", "\"网关\""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(kyvo::csvField(c.in), c.csv) << c.in;
        EXPECT_EQ(kyvo::jsonString(c.in), c.json) << c.in;
    }
}

TEST(Inventory, WholeTextsHaveAHeaderAndOneEntryPerDevice)
{
    const std::vector<InventoryRow> rows = {
        {"192.168.1.7", "00-11-22-33-44-55", "GW-1", "V2.1", "pump, north", "192.168.1.2"},
        {"192.168.1.8", "00-11-22-33-44-56", "GW-2", "V2.2", "", "192.168.1.2"},
    };
    EXPECT_EQ(kyvo::inventoryCsv(rows),
              "address,mac,model,firmware,name,adapter\r\n"
              "192.168.1.7,00-11-22-33-44-55,GW-1,V2.1,\"pump, north\",192.168.1.2\r\n"
              "192.168.1.8,00-11-22-33-44-56,GW-2,V2.2,,192.168.1.2\r\n");
    EXPECT_EQ(
        kyvo::inventoryJson(rows),
        "[\n "
        "{\"address\":\"192.168.1.7\",\"mac\":\"00-11-22-33-44-55\",\"model\":\"GW-1\",\"firmware\":\"V2.1\","
        "\"name\":\"pump, north\",\"adapter\":\"192.168.1.2\"},\n"
        " {\"address\":\"192.168.1.8\",\"mac\":\"00-11-22-33-44-56\",\"model\":\"GW-2\",\"firmware\":\"V2."
        "2\","
        "\"name\":\"\",\"adapter\":\"192.168.1.2\"}\n]\n");
    EXPECT_EQ(kyvo::inventoryJson({}), "[]\n");
}

// A name typed without a suffix in the save dialog takes the chosen filter's.
TEST(InventoryExport, TheSaveDialogsSuffixFollowsTheChosenFilter)
{
    const QString filter = kyvo::inventoryFilter(true);
    QFileDialog dialog(nullptr, QString(), QString(), filter);
    kyvo::followFilterSuffix(dialog, filter);
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("csv"));
    Q_EMIT dialog.filterSelected(filter.section(QStringLiteral(";;"), 1));
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("json"));
}

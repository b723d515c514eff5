// Inventory files from the main windows.
#include "common/widgets/inventory_export.h"

#include "common/whole_file.h"

#include <QFileInfo>

namespace kyvo {

namespace {

bool isJson(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0;
}

bool isCsv(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString inventoryFilter(bool english)
{
    return english ? QStringLiteral("CSV files (*.csv);;JSON files (*.json)")
                   : QStringLiteral("CSV 文件 (*.csv);;JSON 文件 (*.json)");
}

QString inventoryPath(const QString &path, const QString &selectedFilter)
{
    if (path.isEmpty() || isJson(path) || isCsv(path)) return path;
    return path + (selectedFilter.contains(QLatin1String("*.json")) ? QStringLiteral(".json")
                                                                    : QStringLiteral(".csv"));
}

bool writeInventory(const QString &path, const std::vector<InventoryRow> &rows)
{
    const std::string text = isJson(path) ? inventoryJson(rows) : inventoryCsv(rows);
    return writeWholeFile(path, QByteArrayView(text.data(), qsizetype(text.size())));
}

QString cannotWriteText(const QString &path, bool english)
{
    return (english ? QStringLiteral("Cannot write %1") : QStringLiteral("无法写入 %1")).arg(path);
}

} // namespace kyvo

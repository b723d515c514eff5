// The device list saved as an inventory from a main window: CSV or JSON,
// chosen by the file's suffix (or, without one, by the dialog's filter).
#pragma once

#include "common/inventory.h"

#include <QString>

#include <vector>

namespace kyvo {

// The save dialog's filters in Qt's form: CSV first.
QString inventoryFilter(bool english);
// The file's name with the suffix of its form: its own ".csv" or ".json",
// else the suffix of the filter chosen (CSV when none names JSON).
QString inventoryPath(const QString &path, const QString &selectedFilter = {});
// Writes the rows whole, as JSON when the path ends in ".json", else as CSV.
bool writeInventory(const QString &path, const std::vector<InventoryRow> &rows);
// The message for a file that could not be written.
QString cannotWriteText(const QString &path, bool english);

} // namespace kyvo

// `cansf` (resource 164): the nine smart message filters, each a logic, a
// frame type, a data type, a start byte and an inclusive range.
#pragma once

#include "vorlet/io/can/can_dialog.h"

#include <array>

class QComboBox;
class QLineEdit;

namespace vorlet::can {

namespace sfcontrol {
inline constexpr int kHeader = 1316, kFirstRowLabel = 1323;
// Our numbers: row r's controls are kRowControls + 10 * r + column.
inline constexpr int kRowControls = 2000;
enum Column { kLogic = 1, kFrameType, kDataType, kStartByte, kMinimum, kMaximum };
inline constexpr int rowControl(int row, Column column)
{
    return kRowControls + 10 * row + column;
}
} // namespace sfcontrol

class cansf : public CanDialog
{
public:
    cansf(const CanBlock &block, const Language &language, QWidget *parent = nullptr);

    void apply(CanBlock &block) const override;

private:
    struct Row
    {
        QComboBox *logic, *frameType, *dataType, *startByte;
        QLineEdit *minimum, *maximum;
    };
    void build();
    void fill(const CanBlock &block);

    std::array<Row, kCanRecords> m_rows{};
};

} // namespace vorlet::can

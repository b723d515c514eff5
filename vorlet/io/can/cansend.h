// `cansend` (resource 167): the nine periodic senders, each enabled or not,
// a 13-byte classic frame typed in hex and the delay before the next.
#pragma once

#include "vorlet/io/can/can_dialog.h"

#include <array>

class QCheckBox;
class QLineEdit;

namespace vorlet::can {

namespace sendcontrol {
inline constexpr int kHeader = 1334, kFrameCaption = 1335, kDelayCaption = 1336, kFirstRowLabel = 1337;
inline constexpr int kFirstEnable = 1033; // the "启动" boxes, one per row
inline constexpr int kFirstFrame = 2001;  // the frame edits, one per row
inline constexpr int kFirstDelay = 2011;  // the delay edits, one per row
} // namespace sendcontrol

class cansend : public CanDialog
{
public:
    cansend(const CanBlock &block, const Language &language, QWidget *parent = nullptr);

    // Every row's delay and enabled flag; each frame whose text is hex and
    // holds a byte (the first 13 bytes, the rest of the frame zero); a frame
    // whose text is not hex stays as it was.
    void apply(CanBlock &block) const override;

private:
    struct Row
    {
        QCheckBox *enabled;
        QLineEdit *frame, *delay;
    };
    void build();
    void confirm();

    std::array<Row, kCanRecords> m_rows{};
};

} // namespace vorlet::can

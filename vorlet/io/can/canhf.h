// `canhf` (resource 166): the hardware ID filter, its acceptance code and
// mask as hex edits and as two rows of bit toggles, and how many IDs pass.
#pragma once

#include "vorlet/io/can/can_dialog.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vorlet::can {

namespace hfcontrol {
inline constexpr int kExtended = 1033, kCodeLabel = 1332, kMaskLabel = 1333;
inline constexpr int kCode = 2001, kMask = 2002, kCount = 2003;
inline constexpr int kCodeBits = 2100; // + bit number, 0..28
inline constexpr int kMaskBits = 2200; // + bit number, 0..28
} // namespace hfcontrol

inline constexpr int kFilterBits = 29;

class canhf : public CanDialog
{
public:
    canhf(const CanBlock &block, const Language &language, QWidget *parent = nullptr);

    void apply(CanBlock &block) const override;

    QPushButton *codeBit(int bit) const { return m_codeBits[std::size_t(bit)]; }
    QPushButton *maskBit(int bit) const { return m_maskBits[std::size_t(bit)]; }

private:
    using BitRow = std::array<QPushButton *, kFilterBits>;
    void build();
    QWidget *bitRow(BitRow &row, int firstControl);
    void onExtended();
    void onHexEdited();
    void onBitClicked();
    static void showBits(const BitRow &row, std::uint32_t word);
    static std::uint32_t bitsOf(const BitRow &row);
    bool extended() const;

    QCheckBox *m_extended = nullptr;
    QLineEdit *m_code = nullptr, *m_mask = nullptr;
    QLabel *m_count = nullptr;
    BitRow m_codeBits{}, m_maskBits{};
};

} // namespace vorlet::can

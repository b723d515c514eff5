// `canbitrate` (resource 165): custom bit timing, searched from a wanted
// rate or set by hand in the long form (tseg1, tseg2, brp).
#pragma once

#include "vorlet/io/can/can_dialog.h"
#include "vorlet/io/can/can_timing.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace vorlet::can {

namespace bitratecontrol {
inline constexpr int kWantedLabel = 1309, kMore = 1200, kFormula = 1201;
inline constexpr int kWanted = 2001, kResult = 2002, kSjw = 2003, kTseg1 = 2004, kTseg2 = 2005, kBrp = 2006,
                     kSampling = 2007, kActual = 2008;
} // namespace bitratecontrol

class canbitrate : public CanDialog
{
public:
    canbitrate(const CanBlock &block, const Language &language, QWidget *parent = nullptr);

    void apply(CanBlock &block) const override;

    // The timing the controls hold, and why "确定" would refuse it (empty
    // when it would not).
    Timing timing() const;
    QString refusal() const { return m_refusal; }
    bool longForm() const;

private:
    void build();
    void toggleForm();
    void onWantedRate();
    void onManualTiming();
    void showTiming(Timing timing, std::uint32_t actual);
    void confirm();

    // While set, the handlers' own writes into each other's controls do
    // not run the other handler.
    bool m_writing = false;
    QString m_refusal;
    QLineEdit *m_wanted = nullptr, *m_brp = nullptr;
    QComboBox *m_tseg1 = nullptr, *m_tseg2 = nullptr;
    QLabel *m_result = nullptr, *m_sampling = nullptr, *m_actual = nullptr;
    QWidget *m_more = nullptr;
};

} // namespace vorlet::can

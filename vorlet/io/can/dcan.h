// `dcan` (resource 163): the CAN panel in the main window's serial group of
// a CAN gateway. It keeps a copy of the shown device's CAN block; its dialogs
// edit that copy, and the window's save collects it into the record.
#pragma once

#include "vorlet/io/can/can_dialog.h"
#include "vorlet/ui/channel_panel.h"

#include <QPointer>

class QCheckBox;
class QComboBox;
class QLabel;

namespace vorlet::can {

namespace dcancontrol {
inline constexpr int kBitRateLabel = 1307, kFormatLabel = 1308, kFormatHelp = 1199;
inline constexpr int kHardwareFilter = 1033, kSmartFilter = 1034, kSenders = 1035;
inline constexpr int kHardwareSet = 1195, kSmartFilterSet = 1196, kBitRateSet = 1197, kSendersSet = 1198;
inline constexpr int kBitRate = 2001, kCustomRate = 2002, kFormat = 2003, kStatus = 2004;
} // namespace dcancontrol

class dcan : public FieldPortPanel
{
public:
    explicit dcan(const PanelEnvironment &env, QWidget *parent = nullptr);

    void load(const ParameterRecord &record) override;
    void store(ParameterRecord &record) const override;
    void retranslate(const Language &language) override;

    // The copy the dialogs edit (the lists and boxes join it on store).
    const CanBlock &block() const { return m_block; }
    // The dialog open now, if any.
    QDialog *openDialog() const { return m_dialog; }

    void openBitRate();
    void openHardwareFilter();
    void openSmartFilters();
    void openSenders();
    void openFormatHelp();

private:
    struct Counters
    {
        std::uint32_t received = 0, sent = 0, filtered = 0;
        std::uint8_t busState = 0;
    };
    void build();
    void showCustomRate();
    void showCounters();
    void closeDialog();
    void openCanDialog(CanDialog *dialog);
    const Language &language() const;
    QString tr(const char *chinese) const;

    PanelEnvironment m_env;
    CanBlock m_block{};
    Counters m_counters;
    QPointer<QDialog> m_dialog;
    QComboBox *m_bitRate = nullptr, *m_format = nullptr;
    QLabel *m_customRate = nullptr, *m_customSet = nullptr, *m_status = nullptr;
    QCheckBox *m_hardware = nullptr, *m_smartFilter = nullptr, *m_senders = nullptr;
};

} // namespace vorlet::can

// `ModbusCacheDialog`: the MODBUS cache of a server's serial ports. Online,
// every port's cache settings are read from the server and saved, cloned
// and debug-run with TLVs; in the legacy mode it edits only the on/off flags
// of ports 1 to 4 that the main window's port save carries.
#pragma once

#include "pelmar/advanced/tlv_dialogs/port_tlv_settings.h"
#include "pelmar/advanced/tlv_dialogs/sub_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pelmar {

class ModbusCacheDialog : public SubDialog
{
    Q_OBJECT
public:
    using LegacyFlags = std::array<std::uint8_t, kLegacyCachePorts>;

    // Online mode: reads the settings when it opens.
    ModbusCacheDialog(const SubDialogTarget &target, const LanguageTable &language,
                      SubDialogOptions options = {}, QWidget *parent = nullptr);
    // Legacy mode over the entry's flags; the target's port is 0 .. 3.
    ModbusCacheDialog(const SubDialogTarget &target, const LanguageTable &language, const LegacyFlags &flags,
                      SubDialogOptions options = {}, QWidget *parent = nullptr);

    bool online() const { return m_online; }
    const CacheSettings &settings() const { return m_settings; }
    const LegacyFlags &legacyFlags() const { return m_flags; }

    QCheckBox *enableBox() const { return m_enable; }
    QCheckBox *intervalBox() const { return m_interval; }
    QLineEdit *periodEdit() const { return m_period; }
    QLineEdit *timeoutEdit() const { return m_timeout; }
    QLineEdit *delayEdit() const { return m_delay; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *debugButton() const { return m_debug; }
    QPushButton *cloneButton() const { return m_clone; }
    QPlainTextEdit *learnedCommands() const { return m_learned; }

    void save();
    void clone();

private:
    void build();
    void read();
    CachePort &current() { return m_settings.ports[std::size_t(target().port)]; }
    // The five controls into the current port's record, and back.
    void takeControls();
    void showCurrent();
    void updateClone();
    void enableClicked();

    bool m_online;
    CacheSettings m_settings;
    LegacyFlags m_flags{};
    QCheckBox *m_enable, *m_interval;
    QLineEdit *m_period, *m_timeout, *m_delay;
    QPushButton *m_save, *m_debug, *m_clone;
    QPlainTextEdit *m_learned;
    QList<QWidget *> m_onlineOnly;
};

} // namespace pelmar

// The I/O module dialog `rtu`: the module's settings, its live inputs,
// relays, counters and analogue values, relay commands, counter clearing,
// and the hidden module firmware download and ADC calibration.
#pragma once

#include "common/clock.h"
#include "vorlet/io/module/module_panel.h"

#include <QDialog>
#include <QPixmap>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vorlet {

class Language;

// The rule dialogs the panel's links and "执行动作" open on the record; a
// link without one stays disabled.
struct ModuleRuleDialogs
{
    using Open = std::function<void(QWidget *parent, ParameterRecord &record)>;
    Open inputs;  // "输入设置": digital linkage
    Open analog;  // "ADC设置": analogue linkage
    Open timers;  // beside "定时"
    Open upload;  // beside "自动上传"
    Open actions; // "执行动作"
};

// What the panel needs of the main window; tests give their own.
struct RtuEnvironment
{
    const Language *language = nullptr;      // Chinese when null
    std::function<std::uint8_t()> scope;     // byte 2 of every message
    std::function<void(const Bytes &)> send; // to the device by the destination rule
    std::function<bool()> acknowledged;      // the write acknowledgement flag
    std::function<void()> clearAcknowledgement;
    // An open-file dialog (filter in Qt form) -> chosen path or empty.
    std::function<QString(QWidget *parent, const QString &filter)> openFile;
    // A message; empty: a message box that opens without a nested loop.
    std::function<void(QWidget *parent, const QString &text)> message;
    const kyvo::Clock *clock = nullptr; // a steady clock when null
    ModuleRuleDialogs rules;
};

class rtu : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kDialog = 147;
    static constexpr int kServiceClicks = 6;

    rtu(ParameterRecord &record, RtuEnvironment environment, QWidget *parent = nullptr);
    ~rtu() override;

    // Runs the refresh, the redraw and the download wait as far as they are
    // due on the dialog's clock (tests on a manual clock call it).
    void poll();

    // "确定": stores the settings into the record and closes.
    void store();
    void clickRelay(int k);
    void switchAll(bool on);
    void clearCounters();
    void clickBlankArea();
    void chooseFirmware();
    void startDownload();
    void calibrateAdc();

    // What the panel shows, for tests and pictures.
    bool relayShowsOn(int k) const { return m_relays.on(std::size_t(k)); }
    bool inputShowsActive(int k) const { return m_inputs.active(std::size_t(k)); }
    QPushButton *relayButton(int k) const { return m_relayButtons[std::size_t(k)]; }
    // Column 0 raw, 1 "0-5V", 2 "0-10V", 3 "0-20MA".
    QString analogText(int column, int i) const;
    QString counterText(int k) const;
    QLabel *blankArea() const { return m_blank; }
    bool serviceShown() const;
    bool downloading() const { return m_timers.downloading(); }
    const PanelTimers &timers() const { return m_timers; }

protected:
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildSettings();
    QWidget *buildLive();
    QWidget *buildAnalog();
    QWidget *buildService();
    void loadSettings();
    void setRefresh(bool on);
    void redraw();
    void showRelayPicture(int k);
    void showInputPicture(int k);
    void sendRelayCodes(const RelayCodes &codes);
    void finishDownload(bool succeeded);
    void showMessage(const QString &text);
    void openRule(const ModuleRuleDialogs::Open &open);
    void arm();
    Mac mac() const;
    std::uint8_t scope() const;
    QString tr147(const char *chinese) const;
    kyvo::Millis now() const { return m_clock->now(); }

    ParameterRecord &m_record;
    RtuEnvironment m_env;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    PanelTimers m_timers;
    RelayPictures m_relays;
    InputPictures m_inputs;
    QTimer m_timer;
    int m_blankClicks = 0;
    std::array<QPixmap, 4> m_pictures; // relay on, relay off, input active, input inactive

    QLineEdit *m_address = nullptr;
    QLineEdit *m_debounce = nullptr;
    QCheckBox *m_linkage = nullptr;
    QCheckBox *m_timersEnabled = nullptr;
    QCheckBox *m_upload = nullptr;
    QCheckBox *m_keepRelays = nullptr;
    QCheckBox *m_keepCounters = nullptr;
    QCheckBox *m_refresh = nullptr;
    QLabel *m_blank = nullptr;
    QWidget *m_service = nullptr;
    QLineEdit *m_firmwarePath = nullptr;
    QPushButton *m_download = nullptr;
    std::array<QLabel *, kModuleInputs> m_inputPictures{};
    std::array<QPushButton *, kModuleRelays> m_relayButtons{};
    std::array<QLabel *, kModuleRelays> m_relayPictures{};
    std::array<QLabel *, kModuleInputs> m_counters{};
    std::array<std::array<QLabel *, kModuleAnalog>, 4> m_analog{};
};

} // namespace vorlet

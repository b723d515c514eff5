// The gateway tool's main window: the device list and searches, the
// selected gateway's record in controls, the device commands, the language
// switch, and the places of the channel and CAN panels.
#pragma once

#include "common/adapters.h"
#include "common/one_box_of_a_kind.h"
#include "vorlet/core/gateway_core.h"
#include "vorlet/lang/language.h"
#include "vorlet/link/search_settings.h"
#include "vorlet/ui/channel_panel.h"
#include "vorlet/ui/command_runner.h"
#include "vorlet/ui/gateway_batch.h"
#include "vorlet/ui/main_window_controls.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <array>
#include <functional>
#include <map>
#include <optional>

class QMessageBox;

namespace vorlet {

class DeviceListModel;

class CvorletDlg : public QMainWindow
{
    Q_OBJECT
public:
    // A secondary dialog or menu command that a later part of the program
    // provides, keyed by the number of the control or menu item that opens
    // it. Controls without one stay disabled.
    struct Extension
    {
        bool needsDevice = true; // else the record pointer may be null
        std::function<void(CvorletDlg &window, ParameterRecord *record)> open;
    };

    struct Options
    {
        GatewayCore::Options core;
        CommandRunner::Options commands;
        QString settingsPath; // hx.ini; the settings folder's when empty
        QString programPath;  // checked for the English-edition mark; the running program when empty
        std::function<QList<kyvo::AdapterAddress>()> adapters; // kyvo::queryAdapters when empty
        // What "全部网卡" opens: kyvo::allSearchAdapters when empty.
        std::function<QList<kyvo::AdapterAddress>()> allAdapters;
        std::function<void(const QUrl &)> openUrl; // the default browser when empty
        // A save-file dialog: (default name, filter in Qt form) -> chosen path or empty.
        std::function<QString(QWidget *parent, const QString &name, const QString &filter)> saveFileName;
        // An open-file dialog: (filter in Qt form) -> chosen existing file or empty.
        std::function<QString(QWidget *parent, const QString &filter)> openFileName;
        PanelFactories panels;
        std::map<int, Extension> extensions;
        // Sets up the label printing as the window starts (its probe must not
        // hold up the opening); without it the label controls stay hidden.
        std::function<void(CvorletDlg &window)> labels;
        // Commands on many selected gateways: how many run at a time.
        GatewayBatch::Options batch;
    };

    // The three web links, with addresses of our own.
    static const char *const kDataUrl;
    static const char *const kWebsiteUrl;
    static const char *const kShopUrl;

    explicit CvorletDlg(Options options = {}, QWidget *parent = nullptr);
    ~CvorletDlg() override;

    GatewayCore &core() { return m_core; }
    CommandRunner &commands() { return *m_commands; }
    const Language &language() const { return m_language; }
    SearchSettings &settings() { return m_settings; }
    const MainWindowControls &controls() const { return m_ui; }
    DeviceListModel &deviceModel() { return *m_model; }
    // The record of the current row when it is selected (else of the first
    // selected row), or null: the row whose record the controls show.
    ParameterRecord *selectedRecord();
    int selectedRow() const;
    // Every selected row, in list order.
    std::vector<std::size_t> selectedRows() const;
    // The record the controls hold, or null before the first is shown.
    const ParameterRecord *shownRecord() const { return m_shown; }
    // The address of the adapter chosen in the adapter list; empty for the
    // default item (the endpoint bound to any address).
    QString adapterAddress() const;
    // What a device's own sockets bind to: adapterAddress(), or under
    // "全部网卡" the address of the adapter the device was seen on.
    QString adapterAddressFor(const ParameterRecord &record) const;
    // The adapter list's items: "默认", "全部网卡", then one per adapter.
    static constexpr int kAllAdaptersItem = 1, kFirstAdapterItem = 2;
    // The panel shown for a channel (or the CAN panel), or null.
    ChannelPanel *placedPanel(int channel) const { return m_placed[std::size_t(channel)]; }
    FieldPortPanel *placedCanPanel() const { return m_canLoaded ? m_canPanel : nullptr; }

    // Filling the controls from a record and back.
    void showRecord(const ParameterRecord &record);
    void showSerial(const ParameterRecord &record);
    void showFieldPortGroup(const ParameterRecord &record);
    void placeChannelPanel(int channel, const ParameterRecord &record);
    void showChannelStatus(const ParameterRecord &record);
    void collectRecord(ParameterRecord &record);

    // Selects the last row and shows its record, as after a new device.
    void rebuildDeviceList();
    // Shows the record of a row as a click on it does.
    void showRow(int row);

    void applyMainWindowLanguage();
    void toggleLanguage();
    void writeEnglishEdition();

    // The handlers of the buttons, links and menu items.
    void onSearch();
    void onEditRanges();
    void saveParameters();
    void restartDevice();
    void factoryReset();
    void deepFactoryReset();
    void setDebugOutput();
    void setDeviceClock();
    void pingTest();
    void showAbout();
    // Configuration files: export the selected record, choose a file, and
    // apply it to the selected device in one step.
    void exportConfiguration();
    void exportInventory();
    void chooseConfiguration();
    // A file that is not one whole record is applied only after the user
    // confirms it; a record with unusable static address settings never.
    void quickSet();
    QString quickSetPath() const { return m_quickSetPath; }

    // The status line's text (control 1040).
    QString statusText() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startUp();
    void connectCore();
    void connectControls();
    void createPanels();
    void fillItemLists();
    void fillAdapterList();
    void refreshAdapters();
    void onAdapterChanged(int index);
    void onScopeChanged();
    void onWorkModeChanged(int channel, int index);
    // The panel a channel shows in a work mode, or null.
    ChannelPanel *channelPanelFor(int channel, int mode) const;
    void onDeviceAdded(int row);
    void onQueryAnswered(int row);
    void onPingAnswer(int row, const QByteArray &text);
    void applyQuickSet(const Mac &mac, bool partialConfirmed);
    QString quickSetFileProblem() const;
    // With more than one gateway selected, a command runs as a batch after
    // one confirmation: true then (also when a file check stopped it).
    bool startsBatch(GatewayBatch::Operation operation);
    bool readBatchConfigFile(GatewayBatch::Options &options, QString &note);
    bool readBatchFirmware(GatewayBatch::Options &options);
    void confirmBatch(GatewayBatch::Operation operation, GatewayBatch::Options options, const QString &note);
    void startBatch(GatewayBatch::Operation operation, GatewayBatch::Options options, const std::vector<Mac> &macs);
    // Whether a running batch waits for this gateway's answers.
    bool batchOwns(const Mac &mac) const;
    void onButtons(CommandEffects::Buttons buttons);
    void applySerialRule();
    void applyWifiModeRule();
    void updateExtensionControls();
    void showStatusTexts(const ParameterRecord &record);
    void showClockLine(const ParameterRecord &record);
    void showSerialCaption(const ParameterRecord &record);
    void setStatus(const char *chinese);
    ParameterRecord *requireDevice();
    QMessageBox *message(const QString &text, const QString &caption = {});
    // The boxes that answers of the network open: one of a kind at a time,
    // a repeat while it is open is dropped (null then).
    enum class NetworkBox { BootNotice, SelfTest, PingResult, Generated };
    QMessageBox *networkMessage(NetworkBox kind, const QString &text, const QString &caption = {});
    // The messages the placed panels would give for what they hold, each
    // text once: asked before a record is collected, shown after it.
    QStringList panelProblems(const ParameterRecord &record) const;
    void showProblems(const QStringList &problems);
    void openExtension(int control);
    bool hasExtension(int control) const { return m_options.extensions.count(control) != 0; }
    QString tr102(const char *chinese) const { return m_language.tr102(chinese); }

    Options m_options;
    QString m_quickSetPath;
    GatewayCore m_core;
    Language m_language;
    SearchSettings m_settings;
    MainWindowControls m_ui;
    DeviceListModel *m_model = nullptr;
    CommandRunner *m_commands = nullptr;
    QList<kyvo::AdapterAddress> m_adapters;
    PanelEnvironment m_panelEnvironment;
    std::array<std::array<ChannelPanel *, 3>, 2> m_panels{};
    std::array<ChannelPanel *, 2> m_placed{};
    FieldPortPanel *m_canPanel = nullptr;
    bool m_canLoaded = false;
    const ParameterRecord *m_shown = nullptr; // the record the controls hold
    static constexpr qint64 kRebuildIntervalMs = 100;
    QTimer m_rebuildTimer;
    QElapsedTimer m_sinceRebuild;
    bool m_selecting = false;
    bool m_shownBySelection = false; // this press's selection change showed the record
    bool m_settingsSaved = false;
    bool m_commandsIdle = true; // "保存", "恢复出厂", "重启设备" enabled by the commands
    bool m_saveEnabled = true;
    QPointer<QMessageBox> m_pingBox;
    kyvo::OneBoxOfAKind<NetworkBox> m_networkBoxes;
    std::optional<Mac> m_pingedDevice; // while a ping test waits for its answer
    QString m_boundAdapter;            // the address the endpoint is bound to; empty: any
    bool m_allAdapters = false;        // "全部网卡": an endpoint per adapter
};

} // namespace vorlet

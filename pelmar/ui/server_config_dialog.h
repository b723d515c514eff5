// `ServerConfigDialog`: the serial-server tool's main window. The device
// list and the searches, the selected server's device, WiFi and port
// settings in controls that edit its entry, the saves and device commands,
// the menus (device, language, adapter, about) and the four status panes.
#pragma once

#include "common/widgets/batch_window.h"
#include "pelmar/core/server_batch.h"
#include "pelmar/core/server_core.h"
#include "pelmar/files/port_clone.h"
#include "pelmar/lang/language_table.h"
#include "pelmar/ui/server_commands.h"
#include "pelmar/ui/server_window_controls.h"

#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <map>
#include <optional>
#include <set>

namespace pelmar {

class ServerListModel;

class ServerConfigDialog : public QMainWindow
{
    Q_OBJECT
public:
    // A dialog or command that a later part of the program provides, keyed
    // by the number of the control or menu item that opens it. Controls
    // without one stay disabled.
    struct Extension
    {
        bool needsDevice = true; // else the entry may be null
        std::function<void(ServerConfigDialog &window, DeviceEntry *entry)> open;
        // Whether its control is enabled for the shown device; enabled whenever it exists when empty.
        std::function<bool(const ServerConfigDialog &window, const DeviceEntry *entry)> enabled;
    };

    // Message boxes without a nested event loop: text and caption.
    using MessageSink = std::function<void(QWidget *parent, const QString &text, const QString &caption)>;
    // A box that something waits on (the network's boxes, the repair's notice);
    // closed() runs when the user closes it.
    using AlertSink = std::function<void(QWidget *parent, const QString &text, std::function<void()> closed)>;
    // An OK/Cancel question; answer(true) on OK. The button texts follow the language.
    using QuestionSink = std::function<void(QWidget *parent, const QString &text, const QString &caption,
                                            const LanguageTable &language, std::function<void(bool)> answer)>;

    // The file dialogs of the parameter files, without a nested event loop:
    // chosen(path) with the file, or with an empty path when cancelled.
    struct FileRequest
    {
        bool save = false;    // a save dialog asking before it overwrites; else an open dialog
        QString folder;       // where it opens
        QString proposedName; // save dialogs only
        QString filter;       // Qt's form: "文件 (*.ini)"
    };
    using FileChooser = std::function<void(QWidget *parent, const FileRequest &request,
                                           std::function<void(const QString &)> chosen)>;
    // Shows a file in the system's text editor.
    using FileOpener = std::function<void(const QString &path)>;
    // Opens a web address in the system's browser.
    using UrlOpener = std::function<void(const QUrl &url)>;

    struct Options
    {
        ServerCore::Options core;
        ServerCommands::Options commands;
        QString languageFile; // the one-byte language file; the settings folder's when empty
        std::optional<QList<AdapterItem>> adapters; // the system's adapters when not given
        MessageSink message;                        // a window-modal box when empty
        AlertSink alert;                            // a window-modal box when empty
        QuestionSink question;                      // a window-modal OK/Cancel box when empty
        FileChooser chooseFile;                     // window-modal file dialogs when empty
        FileOpener openFile;                        // the desktop's handler of the file when empty
        QString parameterFolder;   // the parameter files' folder; the settings one's when empty
        UrlOpener openUrl;         // the desktop's browser when empty
        QUrl productSelectionPage; // behind the product selection item; no item when empty
        std::map<int, Extension> extensions;
        // A device command on many selected servers: servers at a time, the
        // sessions' clock, the upgrade's TFTP port and prober.
        ServerBatch::Options batch;
    };

    // The firmware upgrade dialog opens as the extension of this number; its
    // target is upgradeTarget(): the device's address after "固件升级" was
    // confirmed and 'W' 0x16 sent, or "192.168.1.253" from the menu item.
    static constexpr int kUpgradeDialog = control::kUpgrade;
    static constexpr const char *kMenuUpgradeTarget = "192.168.1.253";

    // The defaults of chooseFile and openFile.
    static void standardFileChooser(QWidget *parent, const FileRequest &request,
                                    std::function<void(const QString &)> chosen);
    static void standardFileOpener(const QString &path);

    explicit ServerConfigDialog(Options options = {}, QWidget *parent = nullptr);
    ~ServerConfigDialog() override;

    ServerCore &core() { return m_core; }
    ServerCommands &commands() { return *m_commands; }
    const LanguageTable &language() const { return m_language; }
    const ServerWindowControls &controls() const { return m_ui; }
    ServerListModel &deviceModel() { return *m_model; }
    QString upgradeTarget() const { return m_upgradeTarget; }
    // The settings of the last valid parameter file and its path (empty when none).
    const DeviceEntry &importedEntry() const { return m_imported; }
    QString importedPath() const { return m_importedPath; }

    // The selected row, -1 for none (of many, the current one); the device
    // the controls hold and its port.
    int selectedRow() const;
    // Every selected present device, in the list's order.
    std::vector<std::size_t> selectedDevices() const;
    // The window of the latest command on many servers, while it is open.
    kyvo::BatchWindow *batchWindow() const { return m_batchWindow; }
    int shownDevice() const { return m_shown; }
    int shownPort() const { return m_shownPort; }
    DeviceEntry *shownEntry();
    QString statusText(int pane) const;
    // A message box through the window's sink, over parent (a dialog of the window).
    void showMessage(QWidget *parent, const QString &text, const QString &caption = {})
    {
        m_options.message(parent, text, caption);
    }
    // A message box over the window; closed() runs once the user closed it.
    void showMessageThen(const QString &text, std::function<void()> closed)
    {
        m_options.alert(this, text, std::move(closed));
    }
    bool advancedVisible() const;

    // showDevice: selects and shows that device (a new record, a click, a key).
    void showDevice(int index);
    void showSelectedPort() { showPort(false); }

    // Handlers of the buttons and menu items.
    void startSearch();
    void saveDevice();
    void savePorts();
    void restartDevice();
    void factoryReset();
    void enterUpgrade();
    void toggleAdvanced();
    void chooseLanguage(Language language);
    void applyLanguage();
    void showAbout();
    void exportParameterFile();
    void importParameterFile();
    void exportInventory();
    void oneClickConfigure();
    // One "克隆" button: the shown port's setting onto all of the device's ports.
    void cloneSetting(CloneRow row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // server_window_files.cpp
    void writeParameterFile(int device, QString path);
    void readParameterFile(const QString &path);
    void setImportedPath(const QString &path);
    void openImportedFile();

    // server_window_batch.cpp
    void confirmBatch(ServerBatch::Operation operation);
    void startBatch(ServerBatch::Operation operation, const std::vector<std::size_t> &devices,
                    const QString &firmwarePath);

    // server_window_clones.cpp
    void updateCloneButtons();
    void followClonedHosts(const DeviceEntry &entry);
    void explainModbusAddress();
    void explainCustomBaud();
    bool handleOwnLabel(QWidget *label);

    // server_window_help.cpp
    static bool hasOwnHelp(int control);
    bool showOwnHelp(int control);
    void connectHelpAndKeys();
    void onLeftControlLetter(char key);

    // server_config_dialog.cpp
    void startUp();
    void connectCore();
    void connectControls();
    void buildAdapterMenu();
    void fillLists();
    void onSubnetClicked(bool ticked);
    void onRowAppended(int row);
    void onNetworkShown(int index);
    void onSaveButton(SaveButton button, bool enabled);
    void updatePortSaveButton();
    void setPane(int pane, const QString &text);
    void requireDeviceText();
    void message(const QString &text, const QString &caption = {});
    // A text of the window's own in the language shown (our supplement in English).
    QString ownText(const char *chinese) const;
    // The room the screen's work area leaves the window inside its frame.
    QSize workArea() const;
    void openExtension(int control);
    bool hasExtension(int control) const { return m_options.extensions.count(control) != 0; }
    void updateExtensionControls();
    bool extensionEnabled(int control) const;
    bool takeOverDeviceFields(DeviceEntry &entry);

    // server_device_view.cpp
    void showWifi(const DeviceEntry &entry);
    void showPort(bool fromShowDevice);
    void refillPortList(const DeviceEntry &entry);
    void applyWorkModeRule(int workMode);
    void applyModbusRule(bool ticked, int workMode, bool cacheOnly);
    void applyWifiModeRule(int modeIndex, bool warn);
    void setRegisterDataEnabled(bool enabled);

    // server_port_edits.cpp
    void connectEdits();
    PortSettings *editedPort();
    void onTextEdited(int control, const QString &text);
    void onEditLeft(int control, bool windowLeft);
    bool numericField(QLineEdit *edit, std::uint32_t max, std::uint32_t &value, bool zeroOnFailure = false);
    void onListChosen(int control, int index);
    void onBoxClicked(int control, bool ticked);
    void storeRegisterText();
    void macAsRegisterData();
    void hostTyped(const QString &text);
    HostLengths hostLengths(std::size_t index) const;

    Options m_options;
    ServerCore m_core;
    LanguageTable m_language;
    ServerWindowControls m_ui;
    ServerListModel *m_model = nullptr;
    ServerCommands *m_commands = nullptr;
    QList<QAction *> m_adapterItems;
    int m_shown = -1;     // the device the controls were filled from
    int m_shownPort = -1; // and its port (0-based), -1 when none is selected
    bool m_selecting = false;
    int m_shownAtPress = -1; // the device shown when the mouse went down on the list
    // Edits typed into since their leaving was last handled (control numbers).
    std::set<int> m_editedSinceLeft;
    QString m_upgradeTarget;
    // Target hosts typed longer than their 32-byte field, by (device, port):
    // the entry keeps 32 bytes, the port save of a short-frame server refuses them.
    std::map<std::pair<int, int>, QString> m_longHosts;
    int m_advancedWidth = 0;       // what showing the advanced column adds to the window
    int m_widthBeforeAdvanced = 0; // the width "<<" gives back
    DeviceEntry m_imported;        // the ImportedEntry of the last valid parameter file
    QString m_importedPath;
    QPointer<kyvo::BatchWindow> m_batchWindow;
};

} // namespace pelmar

// The main window's controls by role, each numbered with its control
// number ("controlId") so the language table reaches it.
#pragma once

#include <QColor>
#include <QComboBox>

#include <array>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QTableView;

namespace vorlet {

class AddressEdit;

// The adapter list, which is refilled each time it is opened.
class AdapterCombo : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
Q_SIGNALS:
    void aboutToShowPopup();
};

struct ChannelGroupControls
{
    QGroupBox *group = nullptr;    // 1024 "TCP-A", 1025 "TCP-B"
    QComboBox *workMode = nullptr; // 1010, 1011
    QLabel *status = nullptr;      // 1062, 1063
    QWidget *panelPlace = nullptr; // where the channel's panels are shown
};

struct MainWindowControls
{
    // Device list, search and device buttons.
    QTableView *deviceList = nullptr; // 1001
    QPushButton *search = nullptr;    // 1003
    AdapterCombo *adapter = nullptr;  // 1038
    QCheckBox *crossRouter = nullptr; // 1006
    QLabel *rangesLink = nullptr;     // 1084
    QPushButton *deviceInfo = nullptr, *restart = nullptr, *factoryReset = nullptr, *firmware = nullptr;
    QLabel *pingLink = nullptr;  // 1064
    QLabel *clockLine = nullptr; // 1067
    std::array<ChannelGroupControls, 2> channels;

    // "网络"
    QGroupBox *networkGroup = nullptr;                                              // 1213
    QComboBox *ipType = nullptr;                                                    // 1012
    AddressEdit *ip = nullptr, *mask = nullptr, *gateway = nullptr, *dns = nullptr; // 1013..1016
    QLineEdit *user = nullptr, *password = nullptr, *ipv6 = nullptr;                // 1042, 1043, 1045

    // "WIFI"
    QGroupBox *wifiGroup = nullptr;
    QComboBox *wifiMode = nullptr;     // 1020
    QLabel *wifiScan = nullptr;        // 1054
    QLineEdit *ssid = nullptr;         // 1021
    QLineEdit *wifiPassword = nullptr; // 1022
    QPushButton *wifiHelp = nullptr;   // 1066
    QCheckBox *bssidOnly = nullptr;    // 1019
    QLineEdit *bssid = nullptr;        // 1037
    QComboBox *encryption = nullptr;   // 1023
    QComboBox *connectMode = nullptr;  // 1044
    QLabel *signal = nullptr;          // 1107
    QLabel *wifiMore = nullptr;        // 1056 (hidden)

    // "串口" or "CAN"
    QGroupBox *serialGroup = nullptr;  // 1041
    QWidget *serialControls = nullptr; // hidden while the CAN panel is shown
    QWidget *canPlace = nullptr;       // where the CAN panel is shown
    QComboBox *baud = nullptr, *parity = nullptr, *dataBits = nullptr,
              *stopBits = nullptr;                              // 1026, 1032, 1027, 1028
    QLineEdit *packingTime = nullptr, *packingLength = nullptr; // 1030, 1031
    QComboBox *serialMode = nullptr;                            // 1029
    QLineEdit *replyTimeout = nullptr;                          // 1034
    QCheckBox *commandCache = nullptr;                          // 1033
    QLineEdit *updatePeriod = nullptr;                          // 1036
    QLineEdit *commandDelay = nullptr;                          // 1035
    QList<QWidget *> lineParameters;                            // baud .. packing length with their labels

    // "高级功能"
    QGroupBox *advancedGroup = nullptr;  // 1225
    QCheckBox *modbusPoll = nullptr;     // 1053
    QLabel *modbusPollSet = nullptr;     // 1055
    QCheckBox *channelBridge = nullptr;  // 1079
    QCheckBox *web = nullptr;            // 1073
    QPushButton *rtu = nullptr;          // 1078
    QCheckBox *ntp = nullptr;            // 1072
    QLabel *ntpSet = nullptr;            // 1058
    QCheckBox *customBaud = nullptr;     // 1074
    QComboBox *tls = nullptr;            // 1005
    QLabel *tlsSet = nullptr;            // 1057
    QLabel *certChecks = nullptr;        // 1085
    QLineEdit *netLossMinutes = nullptr; // 1017
    QCheckBox *debug = nullptr;          // 1075
    QLabel *debugMonitor = nullptr;      // 1077
    QCheckBox *userJson = nullptr;       // 3349
    QLabel *noDataText = nullptr;        // 1082
    QLabel *ioModuleText = nullptr;      // 1160

    // Bottom row.
    QPushButton *save = nullptr;                                                 // 1039
    QLabel *status = nullptr;                                                    // 1040
    QLabel *productionDate = nullptr;                                            // 1065
    QPushButton *quickSet = nullptr;                                             // 1091 (hidden)
    QLabel *quickSetPath = nullptr;                                              // 1092 (hidden)
    QComboBox *labelModel = nullptr;                                             // 1093 (hidden)
    QPushButton *print = nullptr, *printNoLogo = nullptr, *addToCloud = nullptr; // 1094..1096 (hidden)
    QLabel *dataLink = nullptr, *websiteLink = nullptr, *buyLink = nullptr;      // 1162, 1106, 1105

    // Hidden controls of the design.
    QCheckBox *userCode = nullptr;   // 1076
    QLabel *versionNumber = nullptr; // 1083
    QLabel *dataLink2 = nullptr;     // 1102
    QCheckBox *unlabelled = nullptr; // 1018

    // Menu 141 and the About item.
    QAction *deviceMenu = nullptr; // 32777
    QMenu *toolsMenu = nullptr;
    QAction *deepFactoryReset = nullptr, *importConfig = nullptr, *exportConfig = nullptr,
            *customDefaults = nullptr, *englishEdition = nullptr; // 32774, 32775, 32776, 32779, 3355
    QAction *exportInventory = nullptr;                           // the list as CSV or JSON
    QAction *languageItem = nullptr;                              // 32780
    QAction *about = nullptr;
};

// Builds every control in the window's layout; captions are the design's
// resource captions until the language is applied.
void buildMainWindowControls(QMainWindow *window, MainWindowControls &ui);

// Each column keeps room for the widest of what it can show (every channel
// panel, both languages so far); called once the panels are in place and
// after each language change.
void holdColumnWidths(MainWindowControls &ui);

// The green of the link and status texts, the production date's red.
inline constexpr QRgb kLinkGreen = 0xFF008000;
inline constexpr QRgb kDateRed = 0xFFFF0000;
inline constexpr QRgb kSelectedRow = 0xFF3399FF;

} // namespace vorlet

// The serial-server main window's controls by role. Each carries its number
// in the "controlId" property (the numbers below), so tests, the language
// and the later dialogs reach it by number.
#pragma once

#include <QComboBox>

#include <array>
#include <utility>
#include <vector>

class QAction;
class QActionGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableView;

namespace pelmar {

class AddressField;

inline constexpr char kControlIdProperty[] = "controlId";

namespace control {
// "设备列表"
inline constexpr int kListGroup = 1000, kDeviceList = 1001, kSearch = 1002, kRestart = 1003,
                     kFactoryReset = 1004, kUpgrade = 1005, kSubnet = 1006, kBroadcast = 1007,
                     kSweepProgress = 1008, kTips = 1009;
// "设备设置", "网络设置"
inline constexpr int kDeviceGroup = 1010, kNetworkGroup = 1011, kIpType = 1012, kIp = 1013, kMask = 1014,
                     kGateway = 1015, kDns = 1016, kMac = 1017, kUser = 1018, kPassword = 1019,
                     kFilterLabel = 1020, kFilterOn = 1021, kSaveDevice = 1022;
// "WIFI设置"
inline constexpr int kWifiGroup = 1030, kWifiMode = 1031, kApSsid = 1032, kApPassword = 1033, kStaSsid = 1034,
                     kStaPassword = 1035, kWifiScan = 1036, kSignalBar = 1037, kSignalText = 1038,
                     kSecurity = 1039, kEncryption = 1040, kDhcpServer = 1041, kStp = 1042;
// "端口设置"
inline constexpr int kPortGroup = 1050, kPortSelect = 1051, kEnable = 1052, kSerialType = 1053, kBaud = 1054,
                     kParity = 1055, kDataBits = 1056, kStopBits = 1057, kPackTime = 1058, kPackLength = 1059,
                     kWorkMode = 1060, kTargetHost = 1061, kTargetPort = 1062, kLocalPort = 1063,
                     kHeartbeatData = 1064, kHeartbeatInterval = 1065, kRegisterMode = 1066,
                     kRegisterData = 1067, kHex = 1068, kModbusTcpToRtu = 1069, kTimeout = 1070,
                     kModbusAddress = 1071, kHeartbeatPackets = 1072, kCloud = 1073, kAdvancedToggle = 1074,
                     kSavePorts = 1075, kModbusMarker = 1076, kCloneHelp = 1077, kFirstClone = 1080;
// "高级功能（部分型号支持）"
inline constexpr int kAdvancedGroup = 1100, kOneToMany = 1101, kAddressSet = 1102, kMqtt = 1103,
                     kModbusCache = 1104, kModbusIdentity = 1105, kStandardMqtt = 1106, kMacAsRegister = 1107,
                     kCustomBaud = 1108, kFirstHelp = 1110, kOneToManyHelp = kFirstHelp,
                     kModbusIdentityHelp = kFirstHelp + 3, kCustomBaudHelp = 1115, kOneClick = 1120,
                     kProfilePath = 1121;
// Menu items.
inline constexpr int kUpgradeItem = 2002, kExportItem = 2003, kImportItem = 2004, kEnglishItem = 2011,
                     kChineseItem = 2012, kDefaultAdapter = 2021, kAllAdapters = 2022, kAboutItem = 2030,
                     kProductItem = 2031;
// Keys of the main window: left Ctrl + B.
inline constexpr int kRepairKey = 2040;
} // namespace control

// "端口选择": refilled each time it is opened.
class PortCombo : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
Q_SIGNALS:
    void aboutToShowPopup();
};

struct ServerWindowControls
{
    // "设备列表"
    QGroupBox *listGroup = nullptr;
    QTableView *deviceList = nullptr;
    QPushButton *search = nullptr, *restart = nullptr, *factoryReset = nullptr, *upgrade = nullptr;
    QCheckBox *subnet = nullptr, *broadcast = nullptr;
    QProgressBar *sweepProgress = nullptr;
    QLabel *tips = nullptr; // "Tips"

    // "设备设置" with "网络设置" and "WIFI设置"
    QGroupBox *deviceGroup = nullptr, *networkGroup = nullptr;
    QComboBox *ipType = nullptr;
    AddressField *ip = nullptr, *mask = nullptr, *gateway = nullptr, *dns = nullptr;
    QLineEdit *mac = nullptr, *user = nullptr, *password = nullptr;
    QLabel *filterLabel = nullptr; // "广播包过滤" (hidden)
    QCheckBox *filterOn = nullptr; // "开启（ENABLE）" (hidden)
    QPushButton *saveDevice = nullptr;

    QGroupBox *wifiGroup = nullptr, *apFrame = nullptr, *staFrame = nullptr;
    QComboBox *wifiMode = nullptr;
    QLineEdit *apSsid = nullptr, *apPassword = nullptr, *staSsid = nullptr, *staPassword = nullptr;
    QPushButton *wifiScan = nullptr;
    QProgressBar *signalBar = nullptr;
    QLabel *signalText = nullptr;
    QComboBox *security = nullptr, *encryption = nullptr;
    QCheckBox *dhcpServer = nullptr, *stp = nullptr; // hidden until a device has them

    // "端口设置"
    QGroupBox *portGroup = nullptr;
    PortCombo *portSelect = nullptr;
    QPushButton *cloud = nullptr;     // "云透传"
    QLabel *advancedToggle = nullptr; // ">>" / "<<"
    QCheckBox *enable = nullptr;      // "使能" (hidden)
    QComboBox *serialType = nullptr;  // "串口类型" (hidden)
    QWidget *serialTypeLabel = nullptr;
    QComboBox *baud = nullptr, *parity = nullptr, *dataBits = nullptr, *stopBits = nullptr;
    QLineEdit *packTime = nullptr, *packLength = nullptr;
    QComboBox *workMode = nullptr;
    QLineEdit *targetHost = nullptr, *targetPort = nullptr, *localPort = nullptr;
    QLineEdit *heartbeatData = nullptr, *heartbeatInterval = nullptr;
    QLabel *heartbeatPackets = nullptr; // ">" beside "心跳包数据"
    QComboBox *registerMode = nullptr;
    QLineEdit *registerData = nullptr;
    QCheckBox *hex = nullptr;
    QCheckBox *modbusTcpToRtu = nullptr;
    QLineEdit *timeout = nullptr;
    QLabel *modbusMarker = nullptr;      // ">>" beside "Timeout"
    QWidget *modbusAddressRow = nullptr; // hidden
    QLineEdit *modbusAddress = nullptr;
    QPushButton *savePorts = nullptr;
    std::vector<QPushButton *> clones; // "克隆", one per CloneRow in its order
    QPushButton *cloneHelp = nullptr;  // "?"

    // "高级功能（部分型号支持）"
    QGroupBox *advancedGroup = nullptr;
    QCheckBox *oneToMany = nullptr;
    QPushButton *addressSet = nullptr, *mqtt = nullptr, *modbusCache = nullptr;
    QCheckBox *modbusIdentity = nullptr, *standardMqtt = nullptr, *customBaud = nullptr;
    QPushButton *macAsRegister = nullptr;
    std::vector<QLabel *> helps; // "？"
    QPushButton *oneClick = nullptr;
    QLabel *profilePath = nullptr; // the imported parameter file, beside "一键配置"

    // Menus: "设备", "语言", "网络适配器", "关于".
    QMenu *deviceMenu = nullptr, *languageMenu = nullptr, *adapterMenu = nullptr;
    QAction *upgradeItem = nullptr, *exportItem = nullptr, *importItem = nullptr;
    QAction *inventoryItem = nullptr; // the list as CSV or JSON; English from the supplement
    QAction *englishItem = nullptr, *chineseItem = nullptr;
    QAction *defaultAdapter = nullptr;
    QAction *allAdapters = nullptr; // "全部网卡"
    QActionGroup *adapterGroup = nullptr;
    QAction *aboutItem = nullptr;
    QAction *productItem = nullptr; // the product selection page

    // The status bar's four panes.
    std::array<QLabel *, 4> panes{};

    // Controls whose caption is a slot of the language table.
    std::vector<std::pair<QWidget *, int>> captions;
};

// Builds every control in the window's layout, with the Chinese captions.
void buildServerWindowControls(QMainWindow *window, ServerWindowControls &ui);

void setControlId(QObject *object, int control);
// The first widget or action under root with this number.
QObject *findControl(QObject *root, int control);

inline constexpr QRgb kSelectedRow = 0xFF3399FF; // RGB(51, 153, 255)
// The path label shows the file's path cut in the middle to this width.
inline constexpr int kProfilePathWidth = 200;

} // namespace pelmar

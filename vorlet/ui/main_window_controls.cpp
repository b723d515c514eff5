// The main window's layout: the device list, search and device buttons at
// the upper left, the two channels at the upper right, the groups "网络",
// "WIFI", "串口" and "高级功能" below, and the save row at the bottom.
#include "vorlet/ui/main_window_controls.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/main_window_texts.h"
#include "vorlet/ui/address_edit.h"
#include "vorlet/ui/link_label.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace vorlet {

void AdapterCombo::showPopup()
{
    Q_EMIT aboutToShowPopup();
    QComboBox::showPopup();
}

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

template <typename W> W *numbered(W *widget, int control)
{
    if (control) setControlId(widget, control);
    return widget;
}

void paintGreen(QWidget *widget)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, QColor::fromRgba(kLinkGreen));
    p.setColor(QPalette::Link, QColor::fromRgba(kLinkGreen));
    widget->setPalette(p);
}

QLabel *label(int control, const char *text)
{
    auto *l = numbered(new QLabel(u(text)), control);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLabel *greenText(int control)
{
    auto *l = label(control, "");
    paintGreen(l);
    return l;
}

// A link text: clicks arrive as linkActivated.
QLabel *link(int control, const char *text)
{
    auto *l = numbered(new LinkLabel, control);
    l->setText(u(text));
    return l;
}

QPushButton *button(int control, const char *text)
{
    return numbered(new QPushButton(u(text)), control);
}
QCheckBox *check(int control, const char *text)
{
    return numbered(new QCheckBox(u(text)), control);
}
QLineEdit *edit(int control)
{
    return numbered(new QLineEdit, control);
}
AddressEdit *address(int control)
{
    return numbered(new AddressEdit, control);
}

// Long item texts do not widen the window: the list opens as wide as its
// items need (at least the given width).
QComboBox *dropList(int control, int popupWidth = 0)
{
    auto *c = numbered(new QComboBox, control);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumContentsLength(8);
    c->setProperty("popupWidth", popupWidth);
    return c;
}

// A text that changes with the record: it takes the room it is given.
QLabel *statusText(QLabel *label)
{
    label->setMinimumWidth(1);
    return label;
}

// Rows of (label, field) pairs in a grid of two pairs per row.
void addPair(QGridLayout *grid, int row, int column, QWidget *caption, QWidget *field)
{
    grid->addWidget(caption, row, column * 2);
    grid->addWidget(field, row, column * 2 + 1);
}

QWidget *buildSearchArea(MainWindowControls &ui)
{
    auto *area = new QWidget;
    auto *v = new QVBoxLayout(area);
    v->setContentsMargins(0, 0, 0, 0);

    auto *searchRow = new QHBoxLayout;
    ui.search = button(1003, "搜索设备");
    ui.adapter = numbered(new AdapterCombo, 1038);
    ui.adapter->setProperty("popupWidth", 400);
    ui.adapter->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.adapter->setMinimumContentsLength(16);
    ui.crossRouter = check(1006, "跨路由搜索");
    ui.rangesLink = link(1084, "设置");
    searchRow->addWidget(ui.search);
    searchRow->addWidget(ui.adapter, 1);
    searchRow->addWidget(ui.crossRouter);
    searchRow->addWidget(ui.rangesLink);
    v->addLayout(searchRow);

    ui.deviceList = numbered(new QTableView, 1001);
    ui.deviceList->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Ctrl and Shift pick many gateways for one command; the controls show the current row's record.
    ui.deviceList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ui.deviceList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.deviceList->setShowGrid(true);
    ui.deviceList->verticalHeader()->hide();
    ui.deviceList->verticalHeader()->setDefaultSectionSize(20);
    ui.deviceList->horizontalHeader()->setStretchLastSection(true);
    ui.deviceList->setWordWrap(false);
    QPalette p = ui.deviceList->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight, QColor::fromRgba(kSelectedRow));
        p.setColor(group, QPalette::HighlightedText, Qt::white);
        p.setColor(group, QPalette::Base, Qt::white);
    }
    ui.deviceList->setPalette(p);
    v->addWidget(ui.deviceList, 1);

    auto *buttons = new QHBoxLayout;
    ui.deviceInfo = button(1004, "设备信息");
    ui.restart = button(1007, "重启设备");
    ui.factoryReset = button(1008, "恢复出厂");
    ui.firmware = button(1009, "固件升级");
    ui.pingLink = link(1064, "外网测试");
    for (QWidget *w : {static_cast<QWidget *>(ui.deviceInfo), static_cast<QWidget *>(ui.restart),
                       static_cast<QWidget *>(ui.factoryReset), static_cast<QWidget *>(ui.firmware)})
        buttons->addWidget(w);
    buttons->addStretch(1);
    buttons->addWidget(ui.pingLink);
    v->addLayout(buttons);

    ui.clockLine = statusText(link(1067, ""));
    v->addWidget(ui.clockLine);
    return area;
}

QGroupBox *buildChannelGroup(ChannelGroupControls &c, int index)
{
    c.group = numbered(new QGroupBox(index == 0 ? QStringLiteral("TCP-A") : QStringLiteral("TCP-B")),
                       index == 0 ? 1024 : 1025);
    auto *v = new QVBoxLayout(c.group);
    auto *row = new QHBoxLayout;
    c.workMode = dropList(index == 0 ? 1010 : 1011);
    row->addWidget(label(index == 0 ? 1228 : 1229, "工作模式"));
    row->addWidget(c.workMode, 1);
    v->addLayout(row);
    c.status = statusText(greenText(index == 0 ? 1062 : 1063));
    v->addWidget(c.status);
    c.panelPlace = new QWidget;
    c.panelPlace->setObjectName(QStringLiteral("channelPanelPlace%1").arg(index));
    auto *panels = new QVBoxLayout(c.panelPlace);
    panels->setContentsMargins(0, 0, 0, 0);
    v->addWidget(c.panelPlace, 1);
    return c.group;
}

QGroupBox *buildNetworkGroup(MainWindowControls &ui)
{
    ui.networkGroup = numbered(new QGroupBox(u("网络")), 1213);
    auto *g = new QGridLayout(ui.networkGroup);
    g->setVerticalSpacing(2);
    ui.ipType = dropList(1012);
    ui.ip = address(1013);
    ui.mask = address(1014);
    ui.gateway = address(1015);
    ui.dns = address(1016);
    ui.user = edit(1042);
    ui.password = edit(1043);
    ui.ipv6 = edit(1045);
    addPair(g, 0, 0, label(1214, "IP类型"), ui.ipType);
    addPair(g, 1, 0, label(1215, "IP地址"), ui.ip);
    addPair(g, 2, 0, label(1216, "子网掩码"), ui.mask);
    addPair(g, 3, 0, label(1217, "网关"), ui.gateway);
    addPair(g, 4, 0, label(0, "DNS"), ui.dns);
    addPair(g, 5, 0, label(1218, "用户名"), ui.user);
    addPair(g, 6, 0, label(1219, "密码"), ui.password);
    addPair(g, 7, 0, label(0, "IPV6"), ui.ipv6);
    g->setRowStretch(8, 1);
    return ui.networkGroup;
}

QGroupBox *buildWifiGroup(MainWindowControls &ui)
{
    ui.wifiGroup = new QGroupBox(QStringLiteral("WIFI"));
    ui.wifiGroup->setObjectName(QStringLiteral("wifiGroup"));
    auto *g = new QGridLayout(ui.wifiGroup);
    g->setVerticalSpacing(2);
    ui.wifiMode = dropList(1020);
    ui.wifiScan = link(1054, "搜索");
    ui.ssid = edit(1021);
    ui.wifiPassword = edit(1022);
    ui.wifiHelp = button(1066, "?");
    ui.wifiHelp->setFixedWidth(ui.wifiHelp->fontMetrics().horizontalAdvance(QStringLiteral("??")) + 12);
    ui.bssidOnly = check(1019, "指定MAC");
    ui.bssid = edit(1037);
    ui.bssid->setMaxLength(12);
    ui.encryption = dropList(1023);
    ui.connectMode = dropList(1044, 450);
    ui.signal = label(1107, "");
    ui.wifiMore = link(1056, "更多>>");
    ui.wifiMore->hide();

    auto *modeRow = new QHBoxLayout;
    modeRow->addWidget(ui.wifiMode, 1);
    modeRow->addWidget(ui.wifiScan);
    g->addWidget(label(1220, "模式"), 0, 0);
    g->addLayout(modeRow, 0, 1);
    g->addWidget(label(0, "SSID"), 1, 0);
    g->addWidget(ui.ssid, 1, 1);
    auto *passwordRow = new QHBoxLayout;
    passwordRow->addWidget(ui.wifiPassword, 1);
    passwordRow->addWidget(ui.wifiHelp);
    g->addWidget(label(1221, "密码"), 2, 0);
    g->addLayout(passwordRow, 2, 1);
    g->addWidget(ui.bssidOnly, 3, 0);
    g->addWidget(ui.bssid, 3, 1);
    g->addWidget(label(1222, "加密"), 4, 0);
    g->addWidget(ui.encryption, 4, 1);
    g->addWidget(label(1223, "连接模式"), 5, 0);
    g->addWidget(ui.connectMode, 5, 1);
    auto *signalRow = new QHBoxLayout;
    signalRow->addWidget(ui.signal, 1);
    signalRow->addWidget(ui.wifiMore);
    g->addWidget(label(1224, "信号"), 6, 0);
    g->addLayout(signalRow, 6, 1);
    g->setRowStretch(7, 1);
    g->setColumnStretch(1, 1);
    return ui.wifiGroup;
}

QGroupBox *buildSerialGroup(MainWindowControls &ui)
{
    ui.serialGroup = numbered(new QGroupBox(u("串口")), 1041);
    auto *outer = new QVBoxLayout(ui.serialGroup);
    ui.serialControls = new QWidget;
    ui.serialControls->setObjectName(QStringLiteral("serialControls"));
    auto *g = new QGridLayout(ui.serialControls);
    g->setContentsMargins(0, 0, 0, 0);
    g->setVerticalSpacing(2);
    ui.baud = dropList(1026, 100);
    ui.parity = dropList(1032);
    ui.dataBits = dropList(1027);
    ui.stopBits = dropList(1028);
    ui.packingTime = edit(1030);
    ui.packingLength = edit(1031);
    ui.serialMode = dropList(1029, 300);
    ui.replyTimeout = edit(1034);
    ui.commandCache = check(1033, "命令缓存");
    ui.updatePeriod = edit(1036);
    ui.commandDelay = edit(1035);

    struct Pair
    {
        int control;
        const char *text;
        QWidget *field;
    };
    const Pair lineRows[] = {{1177, "波特率", ui.baud},          {1178, "校验位", ui.parity},
                             {1179, "数据位", ui.dataBits},      {1180, "停止位", ui.stopBits},
                             {1181, "打包时间", ui.packingTime}, {1182, "打包长度", ui.packingLength}};
    int row = 0;
    for (const Pair &p : lineRows) {
        QLabel *caption = label(p.control, p.text);
        addPair(g, row / 2, row % 2, caption, p.field);
        ui.lineParameters << caption << p.field;
        ++row;
    }
    g->addWidget(label(1183, "模式"), 3, 0);
    g->addWidget(ui.serialMode, 3, 1, 1, 3);
    addPair(g, 4, 0, label(1184, "超时"), ui.replyTimeout);
    g->addWidget(ui.commandCache, 4, 2, 1, 2);
    addPair(g, 5, 0, label(1186, "更新周期"), ui.updatePeriod);
    addPair(g, 5, 1, label(1188, "命令延时"), ui.commandDelay);
    g->setRowStretch(6, 1);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    outer->addWidget(ui.serialControls);

    ui.canPlace = new QWidget;
    ui.canPlace->setObjectName(QStringLiteral("canPanelPlace"));
    auto *can = new QVBoxLayout(ui.canPlace);
    can->setContentsMargins(0, 0, 0, 0);
    ui.canPlace->hide();
    outer->addWidget(ui.canPlace, 1);
    return ui.serialGroup;
}

QGroupBox *buildAdvancedGroup(MainWindowControls &ui)
{
    ui.advancedGroup = numbered(new QGroupBox(u("高级功能")), 1225);
    auto *g = new QGridLayout(ui.advancedGroup);
    g->setVerticalSpacing(2);
    ui.modbusPoll = check(1053, "Modbus主动轮询");
    ui.modbusPollSet = link(1055, "设置");
    ui.channelBridge = check(1079, "Tcp-A<->Tcp-B");
    ui.web = check(1073, "web");
    ui.rtu = button(1078, "RTU设置");
    ui.ntp = check(1072, "NTP");
    ui.ntpSet = link(1058, "设置");
    ui.customBaud = check(1074, "自设波特率");
    ui.tls = dropList(1005);
    ui.tlsSet = link(1057, "设置");
    ui.certChecks = statusText(label(1085, ""));
    ui.netLossMinutes = edit(1017);
    ui.netLossMinutes->setMaximumWidth(60);
    ui.debug = check(1075, "调试");
    ui.debugMonitor = link(1077, "界面");
    ui.userJson = check(3349, "用户配置");
    ui.noDataText = statusText(label(1082, ""));
    ui.ioModuleText = statusText(label(1160, ""));

    g->addWidget(ui.modbusPoll, 0, 0);
    g->addWidget(ui.modbusPollSet, 0, 1);
    g->addWidget(ui.channelBridge, 0, 2);
    g->addWidget(ui.web, 1, 0);
    g->addWidget(ui.rtu, 1, 1);
    g->addWidget(ui.ioModuleText, 1, 2);
    g->addWidget(ui.ntp, 2, 0);
    g->addWidget(ui.ntpSet, 2, 1);
    g->addWidget(ui.customBaud, 2, 2);
    g->addWidget(ui.tls, 3, 0);
    g->addWidget(ui.tlsSet, 3, 1);
    g->addWidget(ui.certChecks, 3, 2);
    auto *netLoss = new QHBoxLayout;
    netLoss->addWidget(label(1226, "断网重启"));
    netLoss->addWidget(ui.netLossMinutes);
    netLoss->addWidget(label(1227, "分钟"));
    netLoss->addStretch(1);
    g->addLayout(netLoss, 4, 0, 1, 2);
    g->addWidget(ui.userJson, 4, 2);
    g->addWidget(ui.debug, 5, 0);
    g->addWidget(ui.debugMonitor, 5, 1);
    g->addWidget(ui.noDataText, 5, 2);
    g->setRowStretch(6, 1);
    g->setColumnStretch(2, 1);

    // Hidden controls of the design, kept so their numbers exist.
    ui.userCode = check(1076, "用户代码");
    ui.versionNumber = label(1083, "");
    ui.dataLink2 = link(1102, "资料");
    ui.unlabelled = check(1018, "");
    for (QWidget *w : {static_cast<QWidget *>(ui.userCode), static_cast<QWidget *>(ui.versionNumber),
                       static_cast<QWidget *>(ui.dataLink2), static_cast<QWidget *>(ui.unlabelled)}) {
        g->addWidget(w, 7, 0);
        w->hide();
    }
    return ui.advancedGroup;
}

QLayout *buildBottomRow(MainWindowControls &ui)
{
    auto *row = new QHBoxLayout;
    ui.save = button(1039, "保存");
    ui.save->setMinimumWidth(100);
    ui.status = statusText(greenText(1040));
    ui.productionDate = label(1065, "");
    ui.quickSet = button(1091, "一键配置");
    ui.quickSetPath = label(1092, "");
    ui.labelModel = dropList(1093);
    ui.print = button(1094, "打印");
    ui.printNoLogo = button(1095, "打印无logo");
    ui.addToCloud = button(1096, "添加到云");
    ui.dataLink = link(1162, "资料");
    ui.websiteLink = link(1106, "官网");
    ui.buyLink = link(1105, "购买");
    row->addWidget(ui.save);
    row->addWidget(ui.status, 1);
    for (QWidget *w : {static_cast<QWidget *>(ui.quickSet), static_cast<QWidget *>(ui.quickSetPath),
                       static_cast<QWidget *>(ui.labelModel), static_cast<QWidget *>(ui.print),
                       static_cast<QWidget *>(ui.printNoLogo), static_cast<QWidget *>(ui.addToCloud)}) {
        row->addWidget(w);
        w->hide();
    }
    row->addWidget(ui.productionDate);
    row->addSpacing(12);
    row->addWidget(ui.dataLink);
    row->addWidget(ui.websiteLink);
    row->addWidget(ui.buyLink);
    return row;
}

void buildMenu(QMainWindow *window, MainWindowControls &ui)
{
    QMenuBar *bar = window->menuBar();
    ui.deviceMenu = bar->addAction(u("设备"));
    ui.toolsMenu = bar->addMenu(QStringLiteral("Tools"));
    ui.deepFactoryReset = ui.toolsMenu->addAction(u("深度恢复出厂"));
    ui.importConfig = ui.toolsMenu->addAction(u("导入配置"));
    ui.exportConfig = ui.toolsMenu->addAction(u("导出配置"));
    ui.exportInventory = ui.toolsMenu->addAction(u(mainwindow::kExportInventoryText));
    ui.customDefaults = ui.toolsMenu->addAction(u("定制恢复出厂参数"));
    ui.englishEdition = ui.toolsMenu->addAction(u("生成纯英文版"));
    ui.languageItem = bar->addAction(u("简体中文"));
    // Where the system menu's About item would be on Windows.
    ui.about = bar->addAction(u("关于 vorlet(&A)..."));
}

// A column's width follows its stretch factor alone, not what a work mode
// or a device puts into it, so the columns stay put as either changes.
void addColumn(QHBoxLayout *row, QWidget *column, int stretch)
{
    QSizePolicy p = column->sizePolicy();
    p.setHorizontalPolicy(QSizePolicy::Ignored);
    p.setHorizontalStretch(stretch);
    column->setSizePolicy(p);
    row->addWidget(column, stretch);
}

void keepAtLeast(QWidget *widget, int width)
{
    widget->setMinimumWidth(std::max(widget->minimumWidth(), width));
}

} // namespace

void holdColumnWidths(MainWindowControls &ui)
{
    for (ChannelGroupControls &c : ui.channels) {
        int widest = 0;
        for (QWidget *panel : c.panelPlace->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            widest = std::max(widest, panel->minimumSizeHint().width());
        keepAtLeast(c.panelPlace, widest);
    }
    QWidget *columns[] = {ui.deviceList->parentWidget(),
                          ui.channels[0].group,
                          ui.channels[1].group,
                          ui.networkGroup,
                          ui.wifiGroup,
                          ui.serialGroup,
                          ui.advancedGroup};
    for (QWidget *column : columns)
        keepAtLeast(column, column->minimumSizeHint().width());
}

void buildMainWindowControls(QMainWindow *window, MainWindowControls &ui)
{
    buildMenu(window, ui);
    auto *central = new QWidget;
    auto *v = new QVBoxLayout(central);
    v->setContentsMargins(6, 2, 6, 2);
    v->setSpacing(4);

    auto *top = new QHBoxLayout;
    addColumn(top, buildSearchArea(ui), 5);
    addColumn(top, buildChannelGroup(ui.channels[0], 0), 3);
    addColumn(top, buildChannelGroup(ui.channels[1], 1), 3);
    v->addLayout(top, 3);

    auto *lower = new QHBoxLayout;
    addColumn(lower, buildNetworkGroup(ui), 3);
    addColumn(lower, buildWifiGroup(ui), 3);
    addColumn(lower, buildSerialGroup(ui), 4);
    addColumn(lower, buildAdvancedGroup(ui), 4);
    v->addLayout(lower, 2);

    v->addLayout(buildBottomRow(ui));
    window->setCentralWidget(central);
}

} // namespace vorlet

// The main window's layout: the device list with its search and device
// buttons above the device settings (network and WiFi) on the left, the
// port settings in the middle and the advanced column, hidden at first, on
// the right; the menus above and the four status panes below.
#include "pelmar/ui/server_window_controls.h"

#include "common/adapters.h"
#include "pelmar/lang/language_table.h"
#include "pelmar/ui/address_field.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace pelmar {

void PortCombo::showPopup()
{
    Q_EMIT aboutToShowPopup();
    QComboBox::showPopup();
}

void setControlId(QObject *object, int control)
{
    object->setProperty(kControlIdProperty, control);
}

QObject *findControl(QObject *root, int control)
{
    if (root->property(kControlIdProperty).toInt() == control) return root;
    for (QObject *child : root->findChildren<QObject *>())
        if (child->property(kControlIdProperty).toInt() == control) return child;
    return nullptr;
}

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

// Builds the controls with their Chinese captions and notes which caption
// each takes from the language table.
class Builder
{
public:
    explicit Builder(ServerWindowControls &ui) : m_ui(ui) { m_chinese.fillChinese(); }

    template <typename W> W *numbered(W *w, int control)
    {
        if (control) setControlId(w, control);
        return w;
    }
    template <typename W> W *fromSlot(W *w, int slot)
    {
        m_ui.captions.push_back({w, slot});
        return w;
    }
    QLabel *label(const char *text, int control = 0)
    {
        auto *l = numbered(new QLabel(u(text)), control);
        l->setTextFormat(Qt::PlainText);
        return l;
    }
    QLabel *slotLabel(int slot) { return fromSlot(label(m_chinese.utf8(slot)), slot); }
    QPushButton *button(const char *text, int control) { return numbered(new QPushButton(u(text)), control); }
    QPushButton *slotButton(int slot, int control)
    {
        return fromSlot(button(m_chinese.utf8(slot), control), slot);
    }
    QCheckBox *check(const char *text, int control) { return numbered(new QCheckBox(u(text)), control); }
    QCheckBox *slotCheck(int slot, int control)
    {
        return fromSlot(check(m_chinese.utf8(slot), control), slot);
    }
    QLineEdit *edit(int control) { return numbered(new QLineEdit, control); }
    AddressField *address(int control) { return numbered(new AddressField, control); }
    QComboBox *list(int control, int popupWidth = 0)
    {
        auto *c = numbered(new QComboBox, control);
        c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c->setMinimumContentsLength(10);
        if (popupWidth) c->view()->setMinimumWidth(popupWidth);
        return c;
    }
    QGroupBox *group(int slot, int control)
    {
        auto *g = numbered(new QGroupBox(u(m_chinese.utf8(slot))), control);
        return fromSlot(g, slot);
    }
    // A label that names a later dialog: drawn like a link, enabled once its dialog exists.
    QLabel *marker(const char *text, int control)
    {
        auto *l = label(text, control);
        l->setCursor(Qt::PointingHandCursor);
        QPalette p = l->palette();
        for (auto g : {QPalette::Active, QPalette::Inactive})
            p.setColor(g, QPalette::WindowText, QColor(0, 0, 238));
        l->setPalette(p);
        return l;
    }
    QPushButton *clone()
    {
        auto *b = slotButton(384, control::kFirstClone + int(m_ui.clones.size()));
        b->setEnabled(false);
        m_ui.clones.push_back(b);
        return b;
    }
    const LanguageTable &chinese() const { return m_chinese; }

private:
    ServerWindowControls &m_ui;
    LanguageTable m_chinese;
};

QGroupBox *buildListGroup(Builder &b, ServerWindowControls &ui)
{
    ui.listGroup = b.group(28, control::kListGroup);
    auto *v = new QVBoxLayout(ui.listGroup);
    ui.deviceList = b.numbered(new QTableView, control::kDeviceList);
    ui.deviceList->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Ctrl and Shift add to the selection, Ctrl+A takes every row: device commands then act on them all.
    ui.deviceList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ui.deviceList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui.deviceList->setShowGrid(true);
    ui.deviceList->setWordWrap(false);
    ui.deviceList->verticalHeader()->hide();
    ui.deviceList->verticalHeader()->setDefaultSectionSize(20);
    ui.deviceList->horizontalHeader()->setStretchLastSection(true);
    ui.deviceList->setMinimumHeight(140);
    QPalette p = ui.deviceList->palette();
    for (auto g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Highlight, QColor::fromRgba(kSelectedRow));
        p.setColor(g, QPalette::HighlightedText, Qt::white);
        p.setColor(g, QPalette::Base, Qt::white);
    }
    ui.deviceList->setPalette(p);
    ui.tips = b.marker("Tips", control::kTips);
    v->addWidget(ui.tips, 0, Qt::AlignLeft);
    v->addWidget(ui.deviceList, 1);

    auto *row = new QHBoxLayout;
    ui.search = b.slotButton(52, control::kSearch);
    ui.restart = b.slotButton(64, control::kRestart);
    ui.factoryReset = b.slotButton(68, control::kFactoryReset);
    ui.upgrade = b.slotButton(72, control::kUpgrade);
    ui.subnet = b.slotCheck(56, control::kSubnet);
    ui.broadcast = b.slotCheck(60, control::kBroadcast);
    for (QWidget *w : std::initializer_list<QWidget *>{ui.search, ui.restart, ui.factoryReset, ui.upgrade})
        row->addWidget(w);
    row->addStretch(1);
    row->addWidget(ui.subnet);
    row->addWidget(ui.broadcast);
    v->addLayout(row);

    ui.sweepProgress = b.numbered(new QProgressBar, control::kSweepProgress);
    ui.sweepProgress->setTextVisible(false);
    ui.sweepProgress->setRange(0, 255);
    ui.sweepProgress->setMaximumHeight(12);
    ui.sweepProgress->hide();
    v->addWidget(ui.sweepProgress);
    return ui.listGroup;
}

QGroupBox *buildNetworkGroup(Builder &b, ServerWindowControls &ui)
{
    ui.networkGroup = b.group(328, control::kNetworkGroup);
    auto *g = new QGridLayout(ui.networkGroup);
    ui.ipType = b.list(control::kIpType);
    ui.ip = b.address(control::kIp);
    ui.mask = b.address(control::kMask);
    ui.gateway = b.address(control::kGateway);
    ui.dns = b.address(control::kDns);
    ui.mac = b.edit(control::kMac);
    ui.user = b.edit(control::kUser);
    ui.password = b.edit(control::kPassword);
    const std::pair<int, QWidget *> rows[] = {{76, ui.ipType},   {92, ui.ip},       {96, ui.mask},
                                              {100, ui.gateway}, {108, ui.dns},     {104, ui.mac},
                                              {112, ui.user},    {116, ui.password}};
    int r = 0;
    for (const auto &[slot, field] : rows) {
        g->addWidget(b.slotLabel(slot), r, 0);
        g->addWidget(field, r++, 1);
    }
    ui.filterLabel = b.numbered(b.slotLabel(308), control::kFilterLabel);
    ui.filterOn = b.slotCheck(312, control::kFilterOn);
    g->addWidget(ui.filterLabel, r, 0);
    g->addWidget(ui.filterOn, r++, 1);
    ui.filterLabel->hide();
    ui.filterOn->hide();
    g->setRowStretch(r, 1);
    return ui.networkGroup;
}

QGroupBox *wifiFrame(Builder &b, const char *title, QLineEdit *ssid, QLineEdit *password)
{
    auto *frame = new QGroupBox(u(title));
    auto *g = new QGridLayout(frame);
    g->addWidget(b.label("SSID"), 0, 0);
    g->addWidget(ssid, 0, 1);
    g->addWidget(b.slotLabel(340), 1, 0);
    g->addWidget(password, 1, 1);
    return frame;
}

QGroupBox *buildWifiGroup(Builder &b, ServerWindowControls &ui)
{
    ui.wifiGroup = b.group(324, control::kWifiGroup);
    auto *g = new QGridLayout(ui.wifiGroup);
    ui.wifiMode = b.list(control::kWifiMode);
    ui.wifiScan = b.slotButton(336, control::kWifiScan);
    g->addWidget(b.slotLabel(332), 0, 0);
    g->addWidget(ui.wifiMode, 0, 1);
    g->addWidget(ui.wifiScan, 0, 2);

    ui.apSsid = b.edit(control::kApSsid);
    ui.apPassword = b.edit(control::kApPassword);
    ui.staSsid = b.edit(control::kStaSsid);
    ui.staPassword = b.edit(control::kStaPassword);
    ui.apFrame = wifiFrame(b, "AP", ui.apSsid, ui.apPassword);
    ui.staFrame = wifiFrame(b, "STA", ui.staSsid, ui.staPassword);
    g->addWidget(ui.apFrame, 1, 0, 1, 3);
    g->addWidget(ui.staFrame, 2, 0, 1, 3);

    ui.signalBar = b.numbered(new QProgressBar, control::kSignalBar);
    ui.signalBar->setRange(0, 70);
    ui.signalBar->setValue(0);
    ui.signalBar->setTextVisible(false);
    ui.signalBar->setMaximumHeight(14);
    ui.signalText = b.label("", control::kSignalText);
    g->addWidget(b.slotLabel(344), 3, 0);
    g->addWidget(ui.signalBar, 3, 1);
    g->addWidget(ui.signalText, 3, 2);

    ui.security = b.list(control::kSecurity);
    ui.encryption = b.list(control::kEncryption);
    g->addWidget(b.label("安全"), 4, 0);
    g->addWidget(ui.security, 4, 1);
    g->addWidget(ui.encryption, 4, 2);

    ui.dhcpServer = b.check("dhcp服务器", control::kDhcpServer);
    ui.stp = b.check("STP协议", control::kStp);
    g->addWidget(ui.dhcpServer, 5, 1);
    g->addWidget(ui.stp, 5, 2);
    ui.dhcpServer->hide();
    ui.stp->hide();
    g->setRowStretch(6, 1);
    return ui.wifiGroup;
}

QGroupBox *buildDeviceGroup(Builder &b, ServerWindowControls &ui)
{
    ui.deviceGroup = b.group(88, control::kDeviceGroup);
    auto *v = new QVBoxLayout(ui.deviceGroup);
    auto *row = new QHBoxLayout;
    row->addWidget(buildNetworkGroup(b, ui), 1);
    row->addWidget(buildWifiGroup(b, ui), 1);
    v->addLayout(row, 1);
    auto *saveRow = new QHBoxLayout;
    ui.saveDevice = b.slotButton(172, control::kSaveDevice);
    saveRow->addStretch(1);
    saveRow->addWidget(ui.saveDevice);
    v->addLayout(saveRow);
    return ui.deviceGroup;
}

// One row of the port grid: caption, field, something after it, a clone button.
void portRow(QGridLayout *g, int row, QWidget *caption, QWidget *field, QWidget *after, QPushButton *clone)
{
    if (caption) g->addWidget(caption, row, 0);
    if (field) g->addWidget(field, row, 1);
    if (after) g->addWidget(after, row, 2);
    if (clone) g->addWidget(clone, row, 3);
}

QWidget *modbusRow(Builder &b, ServerWindowControls &ui)
{
    auto *w = new QWidget;
    auto *h = new QHBoxLayout(w);
    h->setContentsMargins(0, 0, 0, 0);
    ui.modbusTcpToRtu = b.slotCheck(168, control::kModbusTcpToRtu);
    ui.timeout = b.edit(control::kTimeout);
    ui.timeout->setMaximumWidth(70);
    ui.modbusMarker = b.marker(">>", control::kModbusMarker);
    h->addWidget(ui.modbusTcpToRtu);
    h->addStretch(1);
    h->addWidget(b.label("Timeout :"));
    h->addWidget(ui.timeout);
    h->addWidget(b.label("ms"));
    h->addWidget(ui.modbusMarker);
    return w;
}

QWidget *modbusAddressRow(Builder &b, ServerWindowControls &ui)
{
    ui.modbusAddressRow = new QWidget;
    auto *h = new QHBoxLayout(ui.modbusAddressRow);
    h->setContentsMargins(0, 0, 0, 0);
    ui.modbusAddress = b.edit(control::kModbusAddress);
    ui.modbusAddress->setMaximumWidth(70);
    h->addWidget(b.label("ModbusAddress"));
    h->addWidget(ui.modbusAddress);
    h->addWidget(b.label("1-255(0 disablle)"));
    h->addStretch(1);
    h->addWidget(b.clone()); // shown and hidden with its row
    ui.modbusAddressRow->hide();
    return ui.modbusAddressRow;
}

QGroupBox *buildPortGroup(Builder &b, ServerWindowControls &ui)
{
    ui.portGroup = b.group(120, control::kPortGroup);
    auto *g = new QGridLayout(ui.portGroup);
    g->setVerticalSpacing(3); // eighteen rows inside a laptop's screen
    g->setColumnStretch(1, 1);

    ui.portSelect = b.numbered(new PortCombo, control::kPortSelect);
    ui.cloud = b.button("云透传", control::kCloud);
    ui.advancedToggle = b.marker(">>", control::kAdvancedToggle);
    auto *top = new QHBoxLayout;
    top->addWidget(ui.cloud);
    top->addStretch(1);
    top->addWidget(ui.advancedToggle);
    g->addWidget(b.slotLabel(128), 0, 0);
    g->addWidget(ui.portSelect, 0, 1);
    g->addLayout(top, 0, 2, 1, 2);

    ui.enable = b.slotCheck(124, control::kEnable);
    ui.enable->hide();
    g->addWidget(ui.enable, 1, 1);
    ui.serialType = b.list(control::kSerialType);
    ui.serialTypeLabel = b.slotLabel(132);
    portRow(g, 2, ui.serialTypeLabel, ui.serialType, nullptr, nullptr);
    ui.serialType->hide();
    ui.serialTypeLabel->hide();

    ui.baud = b.list(control::kBaud);
    ui.parity = b.list(control::kParity);
    ui.dataBits = b.list(control::kDataBits);
    ui.stopBits = b.list(control::kStopBits);
    portRow(g, 3, b.slotLabel(136), ui.baud, nullptr, b.clone());
    portRow(g, 4, b.slotLabel(140), ui.parity, nullptr, b.clone());
    portRow(g, 5, b.slotLabel(144), ui.dataBits, nullptr, b.clone());
    portRow(g, 6, b.slotLabel(148), ui.stopBits, nullptr, b.clone());
    ui.packTime = b.edit(control::kPackTime);
    ui.packLength = b.edit(control::kPackLength);
    portRow(g, 7, b.slotLabel(316), ui.packTime, b.label("ms(0~255)"), b.clone());
    portRow(g, 8, b.slotLabel(320), ui.packLength, b.label("(0~1460)"), b.clone());
    ui.workMode = b.list(control::kWorkMode);
    portRow(g, 9, b.slotLabel(152), ui.workMode, nullptr, b.clone());
    ui.targetHost = b.edit(control::kTargetHost);
    ui.targetPort = b.edit(control::kTargetPort);
    ui.localPort = b.edit(control::kLocalPort);
    portRow(g, 10, b.slotLabel(156), ui.targetHost, nullptr, b.clone());
    portRow(g, 11, b.slotLabel(160), ui.targetPort, nullptr, b.clone());
    portRow(g, 12, b.slotLabel(164), ui.localPort, nullptr, b.clone());
    ui.heartbeatData = b.edit(control::kHeartbeatData);
    ui.heartbeatPackets = b.marker(">", control::kHeartbeatPackets);
    ui.heartbeatInterval = b.edit(control::kHeartbeatInterval);
    portRow(g, 13, b.slotLabel(280), ui.heartbeatData, ui.heartbeatPackets, b.clone());
    portRow(g, 14, b.slotLabel(284), ui.heartbeatInterval, b.label("s"), b.clone());
    ui.registerMode = b.list(control::kRegisterMode, 251);
    portRow(g, 15, b.slotLabel(376), ui.registerMode, nullptr, b.clone());
    ui.registerData = b.edit(control::kRegisterData);
    ui.hex = b.check("HEX", control::kHex);
    portRow(g, 16, b.slotLabel(380), ui.registerData, ui.hex, b.clone());
    g->addWidget(modbusRow(b, ui), 17, 0, 1, 3);
    g->addWidget(b.clone(), 17, 3);
    g->addWidget(modbusAddressRow(b, ui), 18, 0, 1, 4);

    auto *bottom = new QHBoxLayout;
    ui.cloneHelp = b.button("?", control::kCloneHelp);
    ui.savePorts = b.slotButton(172, control::kSavePorts);
    bottom->addWidget(ui.cloneHelp);
    bottom->addStretch(1);
    bottom->addWidget(ui.savePorts);
    g->addLayout(bottom, 19, 0, 1, 4);
    g->setRowStretch(20, 1);
    return ui.portGroup;
}

QGroupBox *buildAdvancedGroup(Builder &b, ServerWindowControls &ui)
{
    ui.advancedGroup = b.numbered(new QGroupBox(u("高级功能（部分型号支持）")), control::kAdvancedGroup);
    auto *g = new QGridLayout(ui.advancedGroup);
    const auto help = [&](int row) {
        auto *h = b.marker("？", control::kFirstHelp + int(ui.helps.size()));
        h->setEnabled(false);
        ui.helps.push_back(h);
        g->addWidget(h, row, 2);
    };
    ui.oneToMany = b.check("一串口转多串口", control::kOneToMany);
    ui.addressSet = b.button("地址设置", control::kAddressSet);
    ui.addressSet->hide();
    g->addWidget(ui.oneToMany, 0, 0);
    g->addWidget(ui.addressSet, 0, 1);
    help(0);
    ui.mqtt = b.button("MQTT设置", control::kMqtt);
    g->addWidget(ui.mqtt, 1, 0, 1, 2);
    help(1);
    ui.modbusCache = b.button("MODBUS缓存数据", control::kModbusCache);
    g->addWidget(ui.modbusCache, 2, 0, 1, 2);
    help(2);
    ui.modbusIdentity = b.check("MODBUS读取MAC IP 波特率", control::kModbusIdentity);
    g->addWidget(ui.modbusIdentity, 3, 0, 1, 2);
    help(3);
    ui.standardMqtt = b.check("标准MQTT", control::kStandardMqtt);
    ui.standardMqtt->hide();
    g->addWidget(ui.standardMqtt, 4, 0, 1, 2);
    ui.macAsRegister = b.button("使用mac做注册包数据", control::kMacAsRegister);
    g->addWidget(ui.macAsRegister, 5, 0, 1, 2);
    help(5);
    ui.customBaud = b.check("自设波特率", control::kCustomBaud);
    g->addWidget(ui.customBaud, 6, 0, 1, 2);
    help(6);
    g->addWidget(b.clone(), 6, 3);
    ui.oneClick = b.slotButton(288, control::kOneClick);
    ui.profilePath = b.marker("", control::kProfilePath);
    ui.profilePath->setCursor(Qt::ArrowCursor); // a hand once it holds a path
    ui.profilePath->setMinimumWidth(kProfilePathWidth);
    g->addWidget(ui.oneClick, 7, 0);
    g->addWidget(ui.profilePath, 7, 1, 1, 3);
    g->setRowStretch(8, 1);
    ui.advancedGroup->hide();
    return ui.advancedGroup;
}

QAction *numberedAction(QAction *action, int control)
{
    setControlId(action, control);
    return action;
}

void buildMenus(Builder &b, QMainWindow *window, ServerWindowControls &ui)
{
    QMenuBar *bar = window->menuBar();
    const LanguageTable &zh = b.chinese();
    ui.deviceMenu = bar->addMenu(zh.text(slot::kDeviceMenu));
    ui.upgradeItem = numberedAction(ui.deviceMenu->addAction(zh.text(72)), control::kUpgradeItem);
    ui.exportItem = numberedAction(ui.deviceMenu->addAction(zh.text(292)), control::kExportItem);
    ui.importItem = numberedAction(ui.deviceMenu->addAction(zh.text(296)), control::kImportItem);
    ui.inventoryItem = ui.deviceMenu->addAction(u("导出设备清单"));

    ui.languageMenu = bar->addMenu(zh.text(slot::kLanguageMenu));
    ui.englishItem =
        numberedAction(ui.languageMenu->addAction(zh.text(slot::kEnglishItem)), control::kEnglishItem);
    ui.chineseItem = numberedAction(ui.languageMenu->addAction(u("简体中文")), control::kChineseItem);
    ui.englishItem->setCheckable(true);
    ui.chineseItem->setCheckable(true);

    ui.adapterMenu = bar->addMenu(zh.text(slot::kAdapterMenu));
    ui.adapterGroup = new QActionGroup(window);
    ui.adapterGroup->setExclusive(true);
    ui.defaultAdapter =
        numberedAction(ui.adapterMenu->addAction(zh.text(slot::kDefaultAdapter)), control::kDefaultAdapter);
    ui.defaultAdapter->setCheckable(true);
    ui.adapterGroup->addAction(ui.defaultAdapter);
    ui.allAdapters =
        numberedAction(ui.adapterMenu->addAction(u(kyvo::kAllAdaptersText)), control::kAllAdapters);
    ui.allAdapters->setCheckable(true);
    ui.adapterGroup->addAction(ui.allAdapters);

    ui.aboutItem = numberedAction(bar->addAction(zh.text(slot::kAboutMenu)), control::kAboutItem);
    ui.productItem = numberedAction(bar->addAction(u("凯沃物联串口服务器选型")), control::kProductItem);
}

void buildStatusBar(QMainWindow *window, ServerWindowControls &ui)
{
    // Right edges at 200, 430 and 660 pixels; the last pane takes the rest.
    const int widths[] = {200, 230, 230};
    QStatusBar *bar = window->statusBar();
    for (int i = 0; i < 4; ++i) {
        auto *pane = new QLabel;
        pane->setTextFormat(Qt::PlainText);
        pane->setObjectName(QStringLiteral("statusPane%1").arg(i));
        if (i < 3)
            pane->setFixedWidth(widths[i]);
        else
            pane->setMinimumWidth(1);
        bar->addWidget(pane, i < 3 ? 0 : 1);
        ui.panes[std::size_t(i)] = pane;
    }
}

} // namespace

// The columns scroll only where the screen is narrower than they need (the
// advanced column open, long English captions); the area asks for all the
// room they would like.
class ColumnsArea : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override
    {
        return widget() ? widget()->sizeHint() + QSize(2 * frameWidth(), 2 * frameWidth())
                        : QScrollArea::sizeHint();
    }
};

void buildServerWindowControls(QMainWindow *window, ServerWindowControls &ui)
{
    Builder b(ui);
    auto *central = new QWidget(window);
    auto *columns = new QHBoxLayout(central);
    columns->setContentsMargins(6, 4, 6, 4); // the advanced column fits a laptop's screen too
    columns->setSpacing(4);
    auto *left = new QVBoxLayout;
    left->addWidget(buildListGroup(b, ui), 1);
    left->addWidget(buildDeviceGroup(b, ui));
    columns->addLayout(left, 3);
    columns->addWidget(buildPortGroup(b, ui), 2);
    columns->addWidget(buildAdvancedGroup(b, ui), 1);
    auto *area = new ColumnsArea(window);
    area->setObjectName(QStringLiteral("columnsArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(central);
    window->setCentralWidget(area);
    buildMenus(b, window, ui);
    buildStatusBar(window, ui);
}

} // namespace pelmar

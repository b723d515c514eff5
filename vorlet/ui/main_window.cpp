// The main window: start-up, searches, commands, language and close.
#include "vorlet/ui/main_window.h"

#include "vorlet/core/config_export.h"
#include "vorlet/core/inventory_rows.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/english_edition.h"
#include "vorlet/lang/main_window_texts.h"
#include "vorlet/record/config_file.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/ui/about_box.h"
#include "vorlet/ui/check_texts.h"
#include "vorlet/ui/device_list_model.h"
#include "vorlet/ui/record_texts.h"
#include "vorlet/ui/route.h"
#include "vorlet/ui/search.h"

#include "common/gbk_text.h"
#include "common/profile_file.h"
#include "common/widgets/inventory_export.h"
#include "common/widgets/qt_translations.h"
#include "common/widgets/save_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>

namespace vorlet {

namespace mw = mainwindow;

const char *const CvorletDlg::kDataUrl = "https://example.com/vorlet/documents";
const char *const CvorletDlg::kWebsiteUrl = "https://example.com/";
const char *const CvorletDlg::kShopUrl = "https://example.com/shop";

namespace {

// Keeps every column of the device list in sight: number, address and MAC as
// wide as their longest text, the others sharing what is left of the view.
// Stretch sections keep widths from an earlier, wider view after a search
// fills the list, so the widths are set here on every resize and reset.
class DeviceColumnFitter final : public QObject
{
public:
    explicit DeviceColumnFitter(QTableView *view) : QObject(view), m_view(view)
    {
        QHeaderView *header = view->horizontalHeader();
        header->setStretchLastSection(false);
        header->setMinimumSectionSize(kMinimumWidth);
        for (int i = 0; i < header->count(); ++i)
            header->setSectionResizeMode(i, QHeaderView::Fixed);
        view->viewport()->installEventFilter(this);
        fit();
    }
    void fit()
    {
        QHeaderView *header = m_view->horizontalHeader();
        const QFontMetrics metrics = m_view->fontMetrics();
        const int fixed[] = {metrics.horizontalAdvance(QStringLiteral("0000")),
                             metrics.horizontalAdvance(QStringLiteral("255.255.255.255")) + 12,
                             metrics.horizontalAdvance(QStringLiteral("00-00-00-00-00-00")) + 12};
        const int count = header->count();
        const int fixedCount = std::min<int>(count, int(std::size(fixed)));
        int left = m_view->viewport()->width();
        for (int i = 0; i < fixedCount; ++i) {
            header->resizeSection(i, fixed[i]);
            left -= fixed[i];
        }
        const int shared = count - fixedCount;
        for (int i = fixedCount; i < count; ++i) {
            // The last column takes the rounding remainder.
            const int width = i + 1 < count ? left / shared : left - (left / shared) * (shared - 1);
            header->resizeSection(i, std::max(kMinimumWidth, width));
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // While the view is being destroyed its viewport still gets events;
        // the cast finds no table view then, and nothing is touched.
        if (event->type() != QEvent::Resize) return false;
        const auto *viewport = qobject_cast<QWidget *>(watched);
        if (viewport && qobject_cast<QTableView *>(viewport->parentWidget()) == m_view) fit();
        return false;
    }

private:
    static constexpr int kMinimumWidth = 24;
    QTableView *m_view;
};

void fitDeviceListColumns(QTableView *view)
{
    auto *fitter = new DeviceColumnFitter(view);
    QObject::connect(view->model(), &QAbstractItemModel::modelReset, fitter, [fitter] { fitter->fit(); });
}

constexpr char kVersionText[] = "V242";
constexpr int kPingTextLimit = 512;
constexpr int kFirmwareControl = 1009; // "固件升级"

// The window title: product name, version, suffix.
QString windowTitleText()
{
    return QString::asprintf("%s %s      %s", "vorlet", kVersionText, "kyvo");
}

// "text|pattern|text|pattern||" -> "text;;text" for the Qt file dialogs
// (each text already names its pattern).
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty()) entries << parts[i];
    return entries.join(QStringLiteral(";;"));
}

// The opened list shows its longest item, and at least the list's own width.
void fitPopup(QComboBox *combo)
{
    const int content = combo->view()->sizeHintForColumn(0) + 2 * combo->view()->frameWidth() + 24;
    combo->view()->setMinimumWidth(std::max(combo->property("popupWidth").toInt(), content));
}

void refill(QComboBox *combo, const QStringList &items)
{
    const int selected = combo->currentIndex();
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(selected >= 0 && selected < items.size() ? selected : 0);
    fitPopup(combo);
}

// The window opens inside the work area of a 1366x768 screen (a taskbar
// below, a frame and a title bar around it) and takes more of a larger one.
QSize defaultWindowSize(const QWidget *window)
{
    const QSize frame(46, 68);
    const QSize largest(1440, 800);
    const QScreen *screen = window->screen();
    const QSize work = screen ? screen->availableGeometry().size() - frame : QSize(1320, 660);
    return work.boundedTo(largest).expandedTo(window->minimumSizeHint());
}

// A device is shown: a request to select one no longer describes the window.
void dropSelectRequest(QLabel *status, const QString &request)
{
    if (status->text() == request) status->clear();
}

QStringList plainItems(std::initializer_list<const char *> texts)
{
    QStringList items;
    for (const char *t : texts)
        items << QString::fromUtf8(t);
    return items;
}

} // namespace

CvorletDlg::CvorletDlg(Options options, QWidget *parent)
    : QMainWindow(parent), m_options(std::move(options)), m_core(m_options.core)
{
    if (!m_options.adapters) m_options.adapters = [] { return kyvo::queryAdapters(); };
    if (!m_options.allAdapters) m_options.allAdapters = [] { return kyvo::allSearchAdapters(); };
    if (!m_options.openUrl) m_options.openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    if (!m_options.saveFileName)
        m_options.saveFileName = kyvo::saveFileName; // a name without a suffix takes the filter's
    if (!m_options.openFileName)
        m_options.openFileName = [](QWidget *parent, const QString &filter) {
            return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
        };
    if (m_options.settingsPath.isEmpty()) m_options.settingsPath = searchSettingsPath();
    if (m_options.programPath.isEmpty()) m_options.programPath = QCoreApplication::applicationFilePath();
    m_language = Language(kChineseLetter, isEnglishEdition(m_options.programPath));
    startUp();
}

CvorletDlg::~CvorletDlg() = default;

void CvorletDlg::startUp()
{
    m_rebuildTimer.setSingleShot(true);
    connect(&m_rebuildTimer, &QTimer::timeout, this, &CvorletDlg::rebuildDeviceList);
    buildMainWindowControls(this, m_ui);
    m_model = new DeviceListModel(m_core.devices(), this);
    m_ui.deviceList->setModel(m_model);
    fitDeviceListColumns(m_ui.deviceList);
    m_commands = new CommandRunner(m_core, m_options.commands, this);

    if (m_options.labels) m_options.labels(*this);
    m_settings = loadSearchSettings(m_options.settingsPath);
    m_ui.crossRouter->setChecked(m_settings.enable != 0);

    setWindowTitle(windowTitleText());
    fillItemLists();

    m_adapters = m_options.adapters();
    fillAdapterList();
    m_core.openAdapter();

    createPanels();

    m_ui.serialControls->hide();
    m_ui.canPlace->hide();
    onScopeChanged();

    connectCore();
    connectControls();
    updateExtensionControls();

    if (const auto title = m_language.restoreSavedLetter(m_settings.lang)) setWindowTitle(*title);
    applyMainWindowLanguage();
    resize(defaultWindowSize(this));
    if (m_settings.fileTooLarge)
        message(kyvo::profileTooLargeText(QDir::toNativeSeparators(m_options.settingsPath),
                                          m_language.isEnglish()));
}

void CvorletDlg::createPanels()
{
    m_panelEnvironment = {&m_language, &m_settings};
    const PanelFactories &f = m_options.panels;
    const ChannelPanelKind kinds[] = {ChannelPanelKind::Socket, ChannelPanelKind::Mqtt,
                                      ChannelPanelKind::Http};
    const int dialogs[] = {129, 130, 131};
    for (int c = 0; c < 2; ++c) {
        for (int k = 0; k < 3; ++k) {
            ChannelPanel *panel = f.channel ? f.channel(kinds[k], c, m_panelEnvironment,
                                                        m_ui.channels[std::size_t(c)].panelPlace)
                                            : nullptr;
            m_panels[std::size_t(c)][std::size_t(k)] = panel;
            if (!panel) continue;
            // A panel is a scope of its own: the main window's table never reaches into it.
            panel->setProperty(kDialogIdProperty, dialogs[k]);
            m_ui.channels[std::size_t(c)].panelPlace->layout()->addWidget(panel);
            panel->hide();
        }
    }
    m_canPanel = f.can ? f.can(m_panelEnvironment, m_ui.canPlace) : nullptr;
    if (m_canPanel) {
        m_canPanel->setProperty(kDialogIdProperty, 163);
        m_ui.canPlace->layout()->addWidget(m_canPanel);
    }
}

void CvorletDlg::fillItemLists()
{
    const Language &l = m_language;
    refill(m_ui.ipType, mw::translatedItems(l, mw::kIpTypeItems));
    refill(m_ui.wifiMode, mw::translatedItems(l, mw::kWifiModeItems));
    refill(m_ui.tls, mw::translatedItems(l, mw::kTlsItems));
    refill(m_ui.channels[0].workMode, mw::translatedItems(l, mw::kChannel0WorkModes));
    refill(m_ui.channels[1].workMode, mw::translatedItems(l, mw::kChannel1WorkModes));
    refill(m_ui.encryption, mw::translatedItems(l, mw::kEncryptionItems));
    refill(m_ui.connectMode, mw::translatedItems(l, mw::kConnectModeItems));
    refill(m_ui.serialMode, mw::translatedItems(l, mw::kSerialModeItems));
    if (m_ui.baud->count() == 0) {
        m_ui.baud->addItems(
            plainItems({"600", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "57600", "115200",
                        "128000", "230400", "256000", "460800", "921600", "1024000"}));
        m_ui.parity->addItems(plainItems({"NONE", "EVEN", "ODD"}));
        m_ui.dataBits->addItems(plainItems({"7", "8"}));
        m_ui.stopBits->addItems(plainItems({"1", "1.5", "2"}));
        for (QComboBox *c : {m_ui.baud, m_ui.parity, m_ui.dataBits, m_ui.stopBits})
            fitPopup(c);
        m_ui.channels[0].workMode->setCurrentIndex(1);
        m_ui.channels[1].workMode->setCurrentIndex(0);
    }
}

void CvorletDlg::fillAdapterList()
{
    m_ui.adapter->clear();
    m_ui.adapter->addItem(tr102(mw::kDefaultAdapterText));
    m_ui.adapter->addItem(tr102(kyvo::kAllAdaptersText));
    for (const kyvo::AdapterAddress &a : m_adapters)
        m_ui.adapter->addItem(a.address + QStringLiteral(" | ") + a.description);
    m_ui.adapter->setCurrentIndex(m_allAdapters ? kAllAdaptersItem : 0);
    fitPopup(m_ui.adapter);
}

void CvorletDlg::refreshAdapters()
{
    m_adapters = m_options.adapters();
    fillAdapterList();
    // The list keeps showing the adapter the endpoint is bound to; when that
    // adapter is gone, the endpoint follows the list back to any address.
    if (m_boundAdapter.isEmpty()) return;
    for (int i = 0; i < m_adapters.size(); ++i)
        if (m_adapters[i].address == m_boundAdapter) {
            m_ui.adapter->setCurrentIndex(i + kFirstAdapterItem);
            return;
        }
    m_boundAdapter.clear();
    m_core.openAdapter();
}

QString CvorletDlg::adapterAddress() const
{
    return m_boundAdapter;
}

QString CvorletDlg::adapterAddressFor(const ParameterRecord &record) const
{
    if (!m_allAdapters) return m_boundAdapter;
    return QString::fromStdString(kyvo::ipv4Text(m_core.adapterOf(record)));
}

void CvorletDlg::onAdapterChanged(int index)
{
    if (index < 0) return;
    if (index == kAllAdaptersItem) {
        // Chosen again, it keeps the endpoints and the adapters their devices were seen on.
        if (m_allAdapters) return;
        m_allAdapters = true;
        m_boundAdapter.clear();
        m_core.openAllAdapters(m_options.allAdapters());
        return;
    }
    const int adapter = index - kFirstAdapterItem;
    const QString address =
        adapter >= 0 && adapter < m_adapters.size() ? m_adapters[adapter].address : QString();
    // The same choice again keeps the socket and its unfinished reassemblies.
    if (address == m_boundAdapter && !m_allAdapters) return;
    m_allAdapters = false;
    m_boundAdapter = address;
    m_core.openAdapter(address);
}

void CvorletDlg::onScopeChanged()
{
    m_core.setScope(m_ui.crossRouter->isChecked() ? 1 : 0);
    m_settings.enable = m_ui.crossRouter->isChecked() ? 1 : 0;
}

void CvorletDlg::connectCore()
{
    connect(&m_core, &GatewayCore::listCleared, this, [this] {
        m_model->listCleared();
        m_shown = nullptr;
        m_placed = {};
        m_canLoaded = false;
    });
    connect(&m_core, &GatewayCore::deviceAdded, this, &CvorletDlg::onDeviceAdded);
    connect(&m_core, &GatewayCore::deviceUpdated, m_model, &DeviceListModel::deviceUpdated);
    connect(&m_core, &GatewayCore::queryAnswered, this, &CvorletDlg::onQueryAnswered);
    connect(&m_core, &GatewayCore::clockUpdated, this, [this](int row) {
        if (std::size_t(row) < m_core.devices().count() && &m_core.devices().at(std::size_t(row)) == m_shown)
            showClockLine(*m_shown);
    });
    connect(&m_core, &GatewayCore::pingAnswer, this, &CvorletDlg::onPingAnswer);
    connect(&m_core, &GatewayCore::selfTestResult, this,
            [this](const QString &text) { networkMessage(NetworkBox::SelfTest, text); });
    // A gateway a batch works on answers its own operation, not the window's.
    connect(&m_core, &GatewayCore::commandResult, this,
            [this](int code, int, const QByteArray &body, const Mac &mac) {
                if (!batchOwns(mac)) m_commands->commandResult(code, body);
            });
    connect(&m_core.endpoint(), &GatewayEndpoint::bindFailed, this, [this](const QString &address) {
        // The endpoint went on unbound: so does the list.
        if (address == m_boundAdapter) {
            m_boundAdapter.clear();
            m_ui.adapter->setCurrentIndex(0);
        }
        message(tr102("socket bind error"));
    });
    connect(m_commands, &CommandRunner::statusText, this, &CvorletDlg::setStatus);
    connect(m_commands, &CommandRunner::buttonsChanged, this, &CvorletDlg::onButtons);
    connect(m_commands, &CommandRunner::generated, this,
            [this] { networkMessage(NetworkBox::Generated, tr102("生成成功")); });
    connect(&m_core, &GatewayCore::deviceIgnored, this, [this](int count) {
        m_ui.status->setText(
            unlistedDevicesText(std::size_t(count), m_core.ignoredBeyondCount(), m_language.isEnglish()));
    });
    // The clock line shows the time the device took, not the one it had.
    connect(m_commands, &CommandRunner::clockConfirmed, this, [this](const Mac &mac, const DeviceTime &t) {
        ParameterRecord *record = selectedRecord();
        if (!record || recordMac(record->mac) != mac) return;
        const int values[] = {t.yearSince1900, t.month, t.day, t.hour, t.minute, t.second, t.weekday};
        for (std::size_t i = 0; i < std::size(values); ++i)
            record->clock[i] = std::uint8_t(values[i]);
        if (record == m_shown) showClockLine(*record);
    });
}

void CvorletDlg::connectControls()
{
    MainWindowControls &ui = m_ui;
    connect(ui.search, &QPushButton::clicked, this, &CvorletDlg::onSearch);
    connect(ui.adapter, &AdapterCombo::aboutToShowPopup, this, &CvorletDlg::refreshAdapters);
    connect(ui.adapter, &QComboBox::activated, this, &CvorletDlg::onAdapterChanged);
    connect(ui.crossRouter, &QCheckBox::clicked, this, &CvorletDlg::onScopeChanged);
    connect(ui.rangesLink, &QLabel::linkActivated, this, &CvorletDlg::onEditRanges);
    connect(ui.restart, &QPushButton::clicked, this, &CvorletDlg::restartDevice);
    connect(ui.factoryReset, &QPushButton::clicked, this, &CvorletDlg::factoryReset);
    connect(ui.save, &QPushButton::clicked, this, &CvorletDlg::saveParameters);
    connect(ui.debug, &QCheckBox::clicked, this, &CvorletDlg::setDebugOutput);
    connect(ui.clockLine, &QLabel::linkActivated, this, &CvorletDlg::setDeviceClock);
    connect(ui.pingLink, &QLabel::linkActivated, this, &CvorletDlg::pingTest);
    connect(ui.deepFactoryReset, &QAction::triggered, this, &CvorletDlg::deepFactoryReset);
    connect(ui.englishEdition, &QAction::triggered, this, &CvorletDlg::writeEnglishEdition);
    connect(ui.languageItem, &QAction::triggered, this, &CvorletDlg::toggleLanguage);
    connect(ui.about, &QAction::triggered, this, &CvorletDlg::showAbout);
    for (int c = 0; c < 2; ++c)
        connect(ui.channels[std::size_t(c)].workMode, &QComboBox::activated, this,
                [this, c](int index) { onWorkModeChanged(c, index); });
    connect(ui.serialMode, &QComboBox::activated, this, &CvorletDlg::applySerialRule);
    connect(ui.commandCache, &QCheckBox::clicked, this, &CvorletDlg::applySerialRule);
    connect(ui.wifiMode, &QComboBox::activated, this, &CvorletDlg::applyWifiModeRule);
    connect(ui.bssidOnly, &QCheckBox::clicked, this,
            [this] { m_ui.bssid->setEnabled(m_ui.bssidOnly->isChecked()); });
    connect(ui.wifiHelp, &QPushButton::clicked, this, [this] {
        message(tr102("STA模式:SSID可以填写多个AP,会按顺序尝试直到连接成功。SSID 格式:123;456 "
                      "AP之间用;隔开。如果密码相同只填写一个即可，不相同，也用;隔开和ssid 对应起来。"));
    });
    connect(ui.dataLink, &QLabel::linkActivated, this,
            [this] { m_options.openUrl(QUrl(QString::fromLatin1(kDataUrl))); });
    connect(ui.websiteLink, &QLabel::linkActivated, this,
            [this] { m_options.openUrl(QUrl(QString::fromLatin1(kWebsiteUrl))); });
    connect(ui.buyLink, &QLabel::linkActivated, this,
            [this] { m_options.openUrl(QUrl(QString::fromLatin1(kShopUrl))); });

    // The secondary dialogs and menu commands that later parts provide.
    const std::pair<QPushButton *, int> buttons[] = {
        {ui.deviceInfo, 1004}, {ui.firmware, 1009}, {ui.rtu, 1078}};
    for (const auto &[b, id] : buttons)
        connect(b, &QPushButton::clicked, this, [this, id = id] { openExtension(id); });
    const std::pair<QLabel *, int> links[] = {{ui.wifiScan, 1054},
                                              {ui.modbusPollSet, 1055},
                                              {ui.ntpSet, 1058},
                                              {ui.tlsSet, 1057},
                                              {ui.debugMonitor, 1077}};
    for (const auto &[l, id] : links)
        connect(l, &QLabel::linkActivated, this, [this, id = id] { openExtension(id); });
    connect(ui.importConfig, &QAction::triggered, this, &CvorletDlg::chooseConfiguration);
    connect(ui.exportConfig, &QAction::triggered, this, &CvorletDlg::exportConfiguration);
    connect(ui.exportInventory, &QAction::triggered, this, &CvorletDlg::exportInventory);
    connect(ui.quickSet, &QPushButton::clicked, this, &CvorletDlg::quickSet);
    const std::pair<QAction *, int> actions[] = {{ui.customDefaults, 32779}};
    for (const auto &[a, id] : actions)
        connect(a, &QAction::triggered, this, [this, id = id] { openExtension(id); });

    // A click shows the clicked row's record; so does a selection by keyboard,
    // so that the controls always hold the selected device. The press that
    // changes the selection shows the record once, not twice.
    connect(ui.deviceList, &QTableView::pressed, this, [this](const QModelIndex &index) {
        if (m_shownBySelection) return;
        showRow(index.row());
    });
    connect(ui.deviceList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const int row = selectedRow();
        if (m_selecting || row < 0) return;
        if (&m_core.devices().at(std::size_t(row)) == m_shown) return;
        showRow(row);
        m_shownBySelection = true;
        QTimer::singleShot(0, this, [this] { m_shownBySelection = false; });
    });
    ui.deviceList->viewport()->installEventFilter(this);
}

bool CvorletDlg::eventFilter(QObject *watched, QEvent *event)
{
    // A click beside the rows, with no row selected.
    if (watched == m_ui.deviceList->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!m_ui.deviceList->indexAt(mouse->position().toPoint()).isValid() && selectedRow() < 0)
            setStatus("请选择一个设备");
    }
    return QMainWindow::eventFilter(watched, event);
}

void CvorletDlg::updateExtensionControls()
{
    const std::pair<QWidget *, int> controls[] = {{m_ui.deviceInfo, 1004},    {m_ui.firmware, 1009},
                                                  {m_ui.modbusPollSet, 1055}, {m_ui.ntpSet, 1058},
                                                  {m_ui.tlsSet, 1057},        {m_ui.debugMonitor, 1077}};
    for (const auto &[w, id] : controls)
        w->setEnabled(hasExtension(id));
    m_ui.customDefaults->setEnabled(hasExtension(32779));
    // Not until a record says the device has them.
    m_ui.rtu->setEnabled(false);
    m_ui.wifiScan->setEnabled(false);
}

void CvorletDlg::openExtension(int control)
{
    const auto it = m_options.extensions.find(control);
    if (it == m_options.extensions.end() || !it->second.open) return;
    ParameterRecord *record = selectedRecord();
    if (it->second.needsDevice && !record) {
        setStatus("请选择一个设备");
        return;
    }
    if (control == kFirmwareControl && startsBatch(GatewayBatch::Operation::Upgrade)) return;
    it->second.open(*this, record);
}

// --- device list ---------------------------------------------------------

int CvorletDlg::selectedRow() const
{
    const QItemSelectionModel *selection = m_ui.deviceList->selectionModel();
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row()) &&
        std::size_t(current.row()) < m_core.devices().count())
        return current.row();
    const QModelIndexList rows = selection->selectedRows();
    int first = -1;
    for (const QModelIndex &i : rows)
        if (first < 0 || i.row() < first) first = i.row();
    return first >= 0 && std::size_t(first) < m_core.devices().count() ? first : -1;
}

ParameterRecord *CvorletDlg::selectedRecord()
{
    const int row = selectedRow();
    return row < 0 ? nullptr : &m_core.devices().at(std::size_t(row));
}

void CvorletDlg::onDeviceAdded(int row)
{
    m_model->deviceAdded(row);
    // Answers come in bursts: the rows go in as they come, and the last
    // device is shown at most every 100 ms, not once per answer, so a search
    // of hundreds of gateways never holds up the window.
    if (m_rebuildTimer.isActive()) return;
    const qint64 since = m_sinceRebuild.isValid() ? m_sinceRebuild.elapsed() : kRebuildIntervalMs;
    m_rebuildTimer.start(int(std::max<qint64>(0, kRebuildIntervalMs - since)));
}

void CvorletDlg::rebuildDeviceList()
{
    m_sinceRebuild.start();
    const int count = int(m_core.devices().count());
    if (count == 0) return;
    const int last = count - 1;
    m_selecting = true;
    m_ui.deviceList->setCurrentIndex(m_model->index(last, 0));
    m_ui.deviceList->selectRow(last);
    m_selecting = false;
    const ParameterRecord &r = m_core.devices().at(std::size_t(last));
    dropSelectRequest(m_ui.status, tr102("请选择一个设备"));
    showRecord(r);
    showSerial(r);
    showFieldPortGroup(r);
    placeChannelPanel(0, r);
    placeChannelPanel(1, r);
    if (kyvo::fieldText(r.model).rfind("Vorlet-boot", 0) == 0)
        networkMessage(NetworkBox::BootNotice, tr102("当前设备处于按键升级状态,若不想升级，断电重启即可"));
}

void CvorletDlg::showRow(int row)
{
    if (row < 0 || std::size_t(row) >= m_core.devices().count()) return;
    const ParameterRecord &r = m_core.devices().at(std::size_t(row));
    dropSelectRequest(m_ui.status, tr102("请选择一个设备"));
    showRecord(r);
    // The port group follows the device, so a CAN panel never holds another
    // device's settings; the caption then shows the serial counters.
    showFieldPortGroup(r);
    showSerial(r);
    placeChannelPanel(0, r);
    placeChannelPanel(1, r);
    if (kyvo::fieldText(r.model).rfind("Vorlet-boot", 0) == 0)
        message(tr102("当前设备处于按键升级状态,若不想升级，断电重启即可"));
}

// --- searches ------------------------------------------------------------

void CvorletDlg::onSearch()
{
    if (!m_ui.crossRouter->isChecked()) {
        m_core.startLocalSearch();
        return;
    }
    const auto &ranges = m_settings.ranges;
    if (ranges.count() == 0 || ranges.count() > SearchRanges::kCapacity) {
        m_core.startCrossRouterSearch({}); // empties the list, sends nothing
        onEditRanges();
        return;
    }
    auto *progress = new search(m_core, this);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->open();
    progress->start(ranges.ranges());
}

void CvorletDlg::onEditRanges()
{
    auto *editor = new route(m_settings.ranges, m_language, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->open();
}

// --- commands ------------------------------------------------------------

ParameterRecord *CvorletDlg::requireDevice()
{
    ParameterRecord *record = selectedRecord();
    if (!record) setStatus("请选择一个设备");
    return record;
}

void CvorletDlg::saveParameters()
{
    ParameterRecord *record = requireDevice();
    if (!record) return;
    // No box runs while the record is collected: the answers it would let in
    // could change the shown device half-way through.
    const QStringList problems = panelProblems(*record);
    collectRecord(*record);
    m_commands->save(*record);
    showProblems(problems);
}

void CvorletDlg::exportConfiguration()
{
    ParameterRecord *record = requireDevice();
    if (!record) return;
    const QString path =
        m_options.saveFileName(this, kyvo::fromGbk(QByteArray::fromStdString(defaultConfigName(*record))),
                               qtFilter(tr102("文件 (*.cfg)|*.cfg||")));
    if (path.isEmpty()) return;
    if (exportConfig(*record, path) != ConfigFileStatus::Done)
        message(kyvo::cannotWriteText(path, m_language.isEnglish()));
}

void CvorletDlg::exportInventory()
{
    const bool english = m_language.isEnglish();
    const QString path = kyvo::inventoryPath(
        m_options.saveFileName(this, QStringLiteral("inventory.csv"), kyvo::inventoryFilter(english)));
    if (path.isEmpty()) return;
    if (!kyvo::writeInventory(path, inventoryRows(m_core))) message(kyvo::cannotWriteText(path, english));
}

void CvorletDlg::chooseConfiguration()
{
    const QString path = m_options.openFileName(this, qtFilter(tr102("(*.cfg)|*.cfg|所有文件(*.*)|*.*|")));
    if (!path.isEmpty()) {
        m_quickSetPath = path;
        m_ui.quickSetPath->setText(path);
    }
    // The quick-set button appears even when no file was chosen.
    m_ui.quickSet->show();
    m_ui.quickSetPath->show();
}

void CvorletDlg::quickSet()
{
    ParameterRecord *record = requireDevice();
    if (!record || startsBatch(GatewayBatch::Operation::QuickSet)) return;
    Mac mac{};
    std::copy(std::begin(record->mac), std::end(record->mac), mac.begin());
    applyQuickSet(mac, false);
}

void CvorletDlg::applyQuickSet(const Mac &mac, bool partialConfirmed)
{
    // The question may have been open while the list changed: the file goes
    // only to the device it was asked for, and only while it is selected.
    ParameterRecord *record = selectedRecord();
    if (!record || !std::equal(mac.begin(), mac.end(), std::begin(record->mac))) {
        setStatus("请选择一个设备");
        return;
    }
    // The file is read before anything else happens; a path that gives no
    // record sends nothing.
    auto loaded = std::make_unique<ParameterRecord>(*record);
    const QuickSetFile file =
        m_quickSetPath.isEmpty() ? QuickSetFile{}
                                 : readQuickSetFile(*loaded, QFile::encodeName(m_quickSetPath).toStdString());
    const bool english = m_language.isEnglish();
    if (file.status != ConfigFileStatus::Done) {
        message(quickSetFileProblem());
        return;
    }
    if (!file.wholeRecord() && !partialConfirmed) {
        auto *box = new QMessageBox(
            QMessageBox::Question, QString(),
            partialConfigText(m_quickSetPath, file.size, english) + QLatin1Char('\n') +
                (english ? QStringLiteral("Apply it anyway?") : QStringLiteral("仍要应用吗？")),
            QMessageBox::Yes | QMessageBox::No, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::WindowModal);
        connect(box, &QMessageBox::finished, this, [this, box, mac](int) {
            if (box->standardButton(box->clickedButton()) == QMessageBox::Yes) applyQuickSet(mac, true);
        });
        box->open();
        return;
    }
    if (const AddressFault fault = staticAddressFault(*loaded); fault != AddressFault::None) {
        message(addressFaultText(fault, *loaded, english));
        return;
    }
    *record = *loaded;
    showRecord(*record);
    showSerial(*record);
    showFieldPortGroup(*record);
    placeChannelPanel(0, *record);
    placeChannelPanel(1, *record);
    saveParameters();
}

QString CvorletDlg::quickSetFileProblem() const
{
    const bool english = m_language.isEnglish();
    if (m_quickSetPath.isEmpty())
        return english ? QStringLiteral("Choose a configuration file first (Import).")
                       : QStringLiteral("请先导入配置文件。");
    return english ? QStringLiteral("Cannot read the configuration file %1").arg(m_quickSetPath)
                   : QStringLiteral("无法读取配置文件 %1").arg(m_quickSetPath);
}

void CvorletDlg::restartDevice()
{
    ParameterRecord *record = requireDevice();
    if (record && !startsBatch(GatewayBatch::Operation::Restart)) m_commands->restart(*record);
}

void CvorletDlg::factoryReset()
{
    ParameterRecord *record = requireDevice();
    if (record && !startsBatch(GatewayBatch::Operation::FactoryReset)) m_commands->factoryReset(*record, false);
}

void CvorletDlg::deepFactoryReset()
{
    ParameterRecord *record = requireDevice();
    if (record && !startsBatch(GatewayBatch::Operation::DeepFactoryReset)) m_commands->factoryReset(*record, true);
}

void CvorletDlg::setDebugOutput()
{
    ParameterRecord *record = requireDevice();
    if (!record) return;
    const QStringList problems = panelProblems(*record);
    collectRecord(*record);
    m_commands->setDebugOutput(*record);
    showProblems(problems);
}

void CvorletDlg::setDeviceClock()
{
    ParameterRecord *record = selectedRecord();
    if (!record) {
        message(tr102("请选择一个设备"));
        return;
    }
    m_commands->setClock(*record);
}

void CvorletDlg::pingTest()
{
    ParameterRecord *record = selectedRecord();
    if (!record) {
        message(tr102("请选择一个设备"));
        return;
    }
    m_commands->pingTest(*record);
    m_pingedDevice = recordMac(record->mac);
    // The window keeps running while the box waits for the device.
    if (m_pingBox) m_pingBox->close();
    m_pingBox = message(tr102("正在测试请等待 ..."), QStringLiteral("ping test"));
}

void CvorletDlg::onPingAnswer(int row, const QByteArray &text)
{
    // Only the answer of the device under test, and only once.
    if (!m_pingedDevice || std::size_t(row) >= m_core.devices().count() ||
        recordMac(m_core.devices().at(std::size_t(row)).mac) != *m_pingedDevice)
        return;
    m_pingedDevice.reset();
    if (m_pingBox) m_pingBox->close();
    networkMessage(NetworkBox::PingResult,
                   text.isEmpty() ? tr102("测试失败") : kyvo::fromGbk(text.left(kPingTextLimit)));
}

void CvorletDlg::onButtons(CommandEffects::Buttons buttons)
{
    using B = CommandEffects::Buttons;
    m_ui.save->setEnabled(buttons == B::AllEnabled);
    if (buttons != B::SaveDisabled) {
        m_ui.restart->setEnabled(buttons == B::AllEnabled);
        m_ui.factoryReset->setEnabled(buttons == B::AllEnabled);
    }
}

void CvorletDlg::setStatus(const char *chinese)
{
    m_ui.status->setText(tr102(chinese));
}

QString CvorletDlg::statusText() const
{
    return m_ui.status->text();
}

QMessageBox *CvorletDlg::message(const QString &text, const QString &caption)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
    return box;
}

QMessageBox *CvorletDlg::networkMessage(NetworkBox kind, const QString &text, const QString &caption)
{
    if (!m_networkBoxes.admit(kind)) return nullptr;
    QMessageBox *box = message(text, caption);
    connect(box, &QDialog::finished, this, [this, kind] { m_networkBoxes.closed(kind); });
    return box;
}

void CvorletDlg::showProblems(const QStringList &problems)
{
    for (const QString &text : problems)
        message(text);
}

void CvorletDlg::showAbout()
{
    auto *about = new AboutBox(m_language, this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

// --- language --------------------------------------------------------------

void CvorletDlg::applyMainWindowLanguage()
{
    m_ui.deviceMenu->setText(tr102(mw::kDeviceMenu.chinese));
    QAction *tools[] = {m_ui.deepFactoryReset, m_ui.importConfig, m_ui.exportConfig, m_ui.customDefaults,
                        m_ui.englishEdition};
    for (std::size_t i = 0; i < std::size(tools); ++i)
        tools[i]->setText(tr102(mw::kToolsMenu[i].chinese));
    m_ui.exportInventory->setText(tr102(mw::kExportInventoryText));
    m_ui.languageItem->setText(tr102(mw::kLanguageMenu.chinese));
    m_ui.about->setText(tr102("关于 vorlet(&A)..."));

    m_model->setHeaders(mw::translatedItems(m_language, mw::kDeviceListColumns));
    if (m_ui.adapter->count() > kFirstAdapterItem) {
        m_ui.adapter->setItemText(0, tr102(mw::kDefaultAdapterText));
        m_ui.adapter->setItemText(kAllAdaptersItem, tr102(kyvo::kAllAdaptersText));
    }
    fillItemLists();
    applyDialogTable(this, kMainWindowDialog, m_language);
    kyvo::useQtTranslations(!m_language.isEnglish());
    for (auto &channel : m_panels)
        for (ChannelPanel *panel : channel)
            if (panel) panel->retranslate(m_language);
    if (m_canPanel) m_canPanel->retranslate(m_language);
    holdColumnWidths(m_ui);

    ParameterRecord *record = selectedRecord();
    if (!record) {
        setStatus("请选择一个设备");
        return;
    }
    // Only the work-mode selection goes into the record, and nothing is shown
    // but the panel: what is typed into it stays in its controls for the
    // next save.
    record->channels[0].workMode = std::uint8_t(std::max(0, m_ui.channels[0].workMode->currentIndex()));
    if (record != m_shown || m_placed[0] != channelPanelFor(0, record->channels[0].workMode))
        placeChannelPanel(0, *record);
    else
        showChannelStatus(*record);
    showStatusTexts(*record);
}

void CvorletDlg::toggleLanguage()
{
    if (const auto title = m_language.toggleLanguage()) setWindowTitle(*title);
    applyMainWindowLanguage();
}

void CvorletDlg::writeEnglishEdition()
{
    const QString target = m_options.saveFileName(this, QString::fromLatin1(kEnglishEditionDefaultName),
                                                  qtFilter(tr102(kEnglishEditionFilter)));
    if (target.isEmpty()) return;
    // A failed copy shows nothing.
    vorlet::writeEnglishEdition(m_options.programPath, target);
}

// --- close ---------------------------------------------------------------

void CvorletDlg::closeEvent(QCloseEvent *event)
{
    if (m_settingsSaved) {
        event->accept();
        return;
    }
    m_settingsSaved = true;
    m_settings.enable = m_ui.crossRouter->isChecked() ? 1 : 0;
    m_settings.lang = m_language.letter();
    if (saveSearchSettings(m_settings, m_options.settingsPath) != SaveSettingsStatus::FolderNotCreated) {
        event->accept();
        return;
    }
    // The window closes once the user has read why the settings were not kept.
    event->ignore();
    const QString folder = QDir::toNativeSeparators(QFileInfo(m_options.settingsPath).absolutePath());
    QMessageBox *box = message(
        formatText(tr102("创建配置文件件失败:%s  请以管理员权限运行！！！"), folder.toUtf8().constData()));
    connect(box, &QDialog::finished, this, &QWidget::close);
}

} // namespace vorlet

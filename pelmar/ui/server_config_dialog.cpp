// The main window: start-up, the device list and searches, the saves and
// device commands, menus, status panes and extensions.
#include "pelmar/ui/server_config_dialog.h"

#include "common/gbk_text.h"
#include "common/widgets/long_texts.h"
#include "pelmar/files/message_box.h"
#include "pelmar/lang/english_supplement.h"
#include "pelmar/model/conversions.h"
#include "pelmar/ui/address_field.h"
#include "pelmar/ui/server_list_model.h"
#include "pelmar/ui/small_dialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace pelmar {

namespace {

const char *const kInvalidHostText = "无效的网址！";
const char *const kInvalidMacText = "MAC地址无效，请输入如 00-1A-2B-3C-4D-5E 的地址！";
const char *const kBindFailedText = "端口 %1 绑定失败，收不到设备的应答。请关闭占用该端口的程序后重试。";

void standardMessage(QWidget *parent, const QString &text, const QString &caption)
{
    openMessageBox(parent, text, caption);
}

void standardQuestion(QWidget *parent, const QString &text, const QString &caption,
                      const LanguageTable &language, std::function<void(bool)> answer)
{
    auto *box =
        new QMessageBox(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    box->button(QMessageBox::Ok)->setText(language.text(slot::kOk));
    box->button(QMessageBox::Cancel)->setText(language.text(slot::kCancel));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    QObject::connect(box, &QMessageBox::finished, box, [box, answer = std::move(answer)] {
        answer(box->clickedButton() == box->button(QMessageBox::Ok));
    });
    box->open();
}

} // namespace

ServerConfigDialog::ServerConfigDialog(Options options, QWidget *parent)
    : QMainWindow(parent), m_options(std::move(options)), m_core(m_options.core)
{
    if (!m_options.message) m_options.message = standardMessage;
    if (!m_options.alert)
        m_options.alert = [](QWidget *parent, const QString &text, std::function<void()> closed) {
            openMessageBox(parent, text, {}, std::move(closed));
        };
    if (!m_options.question) m_options.question = standardQuestion;
    if (!m_options.chooseFile) m_options.chooseFile = standardFileChooser;
    if (!m_options.openFile) m_options.openFile = standardFileOpener;
    if (m_options.languageFile.isEmpty()) m_options.languageFile = kyvo::serverLanguageFile();
    if (m_options.parameterFolder.isEmpty()) m_options.parameterFolder = kyvo::serverParameterDir();
    if (m_options.adapters) m_core.setAdaptersForTesting(*m_options.adapters);
    startUp();
}

ServerConfigDialog::~ServerConfigDialog() = default;

void ServerConfigDialog::startUp()
{
    buildServerWindowControls(this, m_ui);
    m_model = new ServerListModel(m_core.devices(), this);
    m_ui.deviceList->setModel(m_model);
    m_commands = new ServerCommands(m_core, m_options.commands, this);

    buildAdapterMenu();
    m_ui.broadcast->setChecked(true);
    m_core.setBroadcastSearch(true);
    fillLists();

    connectCore();
    connectControls();
    connectEdits();
    connectHelpAndKeys();

    loadLanguageChoice(m_language, m_options.languageFile);
    chooseLanguage(m_language.language());
    m_ui.oneClick->setEnabled(false);
    // Enabled by their rules once a device is shown, and only where their dialogs exist.
    m_ui.modbusCache->setEnabled(false);
    m_ui.wifiScan->setEnabled(false);
    updateExtensionControls();
    // The advanced column is hidden: the window ends just right of the port
    // settings, inside the screen's work area.
    ensurePolished();
    layout()->activate();
    // The columns scroll when narrower than they need; the status line does not.
    setMinimumWidth(statusBar()->sizeHint().width());
    resize(sizeHint().boundedTo(workArea()).expandedTo(minimumSizeHint()));
}

void ServerConfigDialog::buildAdapterMenu()
{
    m_ui.defaultAdapter->setChecked(true);
    const QList<AdapterItem> &adapters = m_core.adapters();
    for (int i = 0; i < adapters.size() && i < ServerCore::kMaxAdapterMenuItems; ++i) {
        QAction *item = m_ui.adapterMenu->addAction(adapters[i].text());
        item->setCheckable(true);
        m_ui.adapterGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, i] { m_core.chooseAdapter(i); });
        m_adapterItems << item;
    }
    connect(m_ui.defaultAdapter, &QAction::triggered, this, [this] { m_core.chooseAdapter(-1); });
    connect(m_ui.allAdapters, &QAction::triggered, this, [this] {
        // Chosen again, it keeps the sockets and the adapters their servers were seen on.
        if (m_core.chosenAdapter() != ServerCore::kAllAdapters) m_core.chooseAllAdapters();
    });
}

void ServerConfigDialog::fillLists()
{
    const auto fill = [](QComboBox *c, std::initializer_list<const char *> items) {
        c->clear();
        for (const char *t : items)
            c->addItem(QString::fromUtf8(t));
        c->setCurrentIndex(0);
    };
    fill(m_ui.ipType, {"静态IP", "动态IP"});
    m_ui.portSelect->clear();
    for (int i = 1; i <= 8; ++i)
        m_ui.portSelect->addItem(QStringLiteral("PORT%1").arg(i));
    m_ui.portSelect->setCurrentIndex(0);
    fill(m_ui.serialType, {"RS232", "RS485", "RS422"});
    m_ui.baud->clear();
    for (std::uint32_t rate : kBaudTable)
        m_ui.baud->addItem(QString::number(rate));
    m_ui.baud->setCurrentIndex(0);
    fill(m_ui.parity, {"NONE", "EVEN", "ODD"});
    fill(m_ui.dataBits, {"7", "8", "9"});
    fill(m_ui.stopBits, {"1", "1.5", "2"});
    fill(m_ui.workMode, {"TCP_SERVER", "TCP_CLIENT", "UDP_SERVER", "UDP_CLIENT"});
    fill(m_ui.registerMode, {"不使用注册包", "当连接到服务器时，发送一次", "向服务器发送的每个数据包都加上",
                             "同时支持以上两者"});
    kyvo::fitLongItems(m_ui.registerMode);
    fill(m_ui.wifiMode, {"AP", "STA"});
    fill(m_ui.security, {"AUTO", "OPEN", "WPA PSK", "WPA2 PSK"});
    fill(m_ui.encryption, {"AES", "TKIP"});
}

void ServerConfigDialog::connectCore()
{
    connect(&m_core, &ServerCore::listCleared, this, [this] {
        m_model->listCleared();
        m_shown = -1;
        m_shownPort = -1;
        m_longHosts.clear();
        updateCloneButtons();
    });
    connect(&m_core, &ServerCore::rowAppended, this, &ServerConfigDialog::onRowAppended);
    connect(&m_core, &ServerCore::deviceShown, this, &ServerConfigDialog::onNetworkShown);
    connect(&m_core, &ServerCore::statusChanged, this, &ServerConfigDialog::setPane);
    connect(&m_core, &ServerCore::progressChanged, this, [this](bool visible, int position) {
        m_ui.sweepProgress->setVisible(visible);
        m_ui.sweepProgress->setValue(position);
    });
    connect(&m_core, &ServerCore::alertRaised, this, [this](ServerCore::Alert kind, const QString &text) {
        m_options.alert(this, text, [core = QPointer<ServerCore>(&m_core), kind] {
            if (core) core->alertClosed(kind);
        });
    });
    connect(&m_core, &ServerCore::sweepRefused, this, [this](const QString &text) { message(text); });
    connect(&m_core, &ServerCore::socketBindFailed, this,
            [this] { message(ownText(kBindFailedText).arg(m_core.options().localPort)); });
    connect(m_commands, &ServerCommands::statusText, this, &ServerConfigDialog::setPane);
    connect(m_commands, &ServerCommands::saveButtonChanged, this, &ServerConfigDialog::onSaveButton);
    connect(m_commands, &ServerCommands::invalidHostReached, this,
            [this] { message(ownText(kInvalidHostText)); });
}

void ServerConfigDialog::connectControls()
{
    ServerWindowControls &ui = m_ui;
    connect(ui.search, &QPushButton::clicked, this, &ServerConfigDialog::startSearch);
    connect(ui.restart, &QPushButton::clicked, this, &ServerConfigDialog::restartDevice);
    connect(ui.factoryReset, &QPushButton::clicked, this, &ServerConfigDialog::factoryReset);
    connect(ui.upgrade, &QPushButton::clicked, this, &ServerConfigDialog::enterUpgrade);
    connect(ui.saveDevice, &QPushButton::clicked, this, &ServerConfigDialog::saveDevice);
    connect(ui.savePorts, &QPushButton::clicked, this, &ServerConfigDialog::savePorts);
    connect(ui.broadcast, &QCheckBox::clicked, this,
            [this](bool ticked) { m_core.setBroadcastSearch(ticked); });
    connect(ui.subnet, &QCheckBox::clicked, this, &ServerConfigDialog::onSubnetClicked);
    connect(ui.englishItem, &QAction::triggered, this, [this] { chooseLanguage(Language::English); });
    connect(ui.chineseItem, &QAction::triggered, this, [this] { chooseLanguage(Language::Chinese); });
    connect(ui.aboutItem, &QAction::triggered, this, &ServerConfigDialog::showAbout);
    connect(ui.upgradeItem, &QAction::triggered, this, [this] {
        m_upgradeTarget = QString::fromLatin1(kMenuUpgradeTarget);
        openExtension(kUpgradeDialog);
    });

    // The dialogs and commands that later parts of the program provide.
    const std::pair<QPushButton *, int> buttons[] = {{ui.wifiScan, control::kWifiScan},
                                                     {ui.cloud, control::kCloud},
                                                     {ui.addressSet, control::kAddressSet},
                                                     {ui.mqtt, control::kMqtt},
                                                     {ui.modbusCache, control::kModbusCache}};
    for (const auto &[b, id] : buttons)
        connect(b, &QPushButton::clicked, this, [this, id = id] { openExtension(id); });

    // Parameter files, one-click configuration and the clones.
    connect(ui.exportItem, &QAction::triggered, this, &ServerConfigDialog::exportParameterFile);
    connect(ui.importItem, &QAction::triggered, this, &ServerConfigDialog::importParameterFile);
    connect(ui.inventoryItem, &QAction::triggered, this, &ServerConfigDialog::exportInventory);
    connect(ui.oneClick, &QPushButton::clicked, this, &ServerConfigDialog::oneClickConfigure);
    for (std::size_t i = 0; i < ui.clones.size() && i < kCloneRows; ++i)
        connect(ui.clones[i], &QPushButton::clicked, this, [this, i] { cloneSetting(CloneRow(i)); });
    connect(ui.cloneHelp, &QPushButton::clicked, this,
            [this] { message(m_language.text(slot::kCloneHelp)); });

    // Label-like markers open on a click.
    for (QLabel *l : {ui.advancedToggle, ui.heartbeatPackets, ui.modbusMarker, ui.profilePath, ui.signalText})
        l->installEventFilter(this);
    for (QLabel *l : ui.helps)
        l->installEventFilter(this);

    // A click shows the clicked device, the one already shown too (a
    // re-read may have changed it); so does a selection by keyboard. A click
    // that changed the selection has shown its device already.
    ui.deviceList->viewport()->installEventFilter(this);
    connect(ui.deviceList, &QTableView::clicked, this, [this](const QModelIndex &index) {
        // A Ctrl+click that took a row out of the selection shows nothing.
        if (!m_ui.deviceList->selectionModel()->isRowSelected(index.row(), {})) return;
        if (index.row() != m_shown || index.row() == m_shownAtPress) showDevice(index.row());
    });
    connect(ui.deviceList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const int row = selectedRow();
        if (!m_selecting && row >= 0 && row != m_shown) showDevice(row);
    });
    connect(ui.deviceList, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.row() >= 0) m_core.reread(std::size_t(index.row()));
    });
}

bool ServerConfigDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui.deviceList->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) m_shownAtPress = m_shown;
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w == m_ui.advancedToggle) {
            toggleAdvanced();
            return true;
        }
        if (w && handleOwnLabel(w)) return true;
        if (w && w->isEnabled()) {
            const int id = w->property(kControlIdProperty).toInt();
            if (hasExtension(id)) openExtension(id);
        }
    }
    if (event->type() == QEvent::FocusOut) {
        // Any loss of the focus leaves the edit: another program, a menu or
        // a box of this window as well as another control.
        const auto *focus = static_cast<QFocusEvent *>(event);
        const bool windowLeft =
            focus->reason() == Qt::ActiveWindowFocusReason || focus->reason() == Qt::PopupFocusReason;
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            onEditLeft(edit->property(kControlIdProperty).toInt(), windowLeft);
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- device list ---------------------------------------------------------

int ServerConfigDialog::selectedRow() const
{
    const QItemSelectionModel *selection = m_ui.deviceList->selectionModel();
    const QModelIndexList rows = selection->selectedRows();
    if (rows.isEmpty()) return -1;
    // Of many selected rows, the one the user came to last.
    const QModelIndex current = selection->currentIndex();
    const int row = rows.size() > 1 && current.isValid() && selection->isRowSelected(current.row(), {})
                        ? current.row()
                        : rows.first().row();
    return row < m_model->rowCount() ? row : -1;
}

std::vector<std::size_t> ServerConfigDialog::selectedDevices() const
{
    std::vector<std::size_t> devices;
    for (const QModelIndex &row : m_ui.deviceList->selectionModel()->selectedRows())
        if (row.row() < m_model->rowCount() && m_core.devices().at(std::size_t(row.row())).present)
            devices.push_back(std::size_t(row.row()));
    std::sort(devices.begin(), devices.end());
    return devices;
}

DeviceEntry *ServerConfigDialog::shownEntry()
{
    if (m_shown < 0 || m_shown >= m_model->rowCount()) return nullptr;
    DeviceEntry &e = m_core.devices().at(std::size_t(m_shown));
    return e.present && selectedRow() == m_shown ? &e : nullptr;
}

void ServerConfigDialog::onRowAppended(int row)
{
    m_model->rowAppended(row);
}

void ServerConfigDialog::onNetworkShown(int index)
{
    // New values from the device replace what was typed for it.
    for (auto it = m_longHosts.begin(); it != m_longHosts.end();)
        it = it->first.first == index ? m_longHosts.erase(it) : std::next(it);
    m_model->rowChanged(index);
    showDevice(index);
}

// --- searches ------------------------------------------------------------

void ServerConfigDialog::startSearch()
{
    m_core.startSearch();
}

void ServerConfigDialog::onSubnetClicked(bool ticked)
{
    if (!ticked) {
        m_core.selectSubnet(false);
        return;
    }
    auto *dialog = new BroadcastAddressDialog(m_language, m_core.subnetSuggestion(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog](int result) {
        if (result == QDialog::Accepted) {
            m_core.selectSubnet(true, dialog->address());
            return;
        }
        // Cancel keeps the address, and pane 3 shows it instead of the last swept one.
        m_ui.subnet->setChecked(false);
        m_core.showBroadcastAddress();
    });
    dialog->open();
}

// --- saves and commands ----------------------------------------------------

void ServerConfigDialog::requireDeviceText()
{
    setPane(ServerCore::SearchPane, m_language.text(slot::kSelectDevice));
}

bool ServerConfigDialog::takeOverDeviceFields(DeviceEntry &e)
{
    const auto mac = parseMacText(m_ui.mac->text().toStdString());
    if (!mac) {
        message(ownText(kInvalidMacText));
        return false;
    }
    e.ipMode = std::uint8_t(std::max(0, m_ui.ipType->currentIndex()) + 1);
    e.ip = m_ui.ip->octets();
    e.mask = m_ui.mask->octets();
    e.gateway = m_ui.gateway->octets();
    e.dns = m_ui.dns->octets();
    e.mac = *mac;
    e.user.set(kyvo::toGbk(m_ui.user->text()).toStdString());
    e.password.set(kyvo::toGbk(m_ui.password->text()).toStdString());
    e.modbusIdentity = m_ui.modbusIdentity->isChecked() ? 1 : 0;
    e.broadcastFilterOff = m_ui.filterOn->isChecked() ? 0 : 1;
    if (e.isWifi) {
        e.wifiMode = std::uint8_t(std::max(0, m_ui.wifiMode->currentIndex()) + 1);
        e.apSsid.set(kyvo::toGbk(m_ui.apSsid->text()).toStdString());
        e.apPassword.set(kyvo::toGbk(m_ui.apPassword->text()).toStdString());
        e.staSsid.set(kyvo::toGbk(m_ui.staSsid->text()).toStdString());
        e.staPassword.set(kyvo::toGbk(m_ui.staPassword->text()).toStdString());
        // Only the extended record's lists and boxes were filled from this device.
        if (e.wifiExtended) {
            e.wifiDhcpServer = m_ui.dhcpServer->isChecked() ? 2 : 1;
            e.wifiStp = m_ui.stp->isChecked() ? 2 : 1;
            e.wifiSecurity = std::uint8_t(std::max(0, m_ui.security->currentIndex()));
            e.wifiEncryption = std::uint8_t(std::max(0, m_ui.encryption->currentIndex()));
        }
    }
    return true;
}

void ServerConfigDialog::saveDevice()
{
    DeviceEntry *e = shownEntry();
    if (!e) return requireDeviceText();
    if (!takeOverDeviceFields(*e)) return;
    m_commands->saveDevice(std::size_t(m_shown));
}

void ServerConfigDialog::savePorts()
{
    DeviceEntry *e = shownEntry();
    if (!e) return requireDeviceText();
    // The whole record carries the device's fields as well.
    if (portSaveWritesRecord(*e) && !takeOverDeviceFields(*e)) return;
    m_commands->savePorts(std::size_t(m_shown), hostLengths(std::size_t(m_shown)));
}

HostLengths ServerConfigDialog::hostLengths(std::size_t index) const
{
    HostLengths lengths = storedHostLengths(m_core.devices().at(index));
    for (const auto &[key, text] : m_longHosts)
        if (key.first == int(index) && key.second < int(lengths.size()))
            lengths[std::size_t(key.second)] = std::size_t(kyvo::toGbk(text).size());
    return lengths;
}

void ServerConfigDialog::restartDevice()
{
    if (selectedDevices().size() > 1) return confirmBatch(ServerBatch::Operation::Restart);
    if (!shownEntry()) return requireDeviceText();
    m_commands->restart(std::size_t(m_shown));
}

void ServerConfigDialog::factoryReset()
{
    if (selectedDevices().size() > 1) return confirmBatch(ServerBatch::Operation::FactoryReset);
    if (!shownEntry()) return requireDeviceText();
    m_commands->factoryReset(std::size_t(m_shown));
}

void ServerConfigDialog::enterUpgrade()
{
    if (selectedDevices().size() > 1) return confirmBatch(ServerBatch::Operation::Upgrade);
    if (!shownEntry()) return requireDeviceText();
    const int index = m_shown;
    m_options.question(this, m_language.text(slot::kUpgradeQuestion), m_language.text(slot::kInfoCaption),
                       m_language, [this, index](bool ok) {
                           if (!ok || index != m_shown || !shownEntry()) return;
                           m_commands->enterUpgrade(std::size_t(index));
                           m_upgradeTarget =
                               QString::fromStdString(m_core.devices().at(std::size_t(index)).addressText);
                           openExtension(kUpgradeDialog);
                       });
}

void ServerConfigDialog::onSaveButton(SaveButton button, bool)
{
    if (button == SaveButton::Device)
        m_ui.saveDevice->setEnabled(m_commands->buttonEnabled(SaveButton::Device));
    else
        updatePortSaveButton();
}

void ServerConfigDialog::updatePortSaveButton()
{
    // A WiFi server's ports are saved with its record by the device save.
    const DeviceEntry *e = m_shown >= 0 ? &m_core.devices().at(std::size_t(m_shown)) : nullptr;
    m_ui.savePorts->setEnabled(m_commands->buttonEnabled(SaveButton::Port) && !(e && e->isWifi));
}

// --- status, messages, extensions ----------------------------------------

void ServerConfigDialog::setPane(int pane, const QString &text)
{
    if (pane >= 0 && pane < int(m_ui.panes.size())) m_ui.panes[std::size_t(pane)]->setText(text);
}

QString ServerConfigDialog::statusText(int pane) const
{
    return pane >= 0 && pane < int(m_ui.panes.size()) ? m_ui.panes[std::size_t(pane)]->text() : QString();
}

void ServerConfigDialog::message(const QString &text, const QString &caption)
{
    m_options.message(this, text, caption);
}

void ServerConfigDialog::openExtension(int control)
{
    const auto it = m_options.extensions.find(control);
    if (it == m_options.extensions.end() || !it->second.open) return;
    DeviceEntry *entry = shownEntry();
    if (it->second.needsDevice && !entry) {
        if (control == control::kAddressSet) m_ui.oneToMany->setChecked(false);
        return requireDeviceText();
    }
    it->second.open(*this, entry);
}

bool ServerConfigDialog::extensionEnabled(int control) const
{
    const auto it = m_options.extensions.find(control);
    if (it == m_options.extensions.end()) return false;
    const DeviceEntry *entry = m_shown >= 0 ? &m_core.devices().at(std::size_t(m_shown)) : nullptr;
    return !it->second.enabled || it->second.enabled(*this, entry);
}

void ServerConfigDialog::updateExtensionControls()
{
    updateCloneButtons();
    for (QLabel *l : m_ui.helps) {
        const int id = l->property(kControlIdProperty).toInt();
        l->setEnabled(id == control::kCustomBaudHelp || hasOwnHelp(id) || extensionEnabled(id));
    }
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_ui.cloud, m_ui.addressSet, m_ui.mqtt, m_ui.heartbeatPackets})
        w->setEnabled(extensionEnabled(w->property(kControlIdProperty).toInt()));
    m_ui.upgradeItem->setEnabled(hasExtension(kUpgradeDialog));
}

QSize ServerConfigDialog::workArea() const
{
    // A frame the platform does not draw (yet) is taken as a desktop's frame and title bar.
    QSize frame = frameGeometry().size() - size();
    frame = frame.expandedTo(QSize(16, 39));
    const QScreen *shown = screen();
    return shown ? shown->availableGeometry().size() - frame : QSize(1350, 689);
}

QString ServerConfigDialog::ownText(const char *chinese) const
{
    return inLanguage(m_language.language(), chinese);
}

bool ServerConfigDialog::advancedVisible() const
{
    return !m_ui.advancedGroup->isHidden();
}

void ServerConfigDialog::toggleAdvanced()
{
    const bool show = !advancedVisible();
    // The window grows by the column's own width from whatever width it has,
    // never past the screen's work area (the other columns give way there),
    // and "<<" gives back the width it had before ">>". The new size is set
    // once the layout has taken the change in (its minimum follows it).
    if (show) {
        m_widthBeforeAdvanced = width();
        if (m_advancedWidth == 0)
            m_advancedWidth = m_ui.advancedGroup->sizeHint().width() +
                              m_ui.advancedGroup->parentWidget()->layout()->spacing();
    }
    m_ui.advancedGroup->setVisible(show);
    m_ui.advancedToggle->setText(show ? QStringLiteral("<<") : QStringLiteral(">>"));
    const int widest = workArea().width();
    const int target =
        show ? std::min(m_widthBeforeAdvanced + m_advancedWidth, widest) : m_widthBeforeAdvanced;
    QTimer::singleShot(0, this, [this, target] {
        layout()->activate();
        resize(std::max(minimumSizeHint().width(), target), height());
    });
}

void ServerConfigDialog::showAbout()
{
    auto *about = new AboutBox(m_language, this);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

} // namespace pelmar

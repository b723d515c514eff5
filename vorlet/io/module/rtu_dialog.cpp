// The I/O module dialog.
#include "vorlet/io/module/rtu_dialog.h"

#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"
#include "vorlet/ui/device_commands.h"
#include "vorlet/ui/file_filter.h"
#include "vorlet/ui/link_label.h"
#include "vorlet/ui/record_texts.h"

#include <QCheckBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

namespace vorlet {

namespace {

enum Picture { RelayOn, RelayOff, InputActive, InputInactive };

QPixmap lamp(QColor fill, QColor rim)
{
    QPixmap p(16, 16);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(rim, 1.5));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return p;
}

template <typename W> W *numbered(W *widget, int control)
{
    setControlId(widget, control);
    return widget;
}

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The firmware file as the module takes it: at most 8192 bytes; a longer
// file is never read further than one byte past the limit.
enum class FirmwareRead { Ok, CannotOpen, TooLarge };
FirmwareRead readModuleFirmware(const QString &path, QByteArray &image)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return FirmwareRead::CannotOpen;
    image = file.read(qint64(kModuleFirmwareLimit) + 1);
    if (image.size() > qsizetype(kModuleFirmwareLimit)) return FirmwareRead::TooLarge;
    return FirmwareRead::Ok;
}

Bytes bytesOf(const QByteArray &data)
{
    return Bytes(data.begin(), data.end());
}

} // namespace

rtu::rtu(ParameterRecord &record, RtuEnvironment environment, QWidget *parent)
    : QDialog(parent), m_record(record), m_env(std::move(environment)), m_clock(m_env.clock), m_timer(this)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    m_pictures = {
        lamp(QColor(0, 200, 0), QColor(0, 110, 0)), lamp(QColor(200, 200, 200), QColor(120, 120, 120)),
        lamp(QColor(255, 60, 40), QColor(150, 20, 10)), lamp(QColor(235, 235, 235), QColor(140, 140, 140))};
    setProperty(kDialogIdProperty, kDialog);
    auto *grid = new QGridLayout(this);
    grid->addWidget(buildSettings(), 0, 0, 1, 2);
    grid->addWidget(buildLive(), 1, 0, 2, 1);
    grid->addWidget(buildAnalog(), 1, 1);
    grid->addWidget(buildService(), 2, 1, Qt::AlignTop);
    auto *ok = numbered(new QPushButton(u("确定"), this), 1004);
    grid->addWidget(ok, 3, 1, Qt::AlignRight);
    grid->setRowStretch(2, 1);
    connect(ok, &QPushButton::clicked, this, &rtu::store);

    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &rtu::poll);

    loadSettings();
    for (int k = 0; k < int(kModuleRelays); ++k)
        showRelayPicture(k);
    for (int k = 0; k < kModuleInputs; ++k)
        showInputPicture(k);
    const Language chinese;
    applyDialogTable(this, kDialog, m_env.language ? *m_env.language : chinese);
    setWindowTitle(QString::asprintf(tr147("rtu信息  x:%d y:%d adc:%d").toUtf8().constData(),
                                     int(record.ioInputs), int(record.ioOutputs), int(record.ioAnalog)));
}

rtu::~rtu() = default;

QString rtu::tr147(const char *chinese) const
{
    return m_env.language ? m_env.language->translate(kDialog, chinese) : u(chinese);
}

QWidget *rtu::buildSettings()
{
    auto *box = new QWidget(this);
    auto *g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
    m_address = new QLineEdit(box);
    m_debounce = new QLineEdit(box);
    for (QLineEdit *e : {m_address, m_debounce})
        e->setMaximumWidth(80);
    g->addWidget(numbered(new QLabel(u("地址"), box), 1272), 0, 0);
    g->addWidget(m_address, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("(0-65535)"), box), 0, 2);
    g->addWidget(numbered(new QLabel(u("消抖"), box), 1273), 0, 3);
    g->addWidget(m_debounce, 0, 4);
    g->addWidget(new QLabel(QStringLiteral("(0-255)ms"), box), 0, 5);
    m_refresh = numbered(new QCheckBox(u("刷新状态"), box), 1053);
    g->addWidget(m_refresh, 0, 7);
    m_blank = new QLabel(box); // six clicks here show the service controls
    m_blank->setFixedSize(48, 20);
    m_blank->installEventFilter(this);
    g->addWidget(m_blank, 0, 9, Qt::AlignRight | Qt::AlignTop);

    m_linkage = numbered(new QCheckBox(u("联动"), box), 1033);
    m_timersEnabled = numbered(new QCheckBox(u("定时"), box), 1006);
    m_upload = numbered(new QCheckBox(u("自动上传"), box), 1007);
    const auto link = [&](int control, const ModuleRuleDialogs::Open &open) {
        auto *l = numbered(new LinkLabel(box), control);
        l->setText(u("设置"));
        l->setEnabled(bool(open));
        connect(l, &QLabel::linkActivated, this, [this, &open] { openRule(open); });
        return l;
    };
    const ModuleRuleDialogs &rules = m_env.rules;
    g->addWidget(m_linkage, 1, 0);
    g->addWidget(numbered(new QLabel(u("输入设置"), box), 1114), 1, 1);
    g->addWidget(link(1271, rules.inputs), 1, 2);
    g->addWidget(numbered(new QLabel(u("ADC设置"), box), 1118), 1, 3);
    g->addWidget(link(1119, rules.analog), 1, 4);
    g->addWidget(m_timersEnabled, 1, 5);
    g->addWidget(link(1115, rules.timers), 1, 6);
    g->addWidget(m_upload, 1, 7);
    g->addWidget(link(1116, rules.upload), 1, 8);
    auto *action = numbered(new QPushButton(u("执行动作"), box), 1009);
    action->setEnabled(bool(rules.actions));
    connect(action, &QPushButton::clicked, this, [this] { openRule(m_env.rules.actions); });
    g->addWidget(action, 1, 9);

    auto *retention = numbered(new QGroupBox(u("掉电检测"), box), 3354);
    auto *r = new QHBoxLayout(retention);
    m_keepRelays = numbered(new QCheckBox(u("掉电保存Y"), retention), 3352);
    m_keepCounters = numbered(new QCheckBox(u("掉电保存计数"), retention), 3353);
    r->addWidget(m_keepRelays);
    r->addWidget(m_keepCounters);
    r->addStretch();
    g->addWidget(retention, 2, 0, 1, 10);
    g->setColumnStretch(8, 1);
    connect(m_refresh, &QCheckBox::toggled, this, &rtu::setRefresh);
    return box;
}

QWidget *rtu::buildLive()
{
    auto *box = new QWidget(this);
    auto *g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
    g->setVerticalSpacing(2);
    g->addWidget(new QLabel(tr147("计数"), box), 0, 5);
    for (int k = 0; k < kModuleInputs; ++k) {
        const int row = k + 1;
        g->addWidget(new QLabel(QStringLiteral("X%1").arg(k + 1), box), row, 0);
        m_inputPictures[std::size_t(k)] = new QLabel(box);
        g->addWidget(m_inputPictures[std::size_t(k)], row, 1);
        auto *relay = new QPushButton(QStringLiteral("Y%1").arg(k + 1), box);
        relay->setFixedWidth(48);
        connect(relay, &QPushButton::clicked, this, [this, k] { clickRelay(k); });
        m_relayButtons[std::size_t(k)] = relay;
        g->addWidget(relay, row, 2);
        m_relayPictures[std::size_t(k)] = new QLabel(box);
        g->addWidget(m_relayPictures[std::size_t(k)], row, 3);
        m_counters[std::size_t(k)] = new QLabel(QStringLiteral("0"), box);
        m_counters[std::size_t(k)]->setMinimumWidth(80);
        g->addWidget(m_counters[std::size_t(k)], row, 5);
    }
    g->setColumnMinimumWidth(4, 16);
    auto *allOn = new QPushButton(tr147("全开"), box);
    auto *allOff = new QPushButton(tr147("全关"), box);
    auto *clear = new QPushButton(tr147("计数清零"), box);
    connect(allOn, &QPushButton::clicked, this, [this] { switchAll(true); });
    connect(allOff, &QPushButton::clicked, this, [this] { switchAll(false); });
    connect(clear, &QPushButton::clicked, this, &rtu::clearCounters);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(allOn);
    buttons->addWidget(allOff);
    buttons->addSpacing(16);
    buttons->addWidget(clear);
    buttons->addStretch();
    g->addLayout(buttons, kModuleInputs + 1, 0, 1, 6);
    return box;
}

QWidget *rtu::buildAnalog()
{
    auto *box = new QWidget(this);
    auto *g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
    const char *const suffixes[] = {"", "(0-5V)", "(0-10V)", "(0-20MA)"};
    for (int column = 0; column < 4; ++column)
        for (int i = 0; i < kModuleAnalog; ++i) {
            g->addWidget(
                new QLabel(QStringLiteral("A%1%2").arg(i + 1).arg(QLatin1String(suffixes[column])), box), i,
                column * 2);
            auto *value = new QLabel(column == 0 ? QStringLiteral("0") : QStringLiteral("0.000"), box);
            value->setMinimumWidth(48);
            m_analog[std::size_t(column)][std::size_t(i)] = value;
            g->addWidget(value, i, column * 2 + 1);
        }
    return box;
}

QWidget *rtu::buildService()
{
    m_service = new QWidget(this);
    auto *g = new QGridLayout(m_service);
    g->setContentsMargins(0, 0, 0, 0);
    m_firmwarePath = new QLineEdit(m_service);
    auto *choose = numbered(new QPushButton(u("固件"), m_service), 1111);
    m_download = numbered(new QPushButton(u("开始下载"), m_service), 1110);
    auto *calibrate = numbered(new QPushButton(u("adc 2.5v 校准"), m_service), 1012);
    g->addWidget(m_firmwarePath, 0, 0, 1, 2);
    g->addWidget(choose, 0, 2);
    g->addWidget(m_download, 1, 1);
    g->addWidget(calibrate, 1, 2);
    g->setColumnStretch(0, 1);
    connect(choose, &QPushButton::clicked, this, &rtu::chooseFirmware);
    connect(m_download, &QPushButton::clicked, this, &rtu::startDownload);
    connect(calibrate, &QPushButton::clicked, this, &rtu::calibrateAdc);
    m_service->hide();
    return m_service;
}

void rtu::loadSettings()
{
    const ModuleSettings s = readModuleSettings(m_record);
    m_address->setText(QString::number(s.address));
    m_debounce->setText(QString::number(s.debounce));
    m_linkage->setChecked(s.linkage);
    m_timersEnabled->setChecked(s.timers);
    m_upload->setChecked(s.upload);
    m_keepRelays->setChecked(s.keepRelays);
    m_keepCounters->setChecked(s.keepCounters);
}

void rtu::store()
{
    ModuleSettings s;
    s.address = decimalValue(m_address->text());
    s.debounce = decimalValue(m_debounce->text());
    s.linkage = m_linkage->isChecked();
    s.timers = m_timersEnabled->isChecked();
    s.upload = m_upload->isChecked();
    s.keepRelays = m_keepRelays->isChecked();
    s.keepCounters = m_keepCounters->isChecked();
    storeModuleSettings(s, m_record);
    accept();
}

void rtu::done(int result)
{
    // The refresh and a download wait end with the dialog.
    m_timers.setRefresh(false, now());
    m_timers.stopDownload();
    m_timer.stop();
    QDialog::done(result);
}

Mac rtu::mac() const
{
    return recordMac(m_record.mac);
}
std::uint8_t rtu::scope() const
{
    return m_env.scope ? m_env.scope() : 0;
}

void rtu::setRefresh(bool on)
{
    m_timers.setRefresh(on, now());
    arm();
}

void rtu::poll()
{
    const bool acknowledged = m_env.acknowledged && m_env.acknowledged();
    const PanelTimers::Due due = m_timers.run(now(), acknowledged);
    if (due.query && m_env.send) m_env.send(moduleStatusQuery(scope(), mac()));
    if (due.redraw) redraw();
    if (due.download != PanelTimers::DownloadEnd::None)
        finishDownload(due.download == PanelTimers::DownloadEnd::Succeeded);
    arm();
}

void rtu::arm()
{
    const auto next = m_timers.nextDeadline();
    if (!next) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(std::max<std::int64_t>(0, (*next - now()).count())));
}

void rtu::redraw()
{
    const LiveIo &live = m_record.live;
    m_relays.follow(live);
    for (int k = 0; k < int(kModuleRelays); ++k)
        showRelayPicture(k);
    for (std::size_t k : m_inputs.update(live))
        showInputPicture(int(k));
    const LiveTexts t = liveTexts(live);
    const std::array<const std::array<std::string, kModuleAnalog> *, 4> columns = {&t.raw, &t.volts5,
                                                                                   &t.volts10, &t.milliamps};
    for (std::size_t c = 0; c < 4; ++c)
        for (std::size_t i = 0; i < kModuleAnalog; ++i)
            m_analog[c][i]->setText(QString::fromStdString((*columns[c])[i]));
    for (std::size_t k = 0; k < kModuleInputs; ++k)
        m_counters[k]->setText(QString::fromStdString(t.counters[k]));
}

void rtu::showRelayPicture(int k)
{
    m_relayPictures[std::size_t(k)]->setPixmap(m_pictures[m_relays.on(std::size_t(k)) ? RelayOn : RelayOff]);
}

void rtu::showInputPicture(int k)
{
    m_inputPictures[std::size_t(k)]->setPixmap(
        m_pictures[m_inputs.active(std::size_t(k)) ? InputActive : InputInactive]);
}

QString rtu::analogText(int column, int i) const
{
    return m_analog[std::size_t(column)][std::size_t(i)]->text();
}
QString rtu::counterText(int k) const
{
    return m_counters[std::size_t(k)]->text();
}
bool rtu::serviceShown() const
{
    return !m_service->isHidden();
}

void rtu::sendRelayCodes(const RelayCodes &codes)
{
    if (m_env.clearAcknowledgement) m_env.clearAcknowledgement();
    if (m_env.send) m_env.send(relaySwitchMessage(scope(), mac(), codes));
}

void rtu::clickRelay(int k)
{
    sendRelayCodes(m_relays.click(std::size_t(k)));
    showRelayPicture(k);
}

void rtu::switchAll(bool on)
{
    sendRelayCodes(m_relays.all(on));
    for (int k = 0; k < int(kModuleRelays); ++k)
        showRelayPicture(k);
}

void rtu::clearCounters()
{
    if (m_env.clearAcknowledgement) m_env.clearAcknowledgement();
    if (m_env.send) m_env.send(counterClearMessage(scope(), mac()));
}

bool rtu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_blank && event->type() == QEvent::MouseButtonPress) clickBlankArea();
    return QDialog::eventFilter(watched, event);
}

void rtu::clickBlankArea()
{
    if (++m_blankClicks >= kServiceClicks) m_service->show();
}

void rtu::chooseFirmware()
{
    const QString filter = qtFileFilter(tr147("(*.bin)|*.bin|所有文件(*.*)|*.*|"));
    const QString path = m_env.openFile ? m_env.openFile(this, filter)
                                        : QFileDialog::getOpenFileName(this, QString(), QString(), filter);
    if (!path.isEmpty()) m_firmwarePath->setText(path);
}

void rtu::startDownload()
{
    if (m_timers.downloading()) return; // one transfer at a time
    QByteArray image;
    switch (readModuleFirmware(m_firmwarePath->text(), image)) {
    case FirmwareRead::CannotOpen:
        showMessage(tr147("can not open!!!"));
        return;
    case FirmwareRead::TooLarge:
        showMessage(tr147("file is huge!!!"));
        return;
    case FirmwareRead::Ok:
        break;
    }
    if (m_env.clearAcknowledgement) m_env.clearAcknowledgement();
    if (m_env.send) m_env.send(moduleFirmwareMessage(scope(), mac(), bytesOf(image)));
    m_download->setEnabled(false);
    m_timers.startDownload(now());
    arm();
}

void rtu::finishDownload(bool succeeded)
{
    m_download->setEnabled(true);
    showMessage(tr147(succeeded ? "下载成功" : "下载失败"));
}

void rtu::calibrateAdc()
{
    if (m_env.send) m_env.send(adcCalibrationQuery(scope(), mac()));
}

void rtu::openRule(const ModuleRuleDialogs::Open &open)
{
    if (open) open(this, m_record);
}

void rtu::showMessage(const QString &text)
{
    if (m_env.message) {
        m_env.message(this, text);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace vorlet

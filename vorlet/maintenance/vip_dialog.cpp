// Customised factory parameters and the parameter image.
#include "vorlet/maintenance/vip_dialog.h"

#include "vorlet/lang/dialog_captions.h"
#include "vorlet/maintenance/maintenance_messages.h"
#include "vorlet/record/parameter_record.h"

#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace vorlet {

namespace {

template <typename W> W *numbered(W *widget, int control)
{
    setControlId(widget, control);
    return widget;
}

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

int &vip::statusClicks()
{
    static int clicks = 0;
    return clicks;
}

vip::vip(ParameterRecord &record, DeviceDialogEnvironment environment, VipOptions options, QWidget *parent)
    : DeviceDialog(kDialog, record, std::move(environment), parent), m_options(std::move(options)),
      m_image(clock(), this)
{
    setWindowTitle(u("定制恢复出厂参数"));
    auto *grid = new QGridLayout(this);
    auto *note = numbered(
        new QLabel(u("当 深度恢复出厂 恢复出厂 按键按6s恢复出厂时，会优先恢复此定制的参数"), this), 1306);
    note->setWordWrap(true);
    note->setMinimumWidth(360);
    m_save = numbered(new QPushButton(u("将当前的参数保存为定制参数 "), this), 1039);
    m_clear = numbered(new QPushButton(u("清除定制参数"), this), 1005);
    m_fetch = numbered(new QPushButton(u("获取"), this), 1006);
    auto *quit = numbered(new QPushButton(u("退出"), this), 1);
    m_status = numbered(new QLabel(this), 1109);
    m_status->installEventFilter(this);
    grid->addWidget(note, 0, 0, 1, 3);
    grid->addWidget(m_save, 1, 0, 1, 2);
    grid->addWidget(m_clear, 1, 2);
    grid->addWidget(m_status, 2, 0, 1, 3);
    grid->addWidget(m_fetch, 3, 0);
    grid->addWidget(quit, 3, 2);
    m_fetch->setVisible(statusClicks() >= kRevealClicks);
    connect(m_save, &QPushButton::clicked, this, &vip::saveCustom);
    connect(m_clear, &QPushButton::clicked, this, &vip::clearCustom);
    connect(m_fetch, &QPushButton::clicked, this, &vip::fetchImage);
    connect(quit, &QPushButton::clicked, this, &QDialog::accept);
    connect(&m_image, &ImageReceiver::datagramTaken, this, [this] { arm(); });

    const LastCustomOperation last = lastCustomOperation(record);
    const QString time = QString::fromLatin1(last.time.c_str());
    switch (last.kind) {
    case LastCustomOperation::Saved:
        m_status->setText(tableText("最近操作:保存 时间:%s").replace(u("%s"), time));
        break;
    case LastCustomOperation::Cleared:
        m_status->setText(tableText("最近操作:清除 时间:%s").replace(u("%s"), time));
        break;
    case LastCustomOperation::None:
        m_status->setText(tableText("最近操作:无"));
        break;
    case LastCustomOperation::Unknown:
        m_status->setText(tableText("最近操作:未知"));
        break;
    }
    applyLanguage();
}

QString vip::statusText() const
{
    return m_status->text();
}

bool vip::fetchShown() const
{
    return !m_fetch->isHidden();
}

bool vip::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_status && event->type() == QEvent::MouseButtonPress) clickStatus();
    return DeviceDialog::eventFilter(watched, event);
}

void vip::clickStatus()
{
    if (++statusClicks() >= kRevealClicks) m_fetch->show();
}

void vip::setButtons(bool enabled)
{
    m_save->setEnabled(enabled);
    m_clear->setEnabled(enabled);
}

void vip::writeCustom(bool save)
{
    const QDateTime t = localTime();
    const std::string time = customTimeText(t.date().year(), t.date().month(), t.date().day(),
                                            t.time().hour(), t.time().minute(), t.time().second());
    clearAcknowledgement();
    send(customDefaultsMessage(scope(), mac(), save, time));
    m_ack.start(now());
    setButtons(false);
    arm();
}

void vip::fetchImage()
{
    if (m_image.running()) return; // one transfer at a time
    if (!m_image.open(m_options.imagePort, m_options.bindAddress, m_options.deviceAddress)) {
        showMessage(u("socket bind error"));
        return;
    }
    m_image.start();
    m_fetch->setEnabled(false);
    send(itemQueryMessage(scope(), mac(), item::kImage));
    arm();
}

void vip::runDue(kyvo::Millis t)
{
    switch (m_ack.run(t, acknowledged())) {
    case AckWait::End::Succeeded:
        setButtons(true);
        showMessage(tableText("操作成功"));
        break;
    case AckWait::End::Failed:
        setButtons(true);
        showMessage(tableText("操作失败"));
        break;
    case AckWait::End::None:
        break;
    }
    if (m_image.running() && m_image.run()) finishFetch();
}

std::optional<kyvo::Millis> vip::nextDeadline() const
{
    const auto a = m_ack.nextDeadline(), b = m_image.nextDeadline();
    if (a && b) return std::min(*a, *b);
    return a ? a : b;
}

void vip::finishFetch()
{
    m_fetch->setEnabled(true);
    const ImageCollector &image = m_image.collected();
    const QString path = m_options.backupPath.isEmpty()
                             ? QDir::current().filePath(QString::fromLatin1(kBackupFileName))
                             : m_options.backupPath;
    QString report;
    switch (writeBackup(path, image)) {
    case BackupWrite::Written:
        report = text("%1\n已保存 %2 个数据块（%3 字节）", "%1\n%2 blocks kept (%3 bytes)")
                     .arg(path)
                     .arg(image.blocksKept())
                     .arg(image.image().size());
        break;
    case BackupWrite::NothingReceived:
        report = text("没有收到参数数据，%1 保持不变", "No parameter data arrived; %1 is left as it was")
                     .arg(path);
        break;
    case BackupWrite::CannotWrite:
        report = text("无法写入 %1", "Cannot write %1").arg(path);
        break;
    }
    if (image.blocksDropped())
        report += text("\n丢弃 %1 个编号大于 63 的数据块", "\n%1 blocks numbered above 63 dropped")
                      .arg(image.blocksDropped());
    showMessage(report);
}

void vip::done(int result)
{
    // Neither the wait nor the transfer outlives the dialog.
    m_ack.stop();
    m_image.close();
    arm();
    DeviceDialog::done(result);
}

} // namespace vorlet

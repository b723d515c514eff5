// Secondary dialogs that talk to the gateway.
#include "vorlet/ui/device_dialog.h"

#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/ui/device_commands.h"
#include "vorlet/ui/file_filter.h"
#include "vorlet/ui/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>

#include <algorithm>

namespace vorlet {

DeviceDialogEnvironment windowEnvironment(CvorletDlg &window, ParameterRecord &record,
                                          DeviceDialogEnvironment base)
{
    base.language = &window.language();
    GatewayCore &core = window.core();
    CommandRunner &commands = window.commands();
    base.scope = [&core] { return core.scope(); };
    base.send = [&core, &record](const Bytes &message) { core.sendToDevice(message, record); };
    base.acknowledged = [&commands] { return commands.writeAcknowledged(); };
    base.clearAcknowledgement = [&commands] { commands.clearWriteAcknowledgement(); };
    return base;
}

DeviceDialog::DeviceDialog(int dialog, ParameterRecord &record, DeviceDialogEnvironment environment,
                           QWidget *parent)
    : QDialog(parent), m_record(record), m_env(std::move(environment)), m_dialog(dialog),
      m_clock(m_env.clock), m_timer(this)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    setProperty(kDialogIdProperty, dialog);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DeviceDialog::poll);
}

DeviceDialog::~DeviceDialog() = default;

void DeviceDialog::poll()
{
    runDue(now());
    arm();
}

void DeviceDialog::arm()
{
    const std::optional<kyvo::Millis> next = nextDeadline();
    if (!next) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(std::clamp<std::int64_t>((*next - now()).count(), 0, 1 << 30)));
}

QString DeviceDialog::tableText(const char *chinese) const
{
    return m_env.language ? m_env.language->translate(m_dialog, chinese) : QString::fromUtf8(chinese);
}

QString DeviceDialog::text(const char *chinese, const char *english) const
{
    return QString::fromUtf8(m_env.language && m_env.language->isEnglish() ? english : chinese);
}

void DeviceDialog::applyLanguage()
{
    const Language chinese;
    applyDialogTable(this, m_dialog, m_env.language ? *m_env.language : chinese);
}

void DeviceDialog::send(const Bytes &message)
{
    if (m_env.send) m_env.send(message);
}

void DeviceDialog::clearAcknowledgement()
{
    if (m_env.clearAcknowledgement) m_env.clearAcknowledgement();
}

bool DeviceDialog::acknowledged() const
{
    return m_env.acknowledged && m_env.acknowledged();
}

void DeviceDialog::showMessage(const QString &text)
{
    if (m_env.message) {
        m_env.message(this, text);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

void DeviceDialog::confirm(const QString &text, std::function<void()> yes)
{
    if (m_env.confirm) {
        m_env.confirm(this, text, std::move(yes));
        return;
    }
    auto *box =
        new QMessageBox(QMessageBox::Question, QString(), text, QMessageBox::Yes | QMessageBox::No, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::finished, this, [box, yes = std::move(yes)](int) {
        if (box->standardButton(box->clickedButton()) == QMessageBox::Yes) yes();
    });
    box->open();
}

QString DeviceDialog::openFile(const QString &designFilter)
{
    const QString filter = qtFileFilter(designFilter);
    return m_env.openFile ? m_env.openFile(this, filter)
                          : QFileDialog::getOpenFileName(this, QString(), QString(), filter);
}

void DeviceDialog::copyText(const QString &text)
{
    if (m_env.copyText)
        m_env.copyText(text);
    else if (QClipboard *clipboard = QApplication::clipboard())
        clipboard->setText(text);
}

std::uint8_t DeviceDialog::scope() const
{
    return m_env.scope ? m_env.scope() : 0;
}

Mac DeviceDialog::mac() const
{
    return recordMac(m_record.mac);
}

QDateTime DeviceDialog::localTime() const
{
    return m_env.localTime ? m_env.localTime() : QDateTime::currentDateTime();
}

} // namespace vorlet

// Device information report.
#include "vorlet/maintenance/devinfo_dialog.h"

#include "common/fixed_field.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/maintenance/maintenance_messages.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/ui/record_texts.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <cstring>

namespace vorlet {

namespace {

constexpr std::size_t kNameBytes = sizeof(ParameterRecord::deviceName);

template <typename W> W *numbered(W *widget, int control)
{
    setControlId(widget, control);
    return widget;
}

QString latin(const std::string &text)
{
    return QString::fromLatin1(text.c_str());
}

} // namespace

int &devinfo::uptimeClicks()
{
    static int clicks = 0;
    return clicks;
}

devinfo::devinfo(ParameterRecord &record, DeviceDialogEnvironment environment, QWidget *parent)
    : DeviceDialog(kDialog, record, std::move(environment), parent)
{
    setWindowTitle(QStringLiteral("devinfo"));
    // A reset reason the table lacks is shown, and kept, as 0.
    if (!resetReasonName(record.resetReason)) record.resetReason = 0;
    const DeviceInfoLines lines = deviceInfoLines(record);
    auto *grid = new QGridLayout(this);
    m_uptime = numbered(new QLabel(latin(lines.uptime), this), 1048);
    m_identity = numbered(new QLabel(latin(lines.identity), this), 1050);
    int row = 0;
    grid->addWidget(m_uptime, row++, 0, 1, 2);
    grid->addWidget(numbered(new QLabel(latin(lines.memory), this), 1049), row++, 0, 1, 2);
    grid->addWidget(m_identity, row++, 0, 1, 2);
    grid->addWidget(numbered(new QLabel(latin(lines.partition), this), 1052), row++, 0, 1, 2);
    grid->addWidget(numbered(new QLabel(latin(lines.link), this), 1053), row++, 0, 1, 2);
    auto *counters = numbered(new QLabel(latin(lines.counters), this), 1054);
    counters->setWordWrap(true);
    grid->addWidget(counters, row++, 0, 1, 2);
    for (QLabel *clickable : {m_uptime, m_identity}) {
        clickable->installEventFilter(this);
        clickable->setCursor(Qt::PointingHandCursor);
    }

    auto *nameBox = numbered(new QGroupBox(QString::fromUtf8("设备名称"), this), 1249);
    auto *nameRow = new QHBoxLayout(nameBox);
    m_name = numbered(new QLineEdit(gbkFieldText(record.deviceName), nameBox), 1017);
    nameRow->addWidget(m_name);
    grid->addWidget(nameBox, row++, 0, 1, 2);

    m_queryBox = numbered(new QCheckBox(QString::fromUtf8("获取cpu使用情况(5s 刷新一次)"), this), 1051);
    m_info = numbered(new QPlainTextEdit(this), 1018);
    m_info->setReadOnly(true);
    m_info->setMinimumHeight(120);
    grid->addWidget(m_queryBox, row++, 0, 1, 2);
    grid->addWidget(m_info, row++, 0, 1, 2);
    m_queryBox->setVisible(uptimeClicks() >= kRevealClicks);
    m_info->setVisible(uptimeClicks() >= kRevealClicks);
    auto *ok = numbered(new QPushButton(QString::fromUtf8("确定"), this), 1004);
    grid->addWidget(ok, row, 1, Qt::AlignRight);
    grid->setColumnStretch(0, 1);
    connect(ok, &QPushButton::clicked, this, &devinfo::store);
    connect(m_queryBox, &QCheckBox::toggled, this, &devinfo::setQuerying);
    applyLanguage();
}

QString devinfo::lineText(int control) const
{
    const auto *label = qobject_cast<QLabel *>(findControl(const_cast<devinfo *>(this), control));
    return label ? label->text() : QString();
}

QString devinfo::infoText() const
{
    return m_info->toPlainText();
}

bool devinfo::queryShown() const
{
    return !m_queryBox->isHidden() && !m_info->isHidden();
}

bool devinfo::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == m_identity) clickIdentity();
        if (watched == m_uptime) clickUptime();
    }
    return DeviceDialog::eventFilter(watched, event);
}

void devinfo::clickIdentity()
{
    const QString digits = latin(identityDigits(m_record));
    copyText(digits);
    m_identity->setText(QStringLiteral("Device ID:") + digits + QStringLiteral("      !!!COPED!!!"));
}

void devinfo::clickUptime()
{
    if (++uptimeClicks() < kRevealClicks) return;
    m_queryBox->show();
    m_info->show();
}

void devinfo::setQuerying(bool on)
{
    if (on) {
        m_query.start(now(), kQueryPeriod);
        m_show.start(now(), kShowPeriod);
    } else {
        m_query.stop();
        m_show.stop();
    }
    arm();
}

void devinfo::runDue(kyvo::Millis t)
{
    if (m_query.take(t)) {
        std::memset(m_record.pollValues, 0, sizeof m_record.pollValues);
        send(itemQueryMessage(scope(), mac(), item::kInfoText));
    }
    if (m_show.take(t)) {
        const QString text = gbkFieldText(m_record.infoText);
        if (text != m_info->toPlainText()) m_info->setPlainText(text);
    }
}

std::optional<kyvo::Millis> devinfo::nextDeadline() const
{
    const auto a = m_query.next(), b = m_show.next();
    if (a && b) return std::min(*a, *b);
    return a ? a : b;
}

void devinfo::store()
{
    setGbkField(m_record.deviceName, m_name->text(), kNameBytes);
    accept();
}

void devinfo::done(int result)
{
    // The information query ends with the dialog.
    m_query.stop();
    m_show.stop();
    arm();
    DeviceDialog::done(result);
}

} // namespace vorlet

// The MODBUS cache dialog in its two modes.
#include "pelmar/advanced/tlv_dialogs/cache_dialog.h"

#include "common/decimal.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace pelmar {

namespace {

unsigned decimal(const QLineEdit *e)
{
    return unsigned(kyvo::parseDecimal32(e->text().toStdString()));
}

ByteView view(const QByteArray &a)
{
    return ByteView(reinterpret_cast<const std::uint8_t *>(a.constData()), std::size_t(a.size()));
}

} // namespace

ModbusCacheDialog::ModbusCacheDialog(const SubDialogTarget &target, const LanguageTable &language,
                                     SubDialogOptions options, QWidget *parent)
    : SubDialog(target, language, std::move(options), parent), m_online(true)
{
    build();
    read();
}

ModbusCacheDialog::ModbusCacheDialog(const SubDialogTarget &target, const LanguageTable &language,
                                     const LegacyFlags &flags, SubDialogOptions options, QWidget *parent)
    : SubDialog(target, language, std::move(options), parent), m_online(false), m_flags(flags)
{
    build();
    for (QWidget *w : m_onlineOnly)
        w->hide();
    m_save->setText(t("确定"));
    const int port = std::min(this->target().port, kLegacyCachePorts - 1);
    m_enable->setChecked(m_flags[std::size_t(port)] == kCacheFlagOn);
    updateClone();
}

void ModbusCacheDialog::build()
{
    setWindowTitle(QStringLiteral("PORT%1 MODBUS").arg(target().port + 1));
    auto *grid = new QGridLayout(this);
    m_enable = new QCheckBox(t("启用"), this);
    m_interval = new QCheckBox(t("间隔超时时间读取"), this);
    grid->addWidget(m_enable, 0, 0, 1, 3);
    grid->addWidget(m_interval, 0, 3);
    m_interval->hide();
    int row = 1;
    const auto numberRow = [&](const char *caption, const char *unit) {
        auto *e = new QLineEdit(this);
        auto *l = new QLabel(t(caption), this);
        auto *u = new QLabel(QString::fromLatin1(unit), this);
        grid->addWidget(l, row, 0);
        grid->addWidget(e, row, 1);
        grid->addWidget(u, row++, 2);
        m_onlineOnly << l << e << u;
        return e;
    };
    m_period = numberRow("刷新周期", "s");
    m_timeout = numberRow("超时时间", "s");
    m_delay = numberRow("读取延时", "ms");

    // Part of the dialog, never shown.
    for (const char *note : {"支持 255 条命令，每条命令最大16个字节，每条命令的结果缓存是256个字节。",
                             "会自动学习上位机发送的指令，然后，自动向串口请求数据"}) {
        auto *l = new QLabel(t(note), this);
        l->hide();
        grid->addWidget(l, row++, 0, 1, 4);
    }
    m_learned = new QPlainTextEdit(this);
    m_learned->hide();
    grid->addWidget(m_learned, row++, 0, 1, 4);

    m_save = new QPushButton(t("保存"), this);
    m_debug = new QPushButton(t("调试运行"), this);
    m_clone = new QPushButton(t("克隆"), this);
    m_onlineOnly << m_debug;
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_clone);
    buttons->addStretch(1);
    buttons->addWidget(m_debug);
    buttons->addWidget(m_save);
    grid->addLayout(buttons, row++, 0, 1, 4);
    grid->addWidget(statusLabel(), row, 0, 1, 4);

    connect(m_enable, &QCheckBox::clicked, this, &ModbusCacheDialog::enableClicked);
    connect(m_interval, &QCheckBox::clicked, this, [this] {
        takeControls();
        updateClone();
    });
    connect(m_period, &QLineEdit::textEdited, this, [this] {
        current().periodS = std::uint8_t(decimal(m_period));
        updateClone();
    });
    connect(m_timeout, &QLineEdit::textEdited, this, [this] {
        current().timeoutS = std::uint8_t(decimal(m_timeout));
        updateClone();
    });
    connect(m_save, &QPushButton::clicked, this, &ModbusCacheDialog::save);
    connect(m_clone, &QPushButton::clicked, this, &ModbusCacheDialog::clone);
    connect(m_debug, &QPushButton::clicked, this, [this] { debugRun(m_debug); });
}

void ModbusCacheDialog::enableClicked()
{
    if (m_online) {
        takeControls();
    } else {
        const int port = std::min(target().port, kLegacyCachePorts - 1);
        m_flags[std::size_t(port)] = m_enable->isChecked() ? kCacheFlagOn : kCacheFlagOff;
    }
    updateClone();
}

void ModbusCacheDialog::takeControls()
{
    CachePort &p = current();
    p.on = m_enable->isChecked();
    p.intervalRead = m_interval->isChecked();
    p.periodS = std::uint8_t(decimal(m_period));
    p.timeoutS = std::uint8_t(decimal(m_timeout));
    p.delayMs = std::uint16_t(decimal(m_delay));
}

void ModbusCacheDialog::showCurrent()
{
    const CachePort &p = current();
    m_enable->setChecked(p.on != 0);
    m_interval->setChecked(p.intervalRead != 0);
    m_period->setText(QString::number(p.periodS));
    m_timeout->setText(QString::number(p.timeoutS));
    m_delay->setText(QString::number(p.delayMs));
}

void ModbusCacheDialog::updateClone()
{
    const int ports = target().portCount;
    m_clone->setEnabled(m_online ? cachePortsDiffer(m_settings.ports, ports)
                                 : legacyFlagsDiffer(m_flags, ports));
}

void ModbusCacheDialog::read()
{
    setStatus("正在读取...");
    m_settings = CacheSettings{};
    updateClone();
    exchange(cacheReadRequest(target().portCount, target().mac), defaultTimeoutMs(),
             {m_save, m_debug, m_clone}, [this](const QByteArray &reply) {
                 if (reply.isEmpty()) {
                     setStatus("读取参数失败！");
                 } else {
                     statusLabel()->clear();
                     if (replyPasses(reply)) {
                         cacheFromReply(view(reply), m_settings);
                         m_learned->setPlainText(QString::fromStdString(learnedCommandsText(m_settings)));
                         showCurrent();
                     }
                 }
                 updateClone();
             });
}

void ModbusCacheDialog::save()
{
    if (!m_online) return accept();
    if (waiting()) return;
    takeControls();
    setStatus("正在保存...");
    exchange(cacheSaveRequest(std::uint8_t(target().port), current(), target().mac), defaultTimeoutMs(),
             {m_save, m_debug, m_clone}, [this](const QByteArray &reply) {
                 setStatus(!reply.isEmpty() && replyPasses(reply) ? "保存成功" : "保存失败！");
                 updateClone();
             });
}

void ModbusCacheDialog::clone()
{
    if (!m_online) {
        const int port = std::min(target().port, kLegacyCachePorts - 1);
        const int ports = std::min(target().portCount, kLegacyCachePorts);
        for (int i = 0; i < ports; ++i)
            m_flags[std::size_t(i)] = m_flags[std::size_t(port)];
        return updateClone();
    }
    if (waiting()) return;
    takeControls();
    setStatus("正在克隆...");
    const CachePort values = current();
    exchange(cacheCloneRequest(target().portCount, values, target().mac), defaultTimeoutMs(),
             {m_save, m_debug, m_clone}, [this, values](const QByteArray &reply) {
                 if (reply.isEmpty() || !replyPasses(reply)) {
                     setStatus("克隆失败！");
                 } else {
                     setStatus("克隆成功");
                     for (int i = 0; i < target().portCount; ++i)
                         m_settings.ports[std::size_t(i)] = values;
                 }
                 updateClone();
             });
}

} // namespace pelmar

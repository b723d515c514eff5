// The heartbeat dialog: read, the HEX toggle, the checks and the save.
#include "pelmar/advanced/tlv_dialogs/heartbeat_dialog.h"

#include "common/gbk_text.h"
#include "common/hex_text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace pelmar {

namespace {

constexpr int kRows = kMaxTlvPorts / 2;

Bytes gbkBytes(const QString &text)
{
    const QByteArray gbk = kyvo::toGbk(text);
    return Bytes(gbk.begin(), gbk.end());
}

QString gbkText(const Bytes &bytes)
{
    return kyvo::fromGbk(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

// A hex text parsed; a longer one keeps one byte too many, for the length check.
std::optional<Bytes> hexBytes(const QString &text)
{
    return kyvo::parseHexText(text.toStdString(), kHeartbeatMax + 1);
}

} // namespace

HeartbeatDialog::HeartbeatDialog(const SubDialogTarget &target, const LanguageTable &language,
                                 SubDialogOptions options, QWidget *parent)
    : SubDialog(target, language, std::move(options), parent)
{
    build();
    read();
}

void HeartbeatDialog::build()
{
    setWindowTitle(t("48位心跳包"));
    auto *grid = new QGridLayout(this);
    m_enable = new QCheckBox(t("启用48位心跳包"), this);
    m_hex = new QCheckBox(QStringLiteral("HEX"), this);
    m_hex->setChecked(true);
    grid->addWidget(m_enable, 0, 0, 1, 2);
    grid->addWidget(m_hex, 0, 2);
    for (int i = 0; i < kMaxTlvPorts; ++i) {
        auto *e = new QLineEdit(this);
        e->setMinimumWidth(300);
        m_edits[std::size_t(i)] = e;
        const int row = 1 + i % kRows, column = (i / kRows) * 2;
        grid->addWidget(new QLabel(QStringLiteral("PORT%1").arg(i + 1), this), row, column);
        grid->addWidget(e, row, column + 1);
    }
    grid->addWidget(new QLabel(t("注：如果设备没有24个串口，请忽略后面的设置。"), this), kRows + 1, 0, 1, 4);
    m_save = new QPushButton(t("保存"), this);
    grid->addWidget(statusLabel(), kRows + 2, 0, 1, 3);
    grid->addWidget(m_save, kRows + 2, 3, Qt::AlignRight);
    connect(m_hex, &QCheckBox::toggled, this, &HeartbeatDialog::hexToggled);
    connect(m_save, &QPushButton::clicked, this, &HeartbeatDialog::save);
}

void HeartbeatDialog::showPacket(int port, const Bytes &bytes, bool hex)
{
    m_edits[std::size_t(port)]->setText(hex ? QString::fromStdString(kyvo::hexTextSpaced(bytes))
                                            : gbkText(bytes));
}

void HeartbeatDialog::hexToggled(bool hex)
{
    for (int i = 0; i < kMaxTlvPorts; ++i) {
        const QString text = m_edits[std::size_t(i)]->text();
        if (hex) {
            showPacket(i, gbkBytes(text), true);
            continue;
        }
        std::optional<Bytes> bytes = hexBytes(text);
        if (!bytes) {
            showMessage(kyvo::kHexErrorText.data());
            m_edits[std::size_t(i)]->clear();
            continue;
        }
        // As text up to the first zero byte.
        bytes->erase(std::find(bytes->begin(), bytes->end(), 0), bytes->end());
        showPacket(i, *bytes, false);
    }
}

void HeartbeatDialog::read()
{
    setStatus("正在读取...");
    exchange(heartbeatReadRequest(target().portCount, target().mac), defaultTimeoutMs(), {m_save, m_hex},
             [this](const QByteArray &reply) {
                 if (reply.isEmpty()) return setStatus("读取参数失败！");
                 statusLabel()->clear();
                 if (!replyPasses(reply)) return;
                 const HeartbeatSettings s = heartbeatFromReply(ByteView(
                     reinterpret_cast<const std::uint8_t *>(reply.constData()), std::size_t(reply.size())));
                 m_enable->setChecked(s.enable != 0);
                 const QSignalBlocker quiet(m_hex);
                 m_hex->setChecked(true);
                 for (int i = 0; i < kMaxTlvPorts; ++i)
                     showPacket(i, s.packets[std::size_t(i)], true);
             });
}

std::optional<HeartbeatSettings> HeartbeatDialog::collect()
{
    HeartbeatSettings s;
    s.enable = m_enable->isChecked();
    for (int i = 0; i < kMaxTlvPorts; ++i) {
        const QString text = m_edits[std::size_t(i)]->text();
        std::optional<Bytes> bytes = m_hex->isChecked() ? hexBytes(text) : gbkBytes(text);
        if (!bytes) {
            showMessage(kyvo::kHexErrorText.data());
            return std::nullopt;
        }
        if (bytes->size() > kHeartbeatMax) {
            showMessage("heartbead size < 48");
            return std::nullopt;
        }
        s.packets[std::size_t(i)] = std::move(*bytes);
    }
    return s;
}

void HeartbeatDialog::save()
{
    if (waiting()) return;
    const std::optional<HeartbeatSettings> s = collect();
    if (!s) return;
    setStatus("正在保存...");
    exchange(heartbeatSaveRequest(*s, target().portCount, target().mac), defaultTimeoutMs(), {m_save, m_hex},
             [this](const QByteArray &reply) {
                 setStatus(!reply.isEmpty() && replyPasses(reply) ? "保存成功" : "保存失败！");
             });
}

} // namespace pelmar

// The TLV dialogs' shared exchange, status line and texts.
#include "pelmar/advanced/tlv_dialogs/sub_dialog.h"

#include "pelmar/advanced/tlv_dialogs/port_tlv_settings.h"
#include "pelmar/files/message_box.h"

#include <QHostAddress>
#include <QLabel>
#include <QPointer>

#include <cstring>

namespace pelmar {

namespace {

constexpr int kWholeDatagram = 65535;

struct TextPair
{
    const char *chinese;
    const char *english;
};

// The dialogs' texts that the language tables do not hold.
constexpr TextPair kTexts[] = {
    {"服务器", "Server"},
    {"端口", "Port"},
    {"用户名", "User name"},
    {"密码", "Password"},
    {"设备ID", "Device ID"},
    {"遗嘱", "Last will"},
    {"订阅TOPIC", "Subscribe TOPIC"},
    {"发布TOPIC", "Publish TOPIC"},
    {"启用MQTT", "Enable MQTT"},
    {"阿里云（不用请忽略）", "Alibaba Cloud (ignore if unused)"},
    {"凯沃云（透传）（不用请忽略）", "Kyvo Cloud (pass-through) (ignore if unused)"},
    {"启用", "Enable"},
    {"SSL (不支持认证)", "SSL (no certificate check)"},
    {"版本", "Version"},
    {"保存", "Save"},
    {"确定", "OK"},
    {"调试运行程序", "Debug run"},
    {"调试运行", "Debug run"},
    {"克隆", "Clone"},
    {"正在读取...", "Reading..."},
    {"读取参数失败！", "Reading the settings failed!"},
    {"正在保存...", "Saving..."},
    {"保存成功", "Saved"},
    {"保存失败！", "Saving failed!"},
    {"正在克隆...", "Cloning..."},
    {"克隆成功", "Cloned"},
    {"克隆失败！", "Cloning failed!"},
    {"如果想退出调试，请重启设备即可", "To leave the debug mode, restart the device."},
    {"正在启动...", "Starting..."},
    {"启动成功", "Started"},
    {"启动失败", "Starting failed"},
    {"长度太短", "Reply too short"},
    {"协议头错误", "Wrong reply header"},
    {"协议尾错误", "Wrong reply tail"},
    {"服务器IP长度超过128", "The server is longer than 127 characters"},
    {"用户名长度超过 65", "The user name is longer than 64 characters"},
    {"密码长度超过 65", "The password is longer than 64 characters"},
    {"设备ID超过 65", "The device ID is longer than 64 characters"},
    {"遗嘱TOPIC 长度超过 65", "The last-will TOPIC is longer than 64 characters"},
    {"遗嘱MSG 65", "The last-will MSG is longer than 64 characters"},
    {"订阅TOPIC长度超过 65", "The subscribe TOPIC is longer than 64 characters"},
    {"发布TOPIC长度超过 65", "The publish TOPIC is longer than 64 characters"},
    {"PRODUCT KEY 长度超过 65", "The PRODUCT KEY is longer than 64 characters"},
    {"DEVICE NAME长度超过 65", "The DEVICE NAME is longer than 64 characters"},
    {"DEVICE SECRET长度超过 65", "The DEVICE SECRET is longer than 64 characters"},
    {"刷新周期", "Refresh period"},
    {"超时时间", "Time-out"},
    {"间隔超时时间读取", "Time-out between commands"},
    {"读取延时", "Read delay"},
    {"支持 255 条命令，每条命令最大16个字节，每条命令的结果缓存是256个字节。",
     "Up to 255 commands of at most 16 bytes each; each command's answer is cached in 256 bytes."},
    {"会自动学习上位机发送的指令，然后，自动向串口请求数据",
     "The device learns the commands the hosts send and polls the serial port with them by itself."},
    {"48位心跳包", "48-byte heartbeat"},
    {"启用48位心跳包", "Enable the 48-byte heartbeat"},
    {"注：如果设备没有24个串口，请忽略后面的设置。", "Note: ignore the ports the device does not have."},
};

} // namespace

QString subDialogText(Language language, const char *chinese)
{
    if (language == Language::English)
        for (const TextPair &p : kTexts)
            if (std::strcmp(p.chinese, chinese) == 0) return QString::fromUtf8(p.english);
    return QString::fromUtf8(chinese);
}

SubDialog::SubDialog(const SubDialogTarget &target, const LanguageTable &language, SubDialogOptions options,
                     QWidget *parent)
    : QDialog(parent), m_target(target), m_language(language.language()), m_options(std::move(options)),
      m_exchange(new TlvExchange(target.adapterAddress, m_options.exchange, this)), m_status(new QLabel(this))
{
    setModal(true);
    m_target.portCount = std::clamp(m_target.portCount, 1, kMaxTlvPorts);
    m_target.port = std::clamp(m_target.port, 0, kMaxTlvPorts - 1);
    m_status->setMinimumWidth(200);
    if (!m_options.message)
        m_options.message = [](QWidget *parent, const QString &text, std::function<void()> closed) {
            openMessageBox(parent, text, {}, std::move(closed));
        };
    m_exchange->acceptOnlyFrom(QHostAddress(m_target.deviceAddress), m_target.mac);
    connect(m_exchange, &TlvExchange::finished, this, [this](const QByteArray &reply) {
        for (QWidget *w : m_busy)
            w->setEnabled(true);
        m_busy.clear();
        ReplyHandler handler = std::move(m_onReply);
        m_onReply = {};
        if (handler) handler(reply);
        Q_EMIT exchangeDone();
    });
}

QString SubDialog::statusText() const
{
    return m_status->text();
}

bool SubDialog::exchange(const Bytes &frame, int timeoutMs, std::initializer_list<QWidget *> busy,
                         ReplyHandler onReply)
{
    // Replies are taken whole: a 24-port server's heartbeat reply is longer
    // than 1 KB, and a cut reply would lose its tail and fail the check.
    if (!m_exchange->exchangeTlv(frame, kWholeDatagram, timeoutMs)) return false;
    m_onReply = std::move(onReply);
    for (QWidget *w : busy) {
        w->setEnabled(false);
        m_busy.push_back(w);
    }
    return true;
}

bool SubDialog::replyPasses(const QByteArray &reply)
{
    const TlvCheck check = checkTlvReply(
        ByteView(reinterpret_cast<const std::uint8_t *>(reply.constData()), std::size_t(reply.size())));
    if (check == TlvCheck::Ok) return true;
    showMessage(std::string(tlvCheckText(check)).c_str());
    return false;
}

void SubDialog::setStatus(const char *chinese)
{
    m_status->setText(t(chinese));
}

void SubDialog::showMessage(const char *chinese, std::function<void()> closed)
{
    showMessageText(t(chinese), std::move(closed));
}

void SubDialog::showMessageText(const QString &text, std::function<void()> closed)
{
    // A box of this text is open already: the repeat is dropped.
    if (!m_openMessages.admit(text)) return;
    m_options.message(this, text, [this, text, closed = std::move(closed)] {
        m_openMessages.closed(text);
        if (closed) closed();
    });
}

void SubDialog::debugRun(QWidget *button, const std::function<bool()> &checkFirst)
{
    showMessage("如果想退出调试，请重启设备即可", [this, button, checkFirst] {
        if (waiting() || (checkFirst && !checkFirst())) return;
        setStatus("正在启动...");
        exchange(debugRunRequest(std::uint8_t(m_target.port), m_target.mac), defaultTimeoutMs(), {button},
                 [this, button](const QByteArray &reply) {
                     if (reply.isEmpty()) return setStatus("启动失败");
                     setStatus("启动成功");
                     if (!m_options.openDebugView) return;
                     button->setEnabled(false); // until the view is closed
                     m_options.openDebugView(this, [button = QPointer<QWidget>(button)] {
                         if (button) button->setEnabled(true);
                     });
                 });
    });
}

} // namespace pelmar

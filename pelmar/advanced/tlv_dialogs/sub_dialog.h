// What the MQTT, MODBUS-cache and heartbeat dialogs share: the device and
// port they edit, their own TLV socket, one exchange at a time with the
// buttons it concerns disabled until the answer or the deadline, replies of
// other devices ignored, the status line and their texts in both languages.
#pragma once

#include "common/one_box_of_a_kind.h"
#include "pelmar/lang/language_table.h"
#include "pelmar/link/tlv_exchange.h"
#include "pelmar/link/tlv_frame.h"

#include <QDialog>

#include <functional>

class QLabel;

namespace pelmar {

struct SubDialogTarget
{
    Mac mac{};
    QString deviceAddress;  // replies from another address are ignored; any when empty
    QString adapterAddress; // the socket's address; all when empty
    int port = 0;           // the port selected in the main window, 0-based
    int portCount = 1;
};

struct SubDialogOptions
{
    TlvExchange::Options exchange;
    int saveSettleMs = 1000; // the MQTT save waits this much longer for its answer
    // Message boxes, without a nested event loop: closed() runs once the
    // user closed it. A window-modal box when empty.
    std::function<void(QWidget *parent, const QString &text, std::function<void()> closed)> message;
    // The debug view after a successful debug run: open it, call closed()
    // once the user closed it. Nothing opens when empty.
    std::function<void(QWidget *parent, std::function<void()> closed)> openDebugView;
};

// Texts: the dialogs' own, Chinese first, with English for the English mode.
QString subDialogText(Language language, const char *chinese);

class SubDialog : public QDialog
{
    Q_OBJECT
public:
    SubDialog(const SubDialogTarget &target, const LanguageTable &language, SubDialogOptions options,
              QWidget *parent);

    QString statusText() const;
    bool waiting() const { return m_exchange->busy(); }
    const SubDialogTarget &target() const { return m_target; }

Q_SIGNALS:
    // An exchange ended: its reply or its time-out has been handled.
    void exchangeDone();

protected:
    using ReplyHandler = std::function<void(const QByteArray &reply)>;
    // Sends the frame, disables `busy` until the exchange ends, then calls
    // onReply with the device's whole reply (empty on the time-out). False
    // when an exchange is already under way.
    bool exchange(const Bytes &frame, int timeoutMs, std::initializer_list<QWidget *> busy,
                  ReplyHandler onReply);
    // The reply check's message box for a malformed reply; true when it passed.
    bool replyPasses(const QByteArray &reply);
    void setStatus(const char *chinese);
    void showMessage(const char *chinese, std::function<void()> closed = {});
    void showMessageText(const QString &text, std::function<void()> closed = {});
    QString t(const char *chinese) const { return subDialogText(m_language, chinese); }
    Language language() const { return m_language; }
    QLabel *statusLabel() const { return m_status; }
    const SubDialogOptions &options() const { return m_options; }
    int defaultTimeoutMs() const { return m_options.exchange.timeoutMs; }
    // The debug run of the dialog's port: the hint first; on success the debug view.
    void debugRun(QWidget *button, const std::function<bool()> &checkFirst = {});

private:
    SubDialogTarget m_target;
    Language m_language;
    SubDialogOptions m_options;
    TlvExchange *m_exchange;
    QLabel *m_status;
    ReplyHandler m_onReply;
    std::vector<QWidget *> m_busy;
    kyvo::OneBoxOfAKind<QString> m_openMessages; // boxes the network opens
};

} // namespace pelmar

// The debug view "MQTT DEBUG": lists the text a serial server sends to UDP
// port 1112 after a debug run of the MQTT or MODBUS-cache dialog.
//
// Opening it after a successful debug run (the caller keeps no pointer):
//
//     auto *view = new DebugViewDialog(language, {}, this);
//     view->setAttribute(Qt::WA_DeleteOnClose);
//     connect(view, &QDialog::finished, this, [this] { debugRun->setEnabled(true); });
//     view->open(); // window-modal, without a nested event loop
//
// The socket is bound while the dialog exists and is closed with it. Rows are
// "hh:mm:ss" of the arrival, seven spaces, then the datagram as text up to its
// first zero byte; datagrams are cut to 512 bytes. "停止" keeps datagrams
// waiting (a bounded queue) and lists them in order once it is cleared. A
// port that another program holds is shown in the dialog (portTaken()).
#pragma once

#include "common/debug_receiver.h"
#include "common/ring_table_model.h"
#include "pelmar/advanced/debug_view/debug_view_text.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QTableView;

namespace pelmar {

class LanguageTable;

struct DebugViewOptions
{
    quint16 port = kyvo::kDebugPort;   // 0: any free port (tests)
    std::size_t maxRows = 100000;      // the oldest rows give way
    int showIntervalMs = 50;           // new rows reach the list together at most this often (0: at once)
    std::function<qint64()> wallClock; // ms since the epoch; the system's when empty
};

class DebugViewDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr qsizetype kMaxDatagram = kDebugViewMaxDatagram;

    using Options = DebugViewOptions;

    struct Row
    {
        qint64 arrivalMs = 0;
        QByteArray bytes; // up to the first zero
    };

    explicit DebugViewDialog(const LanguageTable &language, Options options = {}, QWidget *parent = nullptr);
    ~DebugViewDialog() override;

    // debugViewRowText.
    static QString rowText(qint64 arrivalMs, const QByteArray &data);

    int rowCount() const;
    QString rowText(int row) const;
    quint16 localPort() const { return m_receiver.localPort(); }
    bool isListening() const { return m_receiver.isListening(); }
    const kyvo::DebugReceiver &receiver() const { return m_receiver; }
    bool portTaken() const { return m_portTaken; }
    QString statusText() const;
    QCheckBox *stopBox() const { return m_stop; }
    QCheckBox *autoScrollBox() const { return m_autoScroll; }
    QTableView *list() const { return m_list; }

    // Appends the rows of datagrams in order (the receiver's hand-over).
    void appendDatagrams(const QList<kyvo::DebugDatagram> &batch);

Q_SIGNALS:
    void listening(quint16 port);

private:
    class Model;
    void buildLayout(bool english);
    void showPortTaken();

    Options m_options;
    bool m_english = false;
    kyvo::DebugReceiver m_receiver;
    Model *m_model = nullptr;
    QTableView *m_list = nullptr;
    QCheckBox *m_stop = nullptr;
    QCheckBox *m_autoScroll = nullptr;
    QLabel *m_status = nullptr;
    bool m_portTaken = false;
};

} // namespace pelmar

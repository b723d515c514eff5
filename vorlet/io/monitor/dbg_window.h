// The gateway debug monitor `dbg`: a modeless window that lists the debug
// datagrams of any number of gateways, filters them by gateway and channel,
// and writes the shown rows to log files.
#pragma once

#include "common/debug_receiver.h"
#include "common/ring_table_model.h"
#include "vorlet/io/monitor/debug_monitor.h"
#include "vorlet/lang/language.h"

#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace vorlet {

class GatewayFilterBox;

struct DbgOptions
{
    quint16 port = kyvo::kDebugPort;     // 0: any free port (tests)
    std::size_t maxRows = 100000;        // the list keeps the most recent rows ...
    std::size_t maxRowBytes = 64u << 20; // ... and at most this much of their data
    int showIntervalMs = 50;             // new rows reach the list together at most this often (0: at once)
    std::function<qint64()> wallClock;   // ms since the epoch; the system's when empty
    // The folder-browse dialog: (parent, title) -> chosen folder or empty.
    std::function<QString(QWidget *parent, const QString &title)> chooseFolder;
};

class dbg : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kDialog = 138;

    using Options = DbgOptions;

    explicit dbg(const Language &language, Options options = {}, QWidget *parent = nullptr);
    ~dbg() override;

    // Captions in the language; the main window calls it each time it shows the window.
    void applyLanguage(const Language &language);

    // The receiver's hand-over: rows for the shown datagrams, their log lines.
    void appendDatagrams(const QList<kyvo::DebugDatagram> &batch);

    // Columns 0..6 of a row as the list shows them.
    QString cellText(int row, int column) const;
    int rowCount() const;
    // Shows the rows still gathered for the list now.
    void showGatheredRows();
    // The text box below the list.
    QString detailText() const { return m_detail; }
    void showDetail(int row);
    // The notice under the list: a port already taken, a log file that cannot be written.
    QString noticeText() const;
    QString folderText() const;
    void chooseFolder();
    // The gateway filter's items, rebuilt as when it drops down.
    void rebuildGatewayFilter();

    quint16 localPort() const { return m_receiver.localPort(); }
    bool isListening() const { return m_receiver.isListening(); }
    const kyvo::DebugReceiver &receiver() const { return m_receiver; }
    DebugMonitor &monitor() { return m_monitor; }
    QTableView *list() const { return m_list; }

    struct Controls
    {
        QPushButton *clear, *logFile;
        QCheckBox *stop, *autoScroll, *log;
        std::array<QCheckBox *, kDebugChannelCount> channels; // by DebugChannel
        QComboBox *gateway, *logMode;
        QLabel *statusArea; // the blank area at the top right
    };
    const Controls &controls() const { return m_ui; }

Q_SIGNALS:
    void listening(quint16 port);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Model;
    void buildControls();
    void buildLayout();
    void connectControls();
    void updateLogSettings();
    void updateNotice();
    QString tr138(const char *chinese) const { return m_language.translate(kDialog, chinese); }

    Options m_options;
    Language m_language;
    kyvo::DebugReceiver m_receiver;
    DebugMonitor m_monitor;
    Model *m_model = nullptr;
    QTableView *m_list = nullptr;
    QPlainTextEdit *m_detailBox = nullptr;
    QLabel *m_folder = nullptr;
    QLabel *m_notice = nullptr;
    Controls m_ui{};
    QString m_detail;
    QString m_folderPath;
    bool m_portTaken = false;
    int m_statusClicks = 0;
};

} // namespace vorlet

// The Modbus polling dialog: the selected gateway's polling table and its
// global settings, edited in the record, and the device's current values.
#pragma once

#include "common/clock.h"
#include "vorlet/io/poll/poll_table_model.h"
#include "vorlet/io/poll/value_refresh.h"
#include "vorlet/lang/language.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QTableView;

namespace vorlet {

struct ParameterRecord;

namespace mbpollcontrol {
// The controls' resource numbers.
inline constexpr int kAppend = 1063;
inline constexpr int kInsert = 1064;
inline constexpr int kDelete = 1007;
inline constexpr int kUtf8 = 1033;
inline constexpr int kTextEdit = 1103;
inline constexpr int kRefresh = 1071;
inline constexpr int kAsArray = 1067;
inline constexpr int kHelp = 1120;
inline constexpr int kOk = 1009;
// Our own numbers for the controls that have none.
inline constexpr int kTable = 2001;
inline constexpr int kInterval = 2002;
inline constexpr int kTimeout = 2003;
inline constexpr int kDelay = 2004;
inline constexpr int kMapping = 2005;
inline constexpr int kTimedUpload = 2006;
inline constexpr int kChangeUpload = 2007;
inline constexpr int kTimeoutHandling = 2008;
inline constexpr int kUploadFormat = 2009;
inline constexpr int kPrefix = 2010;
inline constexpr int kUploadChannel = 2011;
inline constexpr int kWriteReply = 2012;
} // namespace mbpollcontrol

// What the dialog takes from the main window.
struct PollEnvironment
{
    const Language *language = nullptr; // Chinese when null
    int *utf8 = nullptr;                // the settings' "utf8" flag, shared with the window
    // Sends the current-value query to the record's gateway; "刷新当前值"
    // stays disabled without it.
    std::function<void()> requestValues;
    const kyvo::Clock *clock = nullptr; // a steady clock when null
};

class mbpoll : public QDialog
{
    Q_OBJECT
public:
    mbpoll(ParameterRecord &record, PollEnvironment environment, QWidget *parent = nullptr);
    ~mbpoll() override;

    poll::PollTableModel &model() { return *m_model; }
    QTableView *table() const { return m_table; }
    const poll::ValueRefresh &refresh() const { return m_refresh; }
    // Runs what the refresh has due; tests on a manual clock call it.
    void runDue();

    // "确定": the global settings back into the record, then close.
    void accept() override;

private:
    void build();
    QWidget *buildSettings();
    void fillSettings();
    void storeSettings();
    void onAppend();
    void onInsert();
    void onDelete();
    void onRefresh();
    void onTextEdit();
    void onUtf8(bool on);
    void showMessage(const QString &text);
    void armRefresh();
    int selectedRow() const;
    poll::NameEncoding encoding() const;

    ParameterRecord &m_record;
    PollEnvironment m_env;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    poll::PollTableModel *m_model = nullptr;
    QTableView *m_table = nullptr;
    QPushButton *m_append = nullptr, *m_insert = nullptr, *m_delete = nullptr, *m_refreshButton = nullptr,
                *m_textEdit = nullptr;
    QCheckBox *m_utf8 = nullptr, *m_asArray = nullptr;
    QLineEdit *m_interval = nullptr, *m_timeout = nullptr, *m_delay = nullptr, *m_mapping = nullptr,
              *m_timedUpload = nullptr, *m_prefix = nullptr;
    QComboBox *m_changeUpload = nullptr, *m_timeoutHandling = nullptr, *m_uploadFormat = nullptr,
              *m_uploadChannel = nullptr, *m_writeReply = nullptr;
    poll::ValueRefresh m_refresh;
    QTimer m_refreshTimer;
    QPointer<QMessageBox> m_box;
};

} // namespace vorlet

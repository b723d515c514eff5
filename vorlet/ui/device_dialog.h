// The base of the secondary dialogs that talk to the selected gateway
// themselves: what they need of the main window (language, scope, sending,
// the write acknowledgement, prompts, clock), given as one environment so
// tests give their own, and one timer that runs their deadlines.
#pragma once

#include "common/clock.h"
#include "vorlet/link/link_frame.h"

#include <QDateTime>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace vorlet {

class CvorletDlg;
class Language;
struct ParameterRecord;

struct DeviceDialogEnvironment
{
    const Language *language = nullptr;      // Chinese when null
    std::function<std::uint8_t()> scope;     // byte 2 of every message
    std::function<void(const Bytes &)> send; // to the device by the destination rule
    std::function<bool()> acknowledged;      // the write acknowledgement flag
    std::function<void()> clearAcknowledgement;
    // A message; empty: a message box that opens without a nested loop.
    std::function<void(QWidget *parent, const QString &text)> message;
    // A yes/no question; yes() runs only after "yes". Empty: a question box
    // without a nested loop.
    std::function<void(QWidget *parent, const QString &text, std::function<void()> yes)> confirm;
    // An open-file dialog (filter in Qt form) -> chosen path or empty.
    std::function<QString(QWidget *parent, const QString &filter)> openFile;
    // The clipboard; empty: the system clipboard.
    std::function<void(const QString &text)> copyText;
    const kyvo::Clock *clock = nullptr;   // a steady clock when null
    std::function<QDateTime()> localTime; // the PC's local time; the current time when empty
};

// What the main window gives a dialog on this record: its language, the
// scope, sending to the device, the write acknowledgement; the rest from base.
DeviceDialogEnvironment windowEnvironment(CvorletDlg &window, ParameterRecord &record,
                                          DeviceDialogEnvironment base = {});

class DeviceDialog : public QDialog
{
    Q_OBJECT
public:
    // Runs what is due on the dialog's clock (tests on a manual clock call it).
    void poll();

protected:
    DeviceDialog(int dialog, ParameterRecord &record, DeviceDialogEnvironment environment, QWidget *parent);
    ~DeviceDialog() override;

    // Runs what is due of the dialog's deadlines; the next one.
    virtual void runDue(kyvo::Millis now) = 0;
    virtual std::optional<kyvo::Millis> nextDeadline() const = 0;
    // Schedules the next run after a change of the deadlines.
    void arm();

    // Through the dialog's table; not named tr, which Q_OBJECT in a subclass would hide.
    QString tableText(const char *chinese) const;
    // A text the design's tables lack, in the language in force.
    QString text(const char *chinese, const char *english) const;
    void applyLanguage();

    void send(const Bytes &message);
    void clearAcknowledgement();
    bool acknowledged() const;
    void showMessage(const QString &text);
    void confirm(const QString &text, std::function<void()> yes);
    QString openFile(const QString &designFilter);
    void copyText(const QString &text);
    std::uint8_t scope() const;
    Mac mac() const;
    kyvo::Millis now() const { return m_clock->now(); }
    const kyvo::Clock &clock() const { return *m_clock; }
    QDateTime localTime() const;

    ParameterRecord &m_record;
    DeviceDialogEnvironment m_env;

private:
    int m_dialog;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    QTimer m_timer;
};

} // namespace vorlet

// "BUG 修复": the repair's window. It counts down once a second and closes
// at 0; meanwhile it asks its sender for the sixteen commit frames.
#pragma once

#include "pelmar/files/firmware_repair.h"
#include "pelmar/lang/language_table.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

class QLabel;

namespace pelmar {

class RepairDialog : public QDialog
{
    Q_OBJECT
public:
    // sendCommit sends one commit frame (or nothing, for servers that take none).
    RepairDialog(std::function<void()> sendCommit, const kyvo::Clock *clock = nullptr,
                 QWidget *parent = nullptr, int countdown = RepairSession::kCountdown,
                 Language language = Language::Chinese);
    ~RepairDialog() override;

    // Starts both timers and opens without a nested event loop.
    void start();
    // Does what fell due by the clock's time (a timer calls it).
    void poll();

    int framesCounted() const { return m_session.framesSent(); }
    QString text() const;

private:
    std::function<void()> m_sendCommit;
    std::unique_ptr<kyvo::SteadyClock> m_ownClock;
    const kyvo::Clock *m_clock;
    RepairSession m_session;
    Language m_language;
    QLabel *m_text;
    QTimer m_timer;
};

} // namespace pelmar

// The progress dialog of the cross-router search (dialog 140): the address
// being tried, the counts and a stop button. It drives the core's sweep and
// closes when the sweep has finished.
#pragma once

#include "vorlet/link/search_ranges.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vorlet {

class GatewayCore;

class search : public QDialog
{
    Q_OBJECT
public:
    explicit search(GatewayCore &core, QWidget *parent = nullptr);

    // Starts the sweep over the ranges. With no address to send to there is
    // nothing to wait for, and the dialog closes at once.
    void start(const std::vector<SearchRange> &ranges);
    // The stop button: the address being sent is finished, then the dialog closes.
    void stop();

    QProgressBar *progress() const { return m_progress; }
    QLabel *addressLabel() const { return m_address; }
    QLabel *countLabel() const { return m_counts; }
    QPushButton *stopButton() const { return m_stop; }

    void reject() override; // closing the window stops the sweep as the button does

private:
    void refresh();
    void finished();

    GatewayCore &m_core;
    QProgressBar *m_progress;
    QLabel *m_address;
    QLabel *m_counts;
    QPushButton *m_stop;
    bool m_running = false;
};

} // namespace vorlet

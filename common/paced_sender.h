// Executes a PacedQueue with a precise Qt timer: the pauses of the design
// without blocking the thread that sends.
#pragma once

#include "common/paced_queue.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace kyvo {

class PacedSender : public QObject
{
    Q_OBJECT
public:
    // send is called in this object's thread for each datagram when it is due.
    PacedSender(PacedQueue::SendFn send, const Clock *clock = nullptr, QObject *parent = nullptr);

    void enqueue(std::vector<PacedStep> steps, std::uint64_t token);
    void clear();
    bool idle() const { return m_queue.idle(); }
    // Runs what is due now; tests on a manual clock call it after advancing.
    void poll();

Q_SIGNALS:
    void jobDone(quint64 token);

private:
    void arm();

    PacedQueue m_queue;
    PacedQueue::SendFn m_send;
    std::unique_ptr<SteadyClock> m_ownClock;
    const Clock *m_clock;
    QTimer m_timer;
};

} // namespace kyvo

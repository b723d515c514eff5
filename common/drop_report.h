// Tells the log that a bounded receive queue dropped messages, without flooding the log in turn.
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

namespace kyvo {

class DropReport
{
public:
    explicit DropReport(const char *program) : m_program(program) {}

    // total: the queue's drop count so far. Logs the first drop at once and
    // then at most one line every five seconds.
    void note(quint64 total)
    {
        if (total == m_reported || (m_clock.isValid() && !m_clock.hasExpired(5000))) return;
        m_reported = total;
        m_clock.start();
        qWarning("%s: %llu received messages dropped so far: more arrived than could be handled", m_program,
                 static_cast<unsigned long long>(total));
    }

private:
    const char *m_program;
    quint64 m_reported = 0;
    QElapsedTimer m_clock;
};

} // namespace kyvo

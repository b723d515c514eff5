// The batch runner's bookkeeping.
#include "common/batch_runner.h"

#include <algorithm>

namespace kyvo {

BatchRunner::BatchRunner(std::size_t rows, std::size_t parallel, StartFn start)
    : m_rows(rows), m_parallel(std::max<std::size_t>(parallel, 1)), m_start(std::move(start))
{}

void BatchRunner::run()
{
    m_started = true;
    fill();
}

void BatchRunner::fill()
{
    // A start may finish its row at once, which calls back here: the outer
    // loop picks up the freed place, so starts never nest.
    if (m_filling || !m_started) return;
    m_filling = true;
    while (!m_cancelled && m_running < m_parallel && m_next < m_rows.size()) {
        const std::size_t index = m_next++;
        m_rows[index].state = State::Running;
        ++m_running;
        changed(index);
        m_start(index);
    }
    m_filling = false;
}

void BatchRunner::progress(std::size_t row, int percent, std::string text)
{
    if (row >= m_rows.size() || m_rows[row].state != State::Running) return;
    m_rows[row].percent = std::clamp(percent, 0, 100);
    if (!text.empty()) m_rows[row].text = std::move(text);
    changed(row);
}

void BatchRunner::finish(std::size_t row, bool ok, std::string text)
{
    if (row >= m_rows.size() || m_rows[row].state != State::Running) return;
    Row &r = m_rows[row];
    r.state = ok ? State::Done : State::Failed;
    if (ok) r.percent = 100;
    r.text = std::move(text);
    --m_running;
    changed(row);
    fill();
}

void BatchRunner::cancel()
{
    if (m_cancelled) return;
    m_cancelled = true;
    for (std::size_t i = m_next; i < m_rows.size(); ++i) {
        m_rows[i].state = State::Cancelled;
        changed(i);
    }
    m_next = m_rows.size();
}

void BatchRunner::cancelHeld(std::size_t row)
{
    if (row >= m_rows.size() || m_rows[row].state != State::Running) return;
    m_rows[row].state = State::Cancelled;
    --m_running;
    changed(row);
    fill();
}

BatchRunner::Summary BatchRunner::summary() const
{
    Summary s;
    for (const Row &r : m_rows) {
        switch (r.state) {
        case State::Waiting:
            ++s.waiting;
            break;
        case State::Running:
            ++s.running;
            break;
        case State::Done:
            ++s.done;
            break;
        case State::Failed:
            ++s.failed;
            break;
        case State::Cancelled:
            ++s.cancelled;
            break;
        }
    }
    return s;
}

} // namespace kyvo

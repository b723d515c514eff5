// One operation per device over many devices, at most N at a time, with each
// device's outcome kept. The operations are the single-device ones; the runner
// only decides when each starts and records what it reports.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kyvo {

class BatchRunner
{
public:
    enum class State { Waiting, Running, Done, Failed, Cancelled };
    struct Row
    {
        State state = State::Waiting;
        int percent = 0;
        std::string text; // the single-device operation's own words
    };
    struct Summary
    {
        std::size_t waiting = 0, running = 0, done = 0, failed = 0, cancelled = 0;
    };
    static constexpr std::size_t kDefaultParallel = 8;

    // Begins the operation of a row. It reports through progress() and
    // finish(), later or at once (a refusal may finish inside the call).
    using StartFn = std::function<void(std::size_t row)>;
    using ChangedFn = std::function<void(std::size_t row)>;

    BatchRunner(std::size_t rows, std::size_t parallel, StartFn start);

    void setOnChanged(ChangedFn changed) { m_changed = std::move(changed); }
    // Starts the first rows, up to the limit; each finish starts the next.
    void run();
    // Reports from a running row; anything else (a late or repeated report) is ignored.
    void progress(std::size_t row, int percent, std::string text = {});
    void finish(std::size_t row, bool ok, std::string text);
    // Rows not yet started are cancelled and never start; running ones end on their own.
    void cancel();
    // A running row whose owner held its operation back, not yet begun, is
    // cancelled (after cancel(): nothing of it reached the device).
    void cancelHeld(std::size_t row);

    // cancel() moves past the rows it cancels, so one test covers both ends.
    bool finished() const { return m_running == 0 && m_next == m_rows.size(); }
    bool allSucceeded() const { return finished() && summary().done == m_rows.size(); }
    std::size_t size() const { return m_rows.size(); }
    std::size_t parallel() const { return m_parallel; }
    std::size_t running() const { return m_running; }
    const Row &row(std::size_t index) const { return m_rows.at(index); }
    Summary summary() const;

private:
    void fill();
    void changed(std::size_t row)
    {
        if (m_changed) m_changed(row);
    }

    std::vector<Row> m_rows;
    std::size_t m_parallel;
    StartFn m_start;
    ChangedFn m_changed;
    std::size_t m_next = 0;
    std::size_t m_running = 0;
    bool m_started = false;
    bool m_cancelled = false;
    bool m_filling = false;
};

} // namespace kyvo

// A table model over a ring of the most recent rows: a window that stays
// open for hours keeps a bounded list (by rows and by bytes) however much
// arrives; the oldest rows give way. Rows can also be gathered and added
// together a few times a second, so a flood does not repaint the view for
// every batch.
#pragma once

#include <QAbstractTableModel>
#include <QTimer>

#include <algorithm>
#include <cstddef>
#include <deque>
#include <limits>
#include <vector>

namespace kyvo {

template <typename Row> class RingTableModel : public QAbstractTableModel
{
public:
    // rowBytes(row) tells how much a row holds, against maxBytes.
    using RowBytes = std::size_t (*)(const Row &);

    explicit RingTableModel(std::size_t maxRows,
                            std::size_t maxBytes = std::numeric_limits<std::size_t>::max(),
                            RowBytes rowBytes = nullptr, QObject *parent = nullptr)
        : QAbstractTableModel(parent), m_maxRows(maxRows ? maxRows : 1), m_maxBytes(maxBytes),
          m_rowBytes(rowBytes)
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { flush(); });
    }

    // appendSoon() adds its rows at most every intervalMs (0: at once).
    void setGatherInterval(int intervalMs) { m_intervalMs = intervalMs; }

    void appendSoon(std::vector<Row> &&rows)
    {
        if (m_intervalMs <= 0) {
            append(std::move(rows));
            return;
        }
        for (Row &r : rows)
            m_pending.push_back(std::move(r));
        if (m_pending.size() > m_maxRows) {
            const std::size_t over = m_pending.size() - m_maxRows;
            m_pending.erase(m_pending.begin(), m_pending.begin() + std::ptrdiff_t(over));
            m_evicted += over;
        }
        if (!m_timer.isActive()) m_timer.start(m_intervalMs);
    }

    // Adds the gathered rows now.
    void flush()
    {
        m_timer.stop();
        if (m_pending.empty()) return;
        std::vector<Row> rows;
        rows.swap(m_pending);
        append(std::move(rows));
    }
    std::size_t gatheredCount() const { return m_pending.size(); }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }

    const Row &row(int index) const { return m_rows[std::size_t(index)]; }
    std::size_t maxRows() const { return m_maxRows; }
    std::size_t heldBytes() const { return m_bytes; }
    // Rows that gave way to newer ones since the last clear.
    quint64 evictedCount() const { return m_evicted; }

    // Appends in order; the oldest rows give way first, then the oldest of
    // the batch itself when the batch alone is over the bounds.
    void append(std::vector<Row> &&rows)
    {
        std::size_t first = 0, incomingBytes = 0;
        for (const Row &r : rows)
            incomingBytes += weightOf(r);
        while (rows.size() - first > m_maxRows || (rows.size() - first > 1 && incomingBytes > m_maxBytes)) {
            incomingBytes -= weightOf(rows[first]);
            ++first;
            ++m_evicted;
        }
        const std::size_t adding = rows.size() - first;
        if (adding == 0) return;
        std::size_t evict = 0, keptBytes = m_bytes;
        while (evict < m_rows.size() &&
               (m_rows.size() - evict + adding > m_maxRows || keptBytes + incomingBytes > m_maxBytes))
            keptBytes -= weightOf(m_rows[evict++]);
        // Rows that leave while as many arrive turn the list over in place:
        // the view is told that the rows changed, not that rows left the
        // front and came at the end, which would make it renumber every row
        // it holds (the slow part of a full list under a flood).
        const std::size_t turned = std::min(evict, adding);
        if (evict > turned) {
            beginRemoveRows({}, 0, int(evict - turned) - 1);
            m_rows.erase(m_rows.begin(), m_rows.begin() + std::ptrdiff_t(evict - turned));
            endRemoveRows();
        }
        const int at = int(m_rows.size());
        const int added = int(adding - turned);
        if (added > 0) beginInsertRows({}, at, at + added - 1);
        m_rows.erase(m_rows.begin(), m_rows.begin() + std::ptrdiff_t(turned));
        for (std::size_t i = first; i < rows.size(); ++i)
            m_rows.push_back(std::move(rows[i]));
        m_bytes = keptBytes + incomingBytes;
        m_evicted += evict;
        if (added > 0) endInsertRows();
        if (turned > 0) Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, columnCount() - 1));
    }

    void clear()
    {
        m_timer.stop();
        m_pending.clear();
        beginResetModel();
        m_rows.clear();
        m_bytes = 0;
        m_evicted = 0;
        endResetModel();
    }

private:
    std::size_t weightOf(const Row &r) const { return m_rowBytes ? m_rowBytes(r) : 0; }

    std::deque<Row> m_rows;
    std::vector<Row> m_pending;
    QTimer m_timer;
    int m_intervalMs = 0;
    std::size_t m_maxRows;
    std::size_t m_maxBytes;
    RowBytes m_rowBytes;
    std::size_t m_bytes = 0;
    quint64 m_evicted = 0;
};

} // namespace kyvo

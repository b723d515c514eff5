// Debug monitor core: sender look-up, filters, numbering, the log file.
#include "vorlet/io/monitor/debug_monitor.h"

#include <QDateTime>
#include <QDir>

namespace vorlet {

namespace {

kyvo::ByteView bytesOf(const QByteArray &data)
{
    return {reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size())};
}

} // namespace

// --- local time ------------------------------------------------------------

LocalStamp LocalTimeCache::stamp(qint64 ms)
{
    const qint64 second = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    if (second != m_second) {
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(second * 1000);
        const QDate d = local.date();
        const QTime t = local.time();
        m_stamp = {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), 0};
        m_second = second;
        m_textMillis = -1;
    }
    LocalStamp s = m_stamp;
    s.millis = int(ms - second * 1000);
    return s;
}

const std::string &LocalTimeCache::text(qint64 ms)
{
    const LocalStamp s = stamp(ms);
    if (s.millis != m_textMillis) {
        m_text = debugTimeText(s);
        m_textMillis = s.millis;
    }
    return m_text;
}

// --- log file --------------------------------------------------------------

void DebugLog::setSettings(const Settings &settings)
{
    const bool same = settings.enabled == m_settings.enabled && settings.folder == m_settings.folder &&
                      settings.mode == m_settings.mode;
    if (same) return;
    flush();
    close();
    m_settings = settings;
    m_failedPath.clear();
    m_pathKey = -1;
}

QString DebugLog::pathFor(const LocalStamp &t) const
{
    return QDir(m_settings.folder).filePath(QString::fromStdString(logFileName(m_settings.mode, t)));
}

void DebugLog::add(const LocalStamp &t, const std::string &line)
{
    // The file changes only with the hour (or the day); the name is built
    // again only then.
    const int key =
        ((t.year * 16 + t.month) * 32 + t.day) * 32 + (m_settings.mode == LogMode::Hourly ? t.hour : 0);
    if (key != m_pathKey || m_settings.mode != m_pathMode || m_pendingPath.isEmpty()) {
        const QString path = pathFor(t);
        if (path != m_pendingPath && !m_pending.empty()) flush();
        m_pendingPath = path;
        m_pathKey = key;
        m_pathMode = m_settings.mode;
    }
    m_pending += line;
    ++m_pendingLines;
}

bool DebugLog::flush()
{
    if (m_pending.empty()) return m_failedPath.isEmpty();
    if (!m_file.isOpen() || m_file.fileName() != m_pendingPath) {
        close();
        m_file.setFileName(m_pendingPath);
        // Created when missing, never truncated.
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            m_failedPath = m_pendingPath;
            m_linesLost += m_pendingLines;
            m_pending.clear();
            m_pendingLines = 0;
            return false;
        }
    }
    const qint64 written = m_file.write(m_pending.data(), qint64(m_pending.size()));
    const bool ok = written == qint64(m_pending.size());
    if (ok) {
        m_linesWritten += m_pendingLines;
        m_failedPath.clear();
    } else {
        m_failedPath = m_pendingPath;
        m_linesLost += m_pendingLines;
        close(); // opened again for the next batch
    }
    m_pending.clear();
    m_pendingLines = 0;
    return ok;
}

void DebugLog::close()
{
    if (m_file.isOpen()) m_file.close();
}

// --- monitor ---------------------------------------------------------------

bool DebugMonitor::shows(int gateway, const QByteArray &datagram, DebugTags &tags) const
{
    if (filter.stopped) return false;
    if (filter.gateway != 0 && filter.gateway != gateway) return false;
    tags = classifyDebugDatagram(bytesOf(datagram));
    return filter.channels[std::size_t(tags.channel)];
}

std::vector<MonitorRow> DebugMonitor::accept(const QList<kyvo::DebugDatagram> &batch)
{
    std::vector<MonitorRow> rows;
    rows.reserve(std::size_t(batch.size()));
    const bool logging = m_log.active();
    for (const kyvo::DebugDatagram &d : batch) {
        const int gateway = m_gateways.number(d.sender);
        DebugTags tags;
        if (!shows(gateway, d.data, tags)) continue;
        rows.push_back({m_nextNumber++, d.arrivalMs, d.sender, quint8(tags.prefixLength), d.data});
        if (!logging && !m_sink) continue;
        m_line.clear();
        appendLogLine(m_line, m_times.text(d.arrivalMs), d.sender, bytesOf(d.data), tags.prefixLength);
        if (logging) m_log.add(m_times.stamp(d.arrivalMs), m_line);
        if (m_sink) m_sink(m_line);
    }
    m_rowsShown += rows.size();
    if (logging) m_log.flush();
    return rows;
}

} // namespace vorlet

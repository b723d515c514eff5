// The gateway debug monitor without windows: each batch of datagrams is
// looked up in the sender table, filtered, numbered, and written to the log
// file; the window and vorlet-cli share it.
#pragma once

#include "common/debug_receiver.h"
#include "vorlet/io/monitor/monitor_codec.h"

#include <QFile>
#include <QString>

#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace vorlet {

// Local time of a moment, converted once per second of arrivals.
class LocalTimeCache
{
public:
    LocalStamp stamp(qint64 msSinceEpoch);
    // debugTimeText of stamp(ms).
    const std::string &text(qint64 msSinceEpoch);

private:
    qint64 m_second = std::numeric_limits<qint64>::min();
    LocalStamp m_stamp;
    std::string m_text;
    int m_textMillis = -1;
};

// The log file, held open while its name stays the same and written once
// per batch. It is closed when the period's file name changes, the folder or
// the mode changes, or logging stops. A file that cannot be opened or
// written is remembered (failedPath) until a later write succeeds.
class DebugLog
{
public:
    struct Settings
    {
        bool enabled = false;
        QString folder;
        LogMode mode = LogMode::Daily;
    };

    ~DebugLog() { close(); }

    void setSettings(const Settings &settings);
    const Settings &settings() const { return m_settings; }
    // Logging on and a folder path longer than 2 characters.
    bool active() const { return m_settings.enabled && m_settings.folder.size() > 2; }

    QString pathFor(const LocalStamp &t) const;
    // Queues one line for the file of its time.
    void add(const LocalStamp &t, const std::string &line);
    // Writes what is queued; false when a file could not be written.
    bool flush();
    void close();

    bool isOpen() const { return m_file.isOpen(); }
    QString openPath() const { return m_file.isOpen() ? m_file.fileName() : QString(); }
    QString failedPath() const { return m_failedPath; }
    quint64 linesWritten() const { return m_linesWritten; }
    quint64 linesLost() const { return m_linesLost; }

private:
    Settings m_settings;
    QFile m_file;
    QString m_pendingPath;
    std::string m_pending;
    quint64 m_pendingLines = 0;
    QString m_failedPath;
    quint64 m_linesWritten = 0;
    quint64 m_linesLost = 0;
    // The last period's name, so a line of the same period builds no name.
    int m_pathKey = -1;
    LogMode m_pathMode = LogMode::Daily;
};

struct MonitorRow
{
    quint64 number = 0; // from 1; numbering starts again after clearRows
    qint64 arrivalMs = 0;
    quint32 sender = 0;
    quint8 prefixLength = 0;
    QByteArray datagram;
};

class DebugMonitor
{
public:
    struct Filter
    {
        bool stopped = false; // "停止显示": neither shown nor logged
        int gateway = 0;      // 0 every gateway, else the gateway's number
        // By DebugChannel; the hidden "io" filter starts unchecked.
        std::array<bool, kDebugChannelCount> channels{true, true, true, true, true, false, true};
    };

    Filter filter;

    GatewaySlots &gateways() { return m_gateways; }
    const GatewaySlots &gateways() const { return m_gateways; }
    DebugLog &log() { return m_log; }
    LocalTimeCache &times() { return m_times; }

    // Every line shown also goes here (vorlet-cli prints it).
    void setLineSink(std::function<void(const std::string &line)> sink) { m_sink = std::move(sink); }

    // Every sender is looked up (stopped or not); the rows the filter shows
    // are numbered and logged, and the log is flushed once for the batch.
    std::vector<MonitorRow> accept(const QList<kyvo::DebugDatagram> &batch);
    void clearRows() { m_nextNumber = 1; }
    quint64 rowsShown() const { return m_rowsShown; }

private:
    bool shows(int gateway, const QByteArray &datagram, DebugTags &tags) const;

    GatewaySlots m_gateways;
    DebugLog m_log;
    LocalTimeCache m_times;
    std::function<void(const std::string &)> m_sink;
    quint64 m_nextNumber = 1;
    quint64 m_rowsShown = 0;
    std::string m_line;
};

} // namespace vorlet

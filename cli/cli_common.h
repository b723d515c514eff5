// What both command-line tools share: options, exit statuses, MAC texts,
// waiting on the event loop, and output in the console's encoding.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace cli {

enum Exit : int {
    kOk = 0,
    kFailed = 1,   // the device refused or did not answer
    kUsage = 2,    // bad usage, with a one-line reason
    kNotFound = 3, // no device with that MAC answered
};

// "--name value" options and bare words; "--flag" options take no value.
// The first bare word is the command; up to maxWords more are its words.
struct Arguments {
    QString command;
    QStringList words;
    std::multimap<QString, QString> options;
    QStringList flags;
    QString error;

    static Arguments parse(const QStringList &args, const QStringList &valueOptions, const QStringList &flagOptions,
                           int maxWords = 0);
    bool has(const QString &name) const { return options.count(name) || flags.contains(name); }
    QString value(const QString &name) const;
    QStringList values(const QString &name) const;
};

// A MAC written with '-' or ':' separators in any case.
std::optional<std::array<std::uint8_t, 6>> parseMac(const QString &text);
QString macText(const std::uint8_t *mac); // "00-4B-59-0A-4D-07"

// Runs the event loop until done() holds or the time has passed; it sleeps
// between events and looks at done() at least every 10 ms.
void waitUntil(const std::function<bool()> &done, int limitMs);

// A port number 1 .. 65535 (0 too when zeroAllowed).
std::optional<std::uint16_t> parsePort(const QString &text, bool zeroAllowed = false);

// A progress line on standard output: rewritten in place on a terminal;
// elsewhere (scripts, logs) one line each time another tenth is done.
class ProgressLine
{
public:
    ProgressLine();
    void show(const QString &text, long long done, long long total);
    // Ends the line on a terminal (nothing elsewhere).
    void finish();

private:
    bool m_terminal;
    bool m_open = false;
    long long m_lastTenth = -1;
};

void out(const QString &line);
void err(const QString &line);
// After a search: says how many received messages a flood cost, if any.
void reportQueueDrops(const char *program, quint64 dropped);
int usage(const QString &reason, const QString &help);

} // namespace cli

// What both command-line tools share: options, exit statuses, MAC texts,
// waiting on the event loop, and output in the console's encoding.
#pragma once

#include "common/inventory.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

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
// A time in milliseconds: decimal digits only.
std::optional<int> parseMilliseconds(const QString &text);

// The options both tools check the same way, before anything is bound or
// sent. Each option given is checked by its kind; the first that fails ends
// the check with its reason.
enum class OptionKind {
    Milliseconds,
    Port,
    PortOrZero,
    Address,            // a dotted IPv4 address
    Adapter,            // a dotted IPv4 address, or "all" (every adapter)
    Language,           // en or zh
    OutputFile,         // a file in a folder that exists
    OutputFileOrFolder, // the same, or a folder that exists
    InputFile,          // a file that can be read
};
struct OptionRule
{
    const char *name;
    OptionKind kind;
};
struct OptionFault
{
    QString text;
    bool usage; // a usage error (the help's first line follows) or a file's own message
};
// program names the tool in usage reasons; cannotOpen is the tool's own text
// for an input file that cannot be read (it names the path).
std::optional<OptionFault> checkOptions(const Arguments &args, const QString &program,
                                        const std::vector<OptionRule> &rules,
                                        const std::function<QString(const QString &path)> &cannotOpen);

// --adapter all: a search on every adapter at once.
bool isAllAdapters(const QString &adapter);

// The reason a socket could not be bound, in the same words for both tools.
QString cannotBindText(const QString &program, const QString &address, quint16 port);

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

// search's inventory forms: --csv (CSV) and --inventory-json (a JSON array).
bool wantsInventory(const Arguments &args);
// The inventory in the form asked for, on standard output.
void printInventory(const Arguments &args, const std::vector<kyvo::InventoryRow> &rows);
// The reason to refuse more than one of search's output forms (--json,
// --csv, --inventory-json), empty when at most one is given.
QString searchFormConflict(const Arguments &args);

void out(const QString &line);
// UTF-8 text as it is (inventories for spreadsheets and scripts), whatever
// the console's encoding; line ends are not translated.
void outUtf8(const std::string &text);
void err(const QString &line);
// After a search: says how many received messages a flood cost, if any
// (all of them, of which answers): only lost answers may leave the list
// incomplete.
void reportQueueDrops(const char *program, quint64 answersDropped, quint64 allDropped);
int usage(const QString &reason, const QString &help);
// False after saying on standard error why the tool cannot run here (no
// GBK converter: every device text would be garbled).
bool textCodecReady(const QString &program);

} // namespace cli

// pelmar-cli's mqtt, cache and heartbeat commands: one serial port's TLV
// settings shown as text or JSON, and set from a JSON file of the shape that
// `show --json` prints, checked as the dialogs check them.
#pragma once

#include "pelmar/lang/language_table.h"
#include "pelmar/model/device_entry.h"

#include <QJsonObject>
#include <QString>

#include <optional>

namespace pelmar {

struct TlvCommand
{
    enum class Kind { Mqtt, Cache, Heartbeat };
    Kind kind = Kind::Mqtt;
    bool set = false;
    int port = 0; // 0-based
    bool json = false;
    QJsonObject input; // set: the --in file
};

std::optional<TlvCommand::Kind> tlvCommandKind(const QString &command);

// Reads and checks the --in file before anything is sent: an error text when
// it is no JSON object, names a key the command does not know, or holds a
// value that does not fit (the dialogs' messages).
std::optional<QString> loadTlvInput(TlvCommand &command, const QString &path, Language language);

struct TlvLink
{
    QString destination; // the broadcast address
    quint16 devicePort = 1111;
    QString adapter; // the socket's address; all when empty
    int timeoutMs = 3000;
    int saveSettleMs = 1000; // the MQTT save's extra wait
};

// Reads the port's settings, prints them (show) or applies the input and
// saves them (set). Exit statuses as the other device commands.
int runTlvCommand(const TlvCommand &command, const DeviceEntry &device, const TlvLink &link,
                  Language language);

} // namespace pelmar

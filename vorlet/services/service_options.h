// What the channel panels and the service dialogs take from outside: where
// their messages go, how their modal dialogs run, and our own addresses.
#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace vorlet {

// Shows a message to the user; the default is a modal message box.
using MessageSink = std::function<void(QWidget *parent, const QString &text)>;
// Runs a modal dialog and returns its result; the default is QDialog::exec.
using DialogRunner = std::function<int(QDialog &dialog)>;

struct ServiceOptions
{
    MessageSink showMessage;
    DialogRunner runDialog;
    // The maker's cloud broker, named in the cloud help message.
    QString cloudBrokerAddress = QStringLiteral("mqtt.example.com");
    // The host the HTTP demo buttons fill in and the example URL shows.
    QString httpDemoHost = QStringLiteral("demo.example.com");
};

void showServiceMessage(const ServiceOptions &options, QWidget *parent, const QString &text);
int runServiceDialog(const ServiceOptions &options, QDialog &dialog);

} // namespace vorlet

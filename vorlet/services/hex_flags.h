// The hx.ini flags reg_hex and hb_hex as the channel panels share them: a
// click in one panel stores the flags at once and the other panels follow.
#pragma once

#include "vorlet/link/search_settings.h"

#include <QObject>

namespace vorlet {

class PacketHexFlags : public QObject
{
    Q_OBJECT
public:
    // Without the window's settings the flags live here.
    explicit PacketHexFlags(SearchSettings *settings, QObject *parent = nullptr);

    SearchSettings *boundSettings() const { return m_bound; }
    bool registrationHex() const { return m_settings->regHex != 0; }
    bool heartbeatHex() const { return m_settings->hbHex != 0; }

    // The socket panel's click: both of its boxes at once.
    void store(bool registrationHex, bool heartbeatHex);
    // The MQTT panel's click: it shows only the registration flag.
    void storeRegistrationHex(bool on);

Q_SIGNALS:
    void changed();

private:
    SearchSettings *m_bound;
    SearchSettings m_own;
    SearchSettings *m_settings;
};

} // namespace vorlet

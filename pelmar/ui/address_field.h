// An IPv4 address field: four decimal octets; an empty or missing octet
// reads as 0 and a larger number as 255, as an address control gives them.
#pragma once

#include "pelmar/model/device_entry.h"

#include <QLineEdit>

namespace pelmar {

class AddressField : public QLineEdit
{
    Q_OBJECT
public:
    explicit AddressField(QWidget *parent = nullptr);
    Ipv4Bytes octets() const;
    void setOctets(const Ipv4Bytes &octets);
};

QString addressText(const Ipv4Bytes &octets);
Ipv4Bytes addressOctets(const QString &text);

} // namespace pelmar

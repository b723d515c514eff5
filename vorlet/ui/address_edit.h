// An IPv4 address field: four decimal octets, an empty one read as 0.
#pragma once

#include <QLineEdit>

#include <cstdint>

namespace vorlet {

class AddressEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit AddressEdit(QWidget *parent = nullptr);
    std::uint32_t value() const;          // most significant octet first
    void setValue(std::uint32_t address); // "%d.%d.%d.%d"
    void setOctets(const std::uint8_t *octets);
    void storeOctets(std::uint8_t *octets) const;
};

} // namespace vorlet

// IPv4 address field.
#include "vorlet/ui/address_edit.h"

#include "common/ipv4.h"
#include "vorlet/ui/record_texts.h"

#include <QRegularExpressionValidator>

namespace vorlet {

AddressEdit::AddressEdit(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^(\\d{0,3}\\.){0,3}\\d{0,3}$")), this));
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 16);
    setValue(0);
}

std::uint32_t AddressEdit::value() const
{
    return addressValue(text());
}

void AddressEdit::setValue(std::uint32_t address)
{
    const auto o = kyvo::ipv4Octets(address);
    setOctets(o.data());
}

void AddressEdit::setOctets(const std::uint8_t *octets)
{
    setText(addressText(octets));
}

void AddressEdit::storeOctets(std::uint8_t *octets) const
{
    const auto o = kyvo::ipv4Octets(value());
    std::copy(o.begin(), o.end(), octets);
}

} // namespace vorlet

// IPv4 address field.
#include "pelmar/ui/address_field.h"

#include "common/decimal.h"

#include <QRegularExpressionValidator>

namespace pelmar {

QString addressText(const Ipv4Bytes &o)
{
    return QString::asprintf("%d.%d.%d.%d", o[0], o[1], o[2], o[3]);
}

Ipv4Bytes addressOctets(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    Ipv4Bytes o{};
    for (int i = 0; i < 4 && i < parts.size(); ++i)
        o[std::size_t(i)] =
            std::uint8_t(std::clamp<std::int64_t>(kyvo::parseDecimal(parts[i].toStdString()), 0, 255));
    return o;
}

AddressField::AddressField(QWidget *parent) : QLineEdit(parent)
{
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^(\\d{0,3}\\.){0,3}\\d{0,3}$")), this));
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 16);
    setOctets({});
}

Ipv4Bytes AddressField::octets() const
{
    return addressOctets(text());
}

void AddressField::setOctets(const Ipv4Bytes &octets)
{
    setText(addressText(octets));
}

} // namespace pelmar

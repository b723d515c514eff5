// Debug view rows as text.
#include "pelmar/advanced/debug_view/debug_view_text.h"

#include "common/gbk_text.h"

#include <QDateTime>

namespace pelmar {

QString debugViewRowText(qint64 arrivalMs, const QByteArray &data)
{
    const QTime t = QDateTime::fromMSecsSinceEpoch(arrivalMs).time();
    const qsizetype zero = data.indexOf('\0');
    return QString::asprintf("%02d:%02d:%02d       ", t.hour(), t.minute(), t.second()) +
           kyvo::fromGbk(zero < 0 ? QByteArrayView(data) : QByteArrayView(data).first(zero));
}

} // namespace pelmar

// The rows of the serial servers' debug view as text, without widgets (the
// dialog and pelmar-cli monitor share them).
#pragma once

#include <QByteArray>
#include <QString>

namespace pelmar {

// The longest datagram the view takes; longer ones are cut.
inline constexpr qsizetype kDebugViewMaxDatagram = 512;

// "%02d:%02d:%02d" of the local arrival time, seven spaces, then the bytes up
// to the first zero as GBK text.
QString debugViewRowText(qint64 arrivalMsSinceEpoch, const QByteArray &datagram);

} // namespace pelmar

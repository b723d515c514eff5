// GBK text: the code page of every text in records, on the wire and in files.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kyvo {

QString fromGbk(QByteArrayView bytes);
QByteArray toGbk(const QString &text);

// Every byte at or above 0x80 starts a two-byte GBK character that becomes
// its three-byte UTF-8 sequence; other bytes are copied.
QByteArray gbkToUtf8(QByteArrayView gbk);
QByteArray utf8ToGbk(QByteArrayView utf8);

} // namespace kyvo

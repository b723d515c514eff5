// GBK text: the code page of every text in records, on the wire and in files.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kyvo {

// Without a GBK converter both give empty results; the programs check for
// it at start-up (textCodecProblem) and refuse to run without it.
QString fromGbk(QByteArrayView bytes);
QByteArray toGbk(const QString &text);

// Empty when this system converts the code page both ways; otherwise the
// message a program gives when it refuses to start (Qt needs ICU or iconv
// for GBK, and every Chinese text would be lost without it).
QString textCodecProblem(const QString &program, const char *codec = "GBK");

// Every byte at or above 0x80 starts a two-byte GBK character that becomes
// its three-byte UTF-8 sequence; other bytes are copied.
QByteArray gbkToUtf8(QByteArrayView gbk);
QByteArray utf8ToGbk(QByteArrayView utf8);

} // namespace kyvo

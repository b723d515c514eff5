// GBK conversions through Qt's ICU-backed codecs.
#include "common/gbk_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace kyvo {

QString fromGbk(QByteArrayView bytes)
{
    QStringDecoder decoder("GBK");
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

QByteArray toGbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    if (!encoder.isValid()) return text.toLatin1();
    return encoder.encode(text);
}

QByteArray gbkToUtf8(QByteArrayView gbk) { return fromGbk(gbk).toUtf8(); }

QByteArray utf8ToGbk(QByteArrayView utf8) { return toGbk(QString::fromUtf8(utf8)); }

} // namespace kyvo

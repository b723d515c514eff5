// GBK conversions through Qt's ICU-backed codecs.
#include "common/gbk_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace kyvo {

QString fromGbk(QByteArrayView bytes)
{
    QStringDecoder decoder("GBK");
    if (!decoder.isValid()) return {};
    return decoder.decode(bytes);
}

QByteArray toGbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    if (!encoder.isValid()) return {};
    return encoder.encode(text);
}

QString textCodecProblem(const QString &program, const char *codec)
{
    if (QStringDecoder(codec).isValid() && QStringEncoder(codec).isValid()) return {};
    const QString name = QString::fromLatin1(codec);
    return QStringLiteral("%1 cannot run: this system has no %2 text converter (Qt was built without ICU "
                          "or iconv), so every Chinese text of the devices would be garbled.\n"
                          "%1 无法运行：本系统缺少 %2 文字转换器，设备的中文文字会全部乱码。")
        .arg(program, name);
}

QByteArray gbkToUtf8(QByteArrayView gbk) { return fromGbk(gbk).toUtf8(); }

QByteArray utf8ToGbk(QByteArrayView utf8) { return toGbk(QString::fromUtf8(utf8)); }

} // namespace kyvo

// The polling table's text form as Unicode text.
#include "vorlet/io/poll/poll_text_form.h"

#include "common/fixed_field.h"
#include "common/gbk_text.h"
#include "vorlet/io/poll/poll_text.h"

namespace vorlet::poll {

namespace {

QString decode(QByteArrayView bytes, NameEncoding encoding)
{
    return encoding == NameEncoding::Utf8 ? QString::fromUtf8(bytes) : kyvo::fromGbk(bytes);
}

} // namespace

QString textForm(const PollBlock &block, NameEncoding encoding)
{
    const std::string text = tableText(block);
    return decode(QByteArrayView(text.data(), qsizetype(text.size())), encoding)
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QByteArray textFormBytes(const QString &text, NameEncoding encoding)
{
    return encoding == NameEncoding::Utf8 ? text.toUtf8() : kyvo::toGbk(text);
}

QString nameText(const PollEntry &entry, NameEncoding encoding)
{
    return decode(QByteArrayView(entry.jsonName, qsizetype(kyvo::fieldTextLength(entry.jsonName))), encoding);
}

} // namespace vorlet::poll

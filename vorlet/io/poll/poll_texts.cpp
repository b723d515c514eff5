// The polling dialogs' texts.
#include "vorlet/io/poll/poll_texts.h"

#include <QMessageBox>

#include <cstring>

namespace vorlet::poll {

namespace {

struct Supplement
{
    const char *chinese;
    const char *english;
};

// What the dialogs show that the language tables do not hold in English.
constexpr Supplement kSupplement[] = {
    {"缓存地址", "Cache"},
    {kTableFullText, "The polling table is full: at most 256 entries."},
    {kTextOverLimitText, "More than 256 commands; nothing was stored. Line %1"},
    {kTextEditTitle, "Text edit"},
};

} // namespace

QString pollText(const Language &language, int dialog, const char *chinese)
{
    const QString translated = language.translate(dialog, chinese);
    if (!language.isEnglish() || translated != QString::fromUtf8(chinese)) return translated;
    for (const Supplement &s : kSupplement)
        if (std::strcmp(s.chinese, chinese) == 0) return QString::fromUtf8(s.english);
    return translated;
}

QString prefixHelpText(const Language &language)
{
    if (language.isEnglish())
        return QStringLiteral(
            "\t\t\tSupported matching symbols\r\n\t\t\t1.%t\tDevice Time\r\n\t\t\t2.%id\tDevice Id\r\n"
            "\t\t\t3.%d\tAll command data format \"k0\":1,\"k1\":1  k0 k1 is the JSON name of the command\r\n"
            "\t\t\t4.%dev\tDeprecated\r\n"
            "\t\t\t5.%dev1\tCombine according to the format of JSON name, JSON name matches are "
            "supported%v:Value\r\n"
            "\t\t\t\tIf the prefix is set to {%dev1},The JSON name of the command is set to\"myk0\":%v \r\n"
            "\t\t\t\tReport at this time {\"myk0\":[0,0]}\r\n\t\t\t");
    return QString::fromUtf8("\t\t\t支持的匹配符\r\n\t\t\t1.%t\t设备时间\r\n\t\t\t2.%id\t设备唯一id\r\n"
                             "\t\t\t3.%d\t所有的命令数据 格式 \"k0\":1,\"k1\":1  k0 k1 为命令的json 名\r\n"
                             "\t\t\t4.%dev\t弃用\r\n"
                             "\t\t\t5.%dev1\t按json 名的格式进行组合，json名匹配符支持%v:值\r\n"
                             "\t\t\t\t如前缀 设置为 {%dev1},命令的json名设置为\"myk0\":%v \r\n"
                             "\t\t\t\t此时上报 {\"myk0\":[0,0]}\r\n\t\t\t");
}

void showMessageOnce(QWidget *parent, QPointer<QMessageBox> &box, const QString &text)
{
    if (box) return;
    box = new QMessageBox(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

} // namespace vorlet::poll

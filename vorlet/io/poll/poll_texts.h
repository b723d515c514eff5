// The polling dialogs' texts: their language sub-tables first, then our
// own English for the few texts the tables lack.
#pragma once

#include "vorlet/lang/language.h"

#include <QPointer>
#include <QString>

class QMessageBox;
class QWidget;

namespace vorlet::poll {

inline constexpr int kPollDialog = 137;     // mbpoll
inline constexpr int kPollEditDialog = 144; // polledit

// Our own messages and captions.
inline constexpr char kTableFullText[] = "轮询表已满，最多256条";
inline constexpr char kTextOverLimitText[] = "超过256条命令，未保存。第%1行";
inline constexpr char kTextEditTitle[] = "文本编辑";

QString pollText(const Language &language, int dialog, const char *chinese);
inline QString pollText(const Language &language, const char *chinese)
{
    return pollText(language, kPollDialog, chinese);
}

// What "点我(必看)?" shows: the place-holders the device fills into the prefix.
QString prefixHelpText(const Language &language);

// A message box that opens without a nested event loop; while one is open
// in `box` another is not opened.
void showMessageOnce(QWidget *parent, QPointer<QMessageBox> &box, const QString &text);

} // namespace vorlet::poll

// The polling table's text editor: every entry as one line of text, and
// "确定" puts the edited lines in place of the table.
#pragma once

#include "vorlet/io/poll/poll_table.h"
#include "vorlet/lang/language.h"

#include <QDialog>
#include <QPointer>

class QMessageBox;
class QPlainTextEdit;

namespace vorlet {

namespace polleditcontrol {
inline constexpr int kLabel = 1250;
inline constexpr int kOk = 1104;
inline constexpr int kCancel = 1004;
inline constexpr int kText = 2001; // our own number
} // namespace polleditcontrol

class polledit : public QDialog
{
    Q_OBJECT
public:
    // Names are shown and taken in the encoding the table stores them in.
    polledit(PollBlock &block, poll::NameEncoding encoding, const Language &language,
             QWidget *parent = nullptr);

    QPlainTextEdit *editor() const { return m_text; }
    // "确定": the parsed lines replace the table; a text beyond the table's
    // capacity is refused with a message and the dialog stays open.
    void accept() override;

private:
    PollBlock &m_block;
    poll::NameEncoding m_encoding;
    const Language &m_language;
    QPlainTextEdit *m_text = nullptr;
    QPointer<QMessageBox> m_box;
};

} // namespace vorlet

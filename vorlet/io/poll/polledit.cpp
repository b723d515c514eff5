// The polling table's text editor.
#include "vorlet/io/poll/polledit.h"

#include "vorlet/io/poll/poll_text.h"
#include "vorlet/io/poll/poll_text_form.h"
#include "vorlet/io/poll/poll_texts.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/services/panel_support.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlet {

using namespace polleditcontrol;

polledit::polledit(PollBlock &block, poll::NameEncoding encoding, const Language &language, QWidget *parent)
    : QDialog(parent), m_block(block), m_encoding(encoding), m_language(language)
{
    setWindowTitle(poll::pollText(language, poll::kPollEditDialog, poll::kTextEditTitle));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(numbered(
        new QLabel(
            zh("一行一个命令，字段之间用；隔开。格式:功能码,开始寄存器,寄存器数量,数据类型,json名,阀值1,"
               "阀值2,k(kx+b),b(kx+b),紧急数据,缓存地址 "),
            this),
        kLabel));
    m_text = numbered(new QPlainTextEdit(this), kText);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setPlainText(poll::textForm(block, encoding));
    layout->addWidget(m_text, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *ok = numbered(new QPushButton(zh("确定"), this), kOk);
    auto *cancel = numbered(new QPushButton(zh("取消"), this), kCancel);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &polledit::accept);
    connect(cancel, &QPushButton::clicked, this, &polledit::reject);
    applyDialogTable(this, poll::kPollEditDialog, language);
    resize(900, 520);
}

void polledit::accept()
{
    const QByteArray bytes = poll::textFormBytes(m_text->toPlainText(), m_encoding);
    const poll::ParsedText parsed = poll::parseTableText(
        kyvo::ByteView(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())),
        m_encoding);
    if (const auto line = parsed.overLimitLine()) {
        poll::showMessageOnce(this, m_box, poll::pollText(m_language, poll::kTextOverLimitText).arg(*line));
        return;
    }
    poll::storeEntries(m_block, parsed.entries);
    QDialog::accept();
}

} // namespace vorlet

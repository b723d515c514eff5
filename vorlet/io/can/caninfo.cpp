// The packet format help.
#include "vorlet/io/can/caninfo.h"

#include "vorlet/io/can/can_texts.h"
#include "vorlet/lang/dialog_captions.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vorlet::can {

caninfo::caninfo(const Language &language, QWidget *parent) : QDialog(parent)
{
    setProperty(kDialogIdProperty, kFormatDialog);
    setWindowTitle(language.translate(kPanelDialog, "查看详细格式"));
    auto *layout = new QVBoxLayout(this);
    m_text = new QPlainTextEdit(packetFormatHelp(language), this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setMinimumSize(620, 380);
    layout->addWidget(m_text);
}

} // namespace vorlet::can

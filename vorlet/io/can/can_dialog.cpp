// The CAN dialogs' shared base and their message box.
#include "vorlet/io/can/can_dialog.h"

#include "vorlet/lang/dialog_captions.h"

#include <QMessageBox>

namespace vorlet::can {

CanDialog::CanDialog(int dialog, const Language &language, QWidget *parent)
    : QDialog(parent), m_dialog(dialog), m_language(language)
{
    setProperty(kDialogIdProperty, dialog);
}

void CanDialog::applyLanguage()
{
    applyDialogTable(this, m_dialog, m_language);
}

QMessageBox *showMessage(QWidget *parent, const QString &text)
{
    const QString title = parent ? parent->window()->windowTitle() : QString();
    auto *box = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    box->open();
    return box;
}

} // namespace vorlet::can

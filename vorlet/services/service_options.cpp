// The default message box and dialog loop of the service panels.
#include "vorlet/services/service_options.h"

#include <QDialog>
#include <QMessageBox>

namespace vorlet {

void showServiceMessage(const ServiceOptions &options, QWidget *parent, const QString &text)
{
    if (options.showMessage) {
        options.showMessage(parent, text);
        return;
    }
    const QString title = parent ? parent->window()->windowTitle() : QString();
    QMessageBox::information(parent, title, text);
}

int runServiceDialog(const ServiceOptions &options, QDialog &dialog)
{
    return options.runDialog ? options.runDialog(dialog) : dialog.exec();
}

} // namespace vorlet

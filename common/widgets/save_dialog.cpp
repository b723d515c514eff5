// Save dialogs with a suffix that follows the filter.
#include "common/widgets/save_dialog.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace kyvo {

QString filterSuffix(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

void followFilterSuffix(QFileDialog &dialog, const QString &filter)
{
    dialog.setDefaultSuffix(filterSuffix(filter));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [d = &dialog](const QString &chosen) { d->setDefaultSuffix(filterSuffix(chosen)); });
}

QString saveFileName(QWidget *parent, const QString &name, const QString &filter)
{
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    followFilterSuffix(dialog, filter);
    dialog.selectFile(name);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().first()
               : QString();
}

} // namespace kyvo

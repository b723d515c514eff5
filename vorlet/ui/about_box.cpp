// About box.
#include "vorlet/ui/about_box.h"

#include "vorlet/lang/dialog_captions.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace vorlet {

AboutBox::AboutBox(const Language &language, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("关于 vorlet"));
    auto *v = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    auto *text = new QLabel(QString::fromUtf8("vorlet，1.0 版"), this);
    setControlId(text, 1247);
    row->addWidget(icon);
    row->addWidget(text, 1);
    v->addLayout(row);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    v->addWidget(buttons);
    applyDialogTable(this, kDialog, language);
}

} // namespace vorlet

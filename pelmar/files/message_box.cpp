// Message boxes without a nested event loop.
#include "pelmar/files/message_box.h"

#include <QMessageBox>

namespace pelmar {

QMessageBox *openMessageBox(QWidget *parent, const QString &text, const QString &caption,
                            std::function<void()> closed)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    if (closed)
        QObject::connect(box, &QMessageBox::finished, box, [closed = std::move(closed)] { closed(); });
    box->open();
    return box;
}

} // namespace pelmar

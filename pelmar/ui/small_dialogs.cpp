// Broadcast address dialog and About box.
#include "pelmar/ui/small_dialogs.h"

#include "pelmar/lang/language_table.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace pelmar {

namespace {

QDialogButtonBox *buttons(const LanguageTable &language, QDialog *dialog, bool cancel)
{
    auto *box = new QDialogButtonBox(
        cancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel : QDialogButtonBox::Ok, dialog);
    box->button(QDialogButtonBox::Ok)->setText(language.text(slot::kOk));
    if (cancel) box->button(QDialogButtonBox::Cancel)->setText(language.text(slot::kCancel));
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

} // namespace

BroadcastAddressDialog::BroadcastAddressDialog(const LanguageTable &language, const QString &suggestion,
                                               QWidget *parent)
    : QDialog(parent), m_edit(new QLineEdit(suggestion, this))
{
    setWindowTitle(QString());
    auto *v = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(language.text(slot::kBroadcastAddressPrefix), this));
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 24);
    row->addWidget(m_edit, 1);
    v->addLayout(row);
    v->addWidget(buttons(language, this, true));
}

QString BroadcastAddressDialog::address() const
{
    return m_edit->text();
}

AboutBox::AboutBox(const LanguageTable &language, QWidget *parent)
    : QDialog(parent), m_version(new QLabel(QString::fromLatin1(kVersionText), this)),
      m_text(new QLabel(language.text(232), this))
{
    setWindowTitle(language.text(228));
    auto *v = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    auto *texts = new QVBoxLayout;
    texts->addWidget(m_version);
    texts->addWidget(m_text);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    v->addLayout(row);
    v->addWidget(buttons(language, this, false));
}

QString AboutBox::text() const
{
    return m_version->text() + QLatin1Char('\n') + m_text->text();
}

} // namespace pelmar

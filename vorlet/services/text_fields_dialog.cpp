// The will, cloud and NTP dialogs.
#include "vorlet/services/text_fields_dialog.h"

#include "vorlet/lang/dialog_captions.h"
#include "vorlet/services/panel_support.h"
#include "vorlet/ui/record_texts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace vorlet {

TextFieldsDialog::TextFieldsDialog(int dialog, const QString &title, std::vector<TextFieldRow> rows,
                                   const Language &language, QWidget *parent)
    : QDialog(parent), m_rows(std::move(rows))
{
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    int control = kFirstFieldEdit;
    for (const TextFieldRow &row : m_rows) {
        auto *edit = numbered(new QLineEdit(gbkFieldText(row.field, row.size), this), control++);
        edit->setMinimumWidth(260);
        form->addRow(numbered(new QLabel(row.caption, this), row.labelControl), edit);
        m_edits.push_back(edit);
    }
    auto *ok = numbered(new QPushButton(zh("确定"), this), kDialogOk);
    ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { storeAndClose(); });
    applyDialogTable(this, dialog, language);
}

void TextFieldsDialog::storeAndClose()
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        setGbkField(m_rows[i].field, m_rows[i].size, m_edits[i]->text(), m_rows[i].maxBytes);
    accept();
}

namespace {
// The labels the design leaves unnumbered get the panel's own numbers.
constexpr int kOwnLabel = 2101;
constexpr std::size_t kDialogTextLimit = 64;
} // namespace

TextFieldsDialog *newWillDialog(WillFields &f, const Language &language, QWidget *parent)
{
    return new TextFieldsDialog(
        kWillDialog, QStringLiteral("Will"),
        {{kOwnLabel, QStringLiteral("Topic"), f.topic, sizeof f.topic, kDialogTextLimit},
         {kOwnLabel + 1, QStringLiteral("Msg"), f.message, sizeof f.message, kDialogTextLimit}},
        language, parent);
}

TextFieldsDialog *newCloudDialog(CloudFields &f, const Language &language, QWidget *parent)
{
    return new TextFieldsDialog(
        kCloudDialog, QStringLiteral("Cloud"),
        {{kOwnLabel, QStringLiteral("Product Key"), f.productKey, sizeof f.productKey, kDialogTextLimit},
         {kOwnLabel + 1, QStringLiteral("Device Name"), f.deviceName, sizeof f.deviceName, kDialogTextLimit},
         {kOwnLabel + 2, QStringLiteral("Device Secret"), f.deviceSecret, sizeof f.deviceSecret,
          kDialogTextLimit}},
        language, parent);
}

TextFieldsDialog *newNtpDialog(ParameterRecord &record, const Language &language, QWidget *parent)
{
    return new TextFieldsDialog(kNtpDialog, QStringLiteral("NTP"),
                                {{kNtpServerLabel, zh("NTP首选服务器"), record.ntpServer,
                                  sizeof record.ntpServer, sizeof record.ntpServer - 1}},
                                language, parent);
}

bool runNtpDialog(ParameterRecord &record, const Language &language, QWidget *parent,
                  const ServiceOptions &options)
{
    std::unique_ptr<TextFieldsDialog> dialog(newNtpDialog(record, language, parent));
    return runServiceDialog(options, *dialog) == QDialog::Accepted;
}

} // namespace vorlet

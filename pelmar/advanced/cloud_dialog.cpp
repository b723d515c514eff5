// The cloud pass-through dialog.
#include "pelmar/advanced/cloud_dialog.h"

#include "common/gbk_text.h"
#include "common/widgets/english_supplement.h"
#include "pelmar/lang/english_supplement.h"
#include "pelmar/lang/language_table.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace pelmar {

namespace {

constexpr std::size_t kIdLength = 20, kPasswordLength = 8;

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

template <std::size_t N> QString fieldText(const TextField<N> &field)
{
    return kyvo::fromGbk(QByteArray::fromStdString(field.text()));
}

std::string gbk(const QLineEdit *edit)
{
    return kyvo::toGbk(edit->text()).toStdString();
}

} // namespace

const char *cloudRefusal(bool enabled, std::string_view id, std::string_view password)
{
    if (!enabled) return nullptr;
    if (!std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return "云 ID 只能是数字";
    if (id.size() != kIdLength) return "云 ID 是20位的数字";
    if (password.size() != kPasswordLength) return "云密码必须是8位";
    return nullptr;
}

CloudDialog::CloudDialog(const PortSettings &port, int portNumber, const LanguageTable &language,
                         Message message, QWidget *parent)
    : QDialog(parent), m_message(std::move(message)), m_language(language.language())
{
    setWindowTitle(QStringLiteral("Port%1").arg(portNumber));
    auto *form = new QFormLayout(this);
    m_enable = new QCheckBox(u("云透传"), this);
    m_enable->setChecked(port.cloudEnable != 0);
    m_id = new QLineEdit(fieldText(port.cloudId), this);
    m_password = new QLineEdit(fieldText(port.cloudPassword), this);
    const auto &a = port.cloudAddress;
    m_address = new QLineEdit(
        a[0] ? QStringLiteral("%1.%2.%3.%4").arg(a[0]).arg(a[1]).arg(a[2]).arg(a[3]) : QString(), this);
    m_address->setEnabled(false);
    form->addRow(m_enable);
    form->addRow(u("设备云SN"), m_id);
    form->addRow(u("设备云密码"), m_password);
    form->addRow(u("设备云IP2"), m_address);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(language.text(slot::kOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(language.text(slot::kCancel), QDialogButtonBox::RejectRole);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CloudDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_id->setMinimumWidth(220);
    kyvo::applyEnglishSupplement(this, supplementaryEnglish, m_language == Language::English);
}

void CloudDialog::accept()
{
    if (const char *refusal = cloudRefusal(m_enable->isChecked(), gbk(m_id), gbk(m_password))) {
        m_message(this, inLanguage(m_language, refusal));
        return;
    }
    QDialog::accept();
}

void CloudDialog::storeInto(PortSettings &port) const
{
    port.cloudEnable = m_enable->isChecked() ? 1 : 0;
    if (!m_enable->isChecked()) return;
    port.cloudId.set(gbk(m_id));
    port.cloudPassword.set(gbk(m_password));
}

} // namespace pelmar

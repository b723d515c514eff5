// The relay-action pickers.
#include "vorlet/io/linkage/action_dialogs.h"

#include "vorlet/lang/dialog_captions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlet {

QHBoxLayout *okCancelRow(QDialog *dialog, const RuleTexts &texts, int okControl, int cancelControl,
                         std::function<void()> store)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    auto *ok = new QPushButton(texts("确定"), dialog);
    auto *cancel = new QPushButton(texts("取消"), dialog);
    setControlId(ok, okControl);
    setControlId(cancel, cancelControl);
    ok->setDefault(true);
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, dialog, [dialog, store = std::move(store)] {
        store();
        dialog->accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}

action::action(std::uint32_t word, const Language &language, QWidget *parent) : QDialog(parent), m_word(word)
{
    const RuleTexts texts(language, kDialog);
    setWindowTitle(QStringLiteral("action"));
    auto *layout = new QVBoxLayout(this);
    m_picker = new RelayPicker(texts, this);
    m_picker->setWord(word);
    layout->addWidget(m_picker);
    layout->addLayout(okCancelRow(this, texts, kRuleOk, kRuleCancel, [this] { m_word = m_picker->word(); }));
    applyDialogTable(this, kDialog, language);
}

taction::taction(std::uint32_t word, std::uint8_t weekdays, const Language &language, QWidget *parent)
    : QDialog(parent), m_word(word), m_weekdays(weekdays)
{
    const RuleTexts texts(language, kDialog);
    setWindowTitle(QStringLiteral("taction"));
    auto *layout = new QVBoxLayout(this);
    auto *loop = new QLabel(texts("循环"), this);
    setControlId(loop, 1304);
    layout->addWidget(loop);
    auto *days = new QHBoxLayout;
    for (int d = 0; d < 7; ++d) {
        const QByteArray name = "周" + QByteArray::number(d + 1);
        auto *box = new QCheckBox(texts(name.constData()), this);
        setControlId(box, kFirstWeekday + d);
        box->setChecked((weekdays >> d) & 1);
        days->addWidget(box);
        m_days[std::size_t(d)] = box;
    }
    auto *all = new QPushButton(texts("全选"), this);
    auto *none = new QPushButton(texts("全不选"), this);
    setControlId(all, kSelectAll);
    setControlId(none, kSelectNone);
    connect(all, &QPushButton::clicked, this, [this] {
        for (QCheckBox *b : m_days)
            b->setChecked(true);
    });
    connect(none, &QPushButton::clicked, this, [this] {
        for (QCheckBox *b : m_days)
            b->setChecked(false);
    });
    days->addWidget(all);
    days->addWidget(none);
    layout->addLayout(days);
    auto *act = new QLabel(texts("动作"), this);
    setControlId(act, 1305);
    layout->addWidget(act);
    m_picker = new RelayPicker(texts, this);
    m_picker->setWord(word);
    layout->addWidget(m_picker);
    layout->addLayout(okCancelRow(this, texts, kRuleOk, kRuleCancel, [this] {
        m_word = m_picker->word();
        m_weekdays = checkedDays();
    }));
    applyDialogTable(this, kDialog, language);
}

std::uint8_t taction::checkedDays() const
{
    std::uint8_t mask = 0;
    for (int d = 0; d < 7; ++d)
        if (m_days[std::size_t(d)]->isChecked()) mask |= std::uint8_t(1u << d);
    return mask;
}

} // namespace vorlet

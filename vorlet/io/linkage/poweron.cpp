// The power-on and command-timeout relays.
#include "vorlet/io/linkage/poweron.h"

#include "vorlet/io/linkage/action_dialogs.h"
#include "vorlet/io/linkage/rule_values.h"
#include "vorlet/lang/dialog_captions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlet {

namespace {
constexpr int kCancel = 2;
struct GroupControls
{
    int title, all, none;
    const char *caption;
};
constexpr GroupControls kGroups[2] = {
    {1264, 1004, 1005, "上电时 打开或关闭的继电器"},
    {1265, 1006, 1007, "无指令查询超时 打开或关闭的继电器"},
};
} // namespace

poweron::poweron(ParameterRecord &record, const Language &language, QWidget *parent)
    : QDialog(parent), m_record(record)
{
    const RuleTexts texts(language, kDialog);
    setWindowTitle(QStringLiteral("poweron"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildGroup(PowerOn, texts));
    layout->addWidget(buildGroup(Timeout, texts));
    auto *timeoutRow = new QHBoxLayout;
    auto *label = new QLabel(texts("超时时间"), this);
    setControlId(label, 1266);
    m_timeout = new QLineEdit(QString::number(record.io.commandTimeoutS.get()), this);
    m_timeout->setFixedWidth(80);
    auto *hint = new QLabel(texts("(0-65535s 0:不启用)"), this);
    setControlId(hint, 1267);
    timeoutRow->addWidget(label);
    timeoutRow->addWidget(m_timeout);
    timeoutRow->addWidget(hint);
    timeoutRow->addStretch();
    layout->addLayout(timeoutRow);
    layout->addLayout(okCancelRow(this, texts, kOk, kCancel, [this] { store(); }));
    applyDialogTable(this, kDialog, language);
}

QWidget *poweron::buildGroup(Group group, const RuleTexts &texts)
{
    const GroupControls &c = kGroups[group];
    auto *box = new QGroupBox(texts(c.caption), this);
    setControlId(box, c.title);
    auto *grid = new QGridLayout(box);
    const std::uint16_t stored =
        group == PowerOn ? m_record.io.powerOnMask.get() : m_record.io.timeoutMask.get();
    for (int i = 0; i < kRelayCount; ++i) {
        auto *check = new QCheckBox(RuleTexts::numberedName("Y", i + 1), box);
        check->setChecked((stored >> i) & 1);
        grid->addWidget(check, i / 8, i % 8);
        m_boxes[group][std::size_t(i)] = check;
    }
    auto *all = new QPushButton(texts("全选"), box);
    auto *none = new QPushButton(texts("全不选"), box);
    setControlId(all, c.all);
    setControlId(none, c.none);
    connect(all, &QPushButton::clicked, this, [this, group] {
        for (QCheckBox *b : m_boxes[group])
            b->setChecked(true);
    });
    connect(none, &QPushButton::clicked, this, [this, group] {
        for (QCheckBox *b : m_boxes[group])
            b->setChecked(false);
    });
    grid->addWidget(all, 0, 8);
    grid->addWidget(none, 1, 8);
    return box;
}

std::uint16_t poweron::mask(Group group) const
{
    std::uint16_t bits = 0;
    for (int i = 0; i < kRelayCount; ++i)
        if (m_boxes[group][std::size_t(i)]->isChecked()) bits |= std::uint16_t(1u << i);
    return bits;
}

void poweron::store()
{
    m_record.io.powerOnMask = mask(PowerOn);
    m_record.io.timeoutMask = mask(Timeout);
    m_record.io.commandTimeoutS = decimalU16(m_timeout->text().toStdString());
}

} // namespace vorlet

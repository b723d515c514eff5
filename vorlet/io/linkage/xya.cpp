// The input and analogue linkage dialog.
#include "vorlet/io/linkage/xya.h"

#include "vorlet/io/linkage/action_dialogs.h"
#include "vorlet/io/linkage/rule_values.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/services/panel_support.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

namespace vorlet {

namespace {

constexpr const char *kTriggers[] = {"状态跟随", "上升沿执行", "下降沿执行"};
constexpr const char *kRanges[] = {"档位:ADC", "档位:0-20MA", "档位:0-5V", "档位:0-10V"};
constexpr const char *kConditions[] = {
    "大于或等于值1执行,小于值1取消执行",
    "在值1和值2的区间内执行，非区间内取消执行",
    "小于或等于值1取消执行,大于或等于值2执行,值1 值2 之间不动作",
};
constexpr const char *kDigitalQuick[] = {"将X1触发方式复制到X2-X16", "将X1动作复制到X2-X16",
                                         "输入输出一对一断开联动", "输入输出一对一闭合联动",
                                         "输入输出一对一翻转联动"};
constexpr const char *kAnalogueQuick[] = {"将ADC1设置复制到ADC2-ADC8", "将ADC1动作复制到ADC2-ADC8",
                                          "ADC输出一对一断开联动", "ADC输出一对一闭合联动",
                                          "ADC输出一对一翻转联动"};
constexpr int kConditionDropWidth = 450;

template <std::size_t N> void addItems(QComboBox *list, const RuleTexts &texts, const char *const (&items)[N])
{
    for (const char *item : items)
        list->addItem(texts(item));
}

std::string typed(const QLineEdit *edit)
{
    return edit->text().toStdString();
}

} // namespace

template <typename W> W *xya::control(W *widget)
{
    setControlId(widget, m_nextControl++);
    return widget;
}

xya::xya(XyaMode mode, ParameterRecord &record, const Language &language, QWidget *parent)
    : QDialog(parent), m_mode(mode), m_record(record), m_edit(record.io), m_texts(language, kDialog)
{
    setWindowTitle(QStringLiteral("xya"));
    auto *layout = new QHBoxLayout(this);
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    buildRows(grid);
    if (mode == XyaMode::Analogue) buildThresholds(grid);
    auto *left = new QVBoxLayout;
    left->addLayout(grid);
    left->addStretch();
    layout->addLayout(left);
    auto *right = new QVBoxLayout;
    right->addWidget(buildQuickGroup());
    right->addStretch();
    const int ok = m_nextControl++;
    const int cancel = m_nextControl++;
    right->addLayout(okCancelRow(this, m_texts, ok, cancel, [this] { commit(); }));
    layout->addLayout(right);
    fill();
}

void xya::buildRows(QGridLayout *grid)
{
    const bool digital = m_mode == XyaMode::Digital;
    const int count = digital ? 16 : 8;
    for (int k = 0; k < count; ++k) {
        grid->addWidget(control(new QLabel(RuleTexts::numberedName(digital ? "X" : "ADC", k + 1), this)), k,
                        0);
        Row row;
        row.trigger = control(new QComboBox(this));
        addItems(row.trigger, m_texts, kTriggers);
        row.trigger->setEnabled(digital);
        grid->addWidget(row.trigger, k, 1);
        grid->addWidget(control(new QLabel(QStringLiteral("Y:"), this)), k, 2);
        row.relays = control(new ColourLabels(kRelayCount, this));
        grid->addWidget(row.relays, k, 3, 1, 5);
        row.setAction = control(new QPushButton(m_texts("设置动作"), this));
        connect(row.setAction, &QPushButton::clicked, this, [this, k] { openAction(k); });
        grid->addWidget(row.setAction, k, 8);
        m_rows.push_back(row);
    }
}

void xya::buildThresholds(QGridLayout *grid)
{
    const int first = grid->rowCount() + 1;
    grid->setRowMinimumHeight(first - 1, 8);
    for (int k = 0; k < 8; ++k) {
        const int at = first + k;
        grid->addWidget(control(new QLabel(RuleTexts::numberedName("ADC", k + 1), this)), at, 0);
        Threshold t;
        t.range = control(new QComboBox(this));
        addItems(t.range, m_texts, kRanges);
        grid->addWidget(t.range, at, 1);
        grid->addWidget(control(new QLabel(m_texts("值1"), this)), at, 2);
        t.value1 = control(new QLineEdit(this));
        t.value1->setFixedWidth(80);
        grid->addWidget(t.value1, at, 3);
        grid->addWidget(control(new QLabel(m_texts("值2"), this)), at, 4);
        t.value2 = control(new QLineEdit(this));
        t.value2->setFixedWidth(80);
        grid->addWidget(t.value2, at, 5);
        grid->addWidget(control(new QLabel(m_texts("触发条件"), this)), at, 6);
        t.condition = control(new QComboBox(this));
        addItems(t.condition, m_texts, kConditions);
        t.condition->setMaximumWidth(180);
        t.condition->view()->setMinimumWidth(kConditionDropWidth);
        grid->addWidget(t.condition, at, 7, 1, 2);
        m_thresholds.push_back(t);
    }
}

QWidget *xya::buildQuickGroup()
{
    auto *group = control(new QGroupBox(m_texts("快捷操作"), this));
    auto *column = new QVBoxLayout(group);
    const auto &captions = m_mode == XyaMode::Digital ? kDigitalQuick : kAnalogueQuick;
    for (int q = 0; q < 5; ++q) {
        m_quick[std::size_t(q)] = control(new QPushButton(m_texts(captions[q]), group));
        connect(m_quick[std::size_t(q)], &QPushButton::clicked, this, [this, q] { quick(Quick(q)); });
        column->addWidget(m_quick[std::size_t(q)]);
    }
    return group;
}

le32 &xya::actionWord(int row)
{
    return m_mode == XyaMode::Digital ? m_edit.digitalRules[row].action : m_edit.analogRules[row].action;
}

void xya::openAction(int row)
{
    auto *picker = new action(actionWord(row), m_texts.language(), this);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    connect(picker, &QDialog::accepted, this, [this, row, picker] {
        actionWord(row) = picker->word();
        m_rows[std::size_t(row)].relays->showRelayWord(picker->word());
    });
    picker->open();
}

void xya::fill()
{
    for (int k = 0; k < rowCount(); ++k) {
        if (m_mode == XyaMode::Digital)
            selectStoredIndex(m_rows[std::size_t(k)].trigger, m_edit.digitalRules[k].trigger);
        m_rows[std::size_t(k)].relays->showRelayWord(actionWord(k));
    }
    for (std::size_t k = 0; k < m_thresholds.size(); ++k) {
        const AnalogRule &rule = m_edit.analogRules[k];
        const Threshold &t = m_thresholds[k];
        selectStoredIndex(t.range, rule.range);
        selectStoredIndex(t.condition, rule.condition);
        const bool raw = selectedIndex(t.range) == 0; // a range outside the list reads as raw counts
        t.value1->setText(
            QString::fromStdString(thresholdText(rule.value1, raw, ThousandthsStyle::SixDecimals)));
        t.value2->setText(
            QString::fromStdString(thresholdText(rule.value2, raw, ThousandthsStyle::SixDecimals)));
    }
}

void xya::collect()
{
    if (m_mode == XyaMode::Digital)
        for (int k = 0; k < rowCount(); ++k)
            m_edit.digitalRules[k].trigger = selectedIndex(m_rows[std::size_t(k)].trigger);
    for (std::size_t k = 0; k < m_thresholds.size(); ++k) {
        AnalogRule &rule = m_edit.analogRules[k];
        const Threshold &t = m_thresholds[k];
        rule.range = selectedIndex(t.range);
        rule.condition = selectedIndex(t.condition);
        const bool raw = rule.range == 0;
        rule.value1 = thresholdValue(typed(t.value1), raw);
        rule.value2 = thresholdValue(typed(t.value2), raw);
    }
}

void xya::quick(Quick q)
{
    // What the rows show goes into the copy first, so a quick operation
    // keeps the edits of the rows it does not touch.
    collect();
    const int count = rowCount();
    switch (q) {
    case CopySettings:
        for (int k = 1; k < count; ++k) {
            if (m_mode == XyaMode::Digital) {
                m_edit.digitalRules[k].trigger = m_edit.digitalRules[0].trigger;
                continue;
            }
            AnalogRule &rule = m_edit.analogRules[k];
            const AnalogRule &first = m_edit.analogRules[0];
            rule.range = first.range;
            rule.value1 = first.value1;
            rule.value2 = first.value2;
            rule.condition = first.condition;
        }
        break;
    case CopyAction:
        for (int k = 1; k < count; ++k)
            actionWord(k) = actionWord(0).get();
        break;
    case OneToOneOpen:
    case OneToOneClose:
    case OneToOneToggle:
        for (int k = 0; k < count; ++k)
            actionWord(k) = singleRelayWord(k, std::uint8_t(q - OneToOneOpen));
        break;
    }
    fill();
}

void xya::commit()
{
    collect();
    if (m_mode == XyaMode::Digital)
        std::memcpy(m_record.io.digitalRules, m_edit.digitalRules, sizeof m_edit.digitalRules);
    else
        std::memcpy(m_record.io.analogRules, m_edit.analogRules, sizeof m_edit.analogRules);
}

} // namespace vorlet

// The automatic I/O reporting dialog.
#include "vorlet/io/linkage/upload.h"

#include "vorlet/io/linkage/action_dialogs.h"
#include "vorlet/io/linkage/rule_values.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/services/panel_support.h"
#include "vorlet/ui/record_texts.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vorlet {

namespace {

constexpr const char *kConditionWords[] = {"无视", "变高", "变低", "变化"};
constexpr const char *kRanges[] = {"档位:ADC", "档位:0-5v", "档位:0-10v", "档位:0-20ma"};
constexpr const char *kConditions[] = {
    "当变为大于或等于值1上传,当变为小于值1上传",
    "当变为在值1和值2的区间内上传，当变为非区间内上传",
    "当变为小于或等于值1上传,当变为大于或等于值2上传,当变为值1 值2 之间上传",
};
constexpr const char *kFormats[] = {
    "自定义 48 3a 01 41 ... 45 2e  只上报输入",
    "自定义 48 3a 01 21 ... 45 2e",
    "modbus rtu",
    "modbus tcp",
    "ascii (kv...vk) ",
    "json 带mac",
    "json 带id",
    "json 带userId",
    "阿里云物理模型",
};
struct ContentControl
{
    int control; // 0: unnumbered
    const char *caption;
};
constexpr ContentControl kContent[] = {{1042, "输入"},   {1044, "输出"},    {1045, "计数"},    {0, "ADC"},
                                       {0, "ADC(0-5V)"}, {0, "ADC(0-10V)"}, {0, "ADC(0-20MA)"}};
// The value and condition labels of the eight ADC rows, as the table numbers them.
constexpr int kValue1Labels[8] = {1275, 1277, 1279, 1281, 1283, 1285, 1287, 1288};
constexpr int kValue2Labels[8] = {1295, 1278, 1280, 1282, 1284, 1286, 1289, 1290};
constexpr int kConditionLabels[8] = {1276, 1296, 1297, 1298, 1299, 1300, 1301, 1302};
constexpr std::pair<int, const char *> kQuick[] = {
    {1003, "将X1 复制到X2-X16"},           {1004, "将ADC1启用 复制到ADC2-ADC16"},
    {1021, "将ADC1档位 复制到ADC2-ADC16"}, {1022, "将ADC1值1 复制到ADC2-ADC16"},
    {1025, "将ADC1值2 复制到ADC2-ADC16"},  {1026, "将ADC1上传条件 复制到ADC2-ADC16"},
};
constexpr int kQuickGroup = 1303;
constexpr int kFormatLabel = 1292;
constexpr int kContentGroup = 1293;
constexpr int kUserIdLabel = 1294;
constexpr int kFirstAnalogueContent = upload::AdcRaw;

template <typename W> W *numberedWidget(W *widget, int control)
{
    if (control) setControlId(widget, control);
    return widget;
}

QLabel *label(QWidget *parent, const QString &text, int control = 0)
{
    return numberedWidget(new QLabel(text, parent), control);
}

template <std::size_t N>
QComboBox *listOf(QWidget *parent, const RuleTexts &texts, const char *const (&items)[N])
{
    auto *list = new QComboBox(parent);
    for (const char *item : items)
        list->addItem(texts(item));
    return list;
}

} // namespace

upload::upload(ParameterRecord &record, const Language &language, QWidget *parent)
    : QDialog(parent), m_record(record), m_block(record.io.upload)
{
    const RuleTexts texts(language, kDialog);
    setWindowTitle(QStringLiteral("upload"));
    auto *layout = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    left->addWidget(buildInputs(texts));
    left->addWidget(buildAdcRows(texts));
    left->addWidget(buildSettings(texts));
    layout->addLayout(left);
    auto *right = new QVBoxLayout;
    right->addWidget(buildQuickGroup(texts));
    right->addStretch();
    right->addLayout(okCancelRow(this, texts, kRuleOk, kRuleCancel, [this] { store(); }));
    layout->addLayout(right);
    fill();
    applyDialogTable(this, kDialog, language);
}

QWidget *upload::buildInputs(const RuleTexts &texts)
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_inputs = numberedWidget(new QCheckBox(texts("输入"), box), kInputs);
    grid->addWidget(m_inputs, 0, 0);
    QStringList words;
    for (const char *w : kConditionWords)
        words << texts(w);
    for (int i = 0; i < 16; ++i) {
        m_lists[std::size_t(i)] = new ColourCodeList(RuleTexts::numberedName("X", i + 1), words, box);
        grid->addWidget(m_lists[std::size_t(i)], 1 + i / 4, i % 4);
    }
    return box;
}

QWidget *upload::buildAdcRows(const RuleTexts &texts)
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(2);
    for (int k = 0; k < 8; ++k) {
        AdcRow &row = m_adc[std::size_t(k)];
        row.enabled = new QCheckBox(RuleTexts::numberedName("ADC", k + 1), box);
        row.range = listOf(box, texts, kRanges);
        row.value1 = new QLineEdit(box);
        row.value2 = new QLineEdit(box);
        row.value1->setFixedWidth(70);
        row.value2->setFixedWidth(70);
        row.condition = listOf(box, texts, kConditions);
        row.condition->setMaximumWidth(200);
        row.condition->view()->setMinimumWidth(450);
        QWidget *const cells[] = {row.enabled,
                                  row.range,
                                  label(box, texts("值1"), kValue1Labels[k]),
                                  row.value1,
                                  label(box, texts("值2"), kValue2Labels[k]),
                                  row.value2,
                                  label(box, texts("上传条件"), kConditionLabels[k]),
                                  row.condition};
        for (int c = 0; c < 8; ++c)
            grid->addWidget(cells[c], k, c);
    }
    return box;
}

QWidget *upload::buildSettings(const RuleTexts &texts)
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_interval = new QLineEdit(box);
    m_interval->setFixedWidth(90);
    auto *intervalRow = new QHBoxLayout;
    intervalRow->addWidget(m_interval);
    intervalRow->addWidget(label(box, QStringLiteral("ms")));
    intervalRow->addStretch();
    grid->addWidget(label(box, texts("定时上传")), 0, 0);
    grid->addLayout(intervalRow, 0, 1);
    m_format = listOf(box, texts, kFormats);
    grid->addWidget(label(box, texts("上传格式"), kFormatLabel), 1, 0);
    grid->addWidget(m_format, 1, 1);
    auto *content = numberedWidget(new QGroupBox(texts("上传内容"), box), kContentGroup);
    auto *checks = new QGridLayout(content);
    for (int bit = 0; bit < kContentBits; ++bit) {
        m_content[std::size_t(bit)] =
            numberedWidget(new QCheckBox(texts(kContent[bit].caption), content), kContent[bit].control);
        checks->addWidget(m_content[std::size_t(bit)], bit < kFirstAnalogueContent ? 0 : 1,
                          bit < kFirstAnalogueContent ? bit : bit - kFirstAnalogueContent);
        if (bit >= kFirstAnalogueContent)
            connect(m_content[std::size_t(bit)], &QCheckBox::toggled, this, [this, bit](bool on) {
                if (on) keepOneAnalogueContent(bit);
            });
    }
    grid->addWidget(content, 2, 0, 1, 2);
    m_userId = new QLineEdit(box);
    grid->addWidget(label(box, texts("userId(最大31字符)"), kUserIdLabel), 3, 0);
    grid->addWidget(m_userId, 3, 1);
    return box;
}

QWidget *upload::buildQuickGroup(const RuleTexts &texts)
{
    auto *group = numberedWidget(new QGroupBox(texts("快捷操作"), this), kQuickGroup);
    auto *column = new QVBoxLayout(group);
    for (int q = 0; q < 6; ++q) {
        m_quick[std::size_t(q)] =
            numberedWidget(new QPushButton(texts(kQuick[q].second), group), kQuick[q].first);
        connect(m_quick[std::size_t(q)], &QPushButton::clicked, this, [this, q] { quick(Quick(q)); });
        column->addWidget(m_quick[std::size_t(q)]);
    }
    return group;
}

void upload::fill()
{
    m_inputs->setChecked(m_block.reportInputs != 0);
    for (int i = 0; i < 16; ++i)
        m_lists[std::size_t(i)]->setCode(relayCode(m_block.inputConditions, i));
    for (int k = 0; k < 8; ++k) {
        const ReportRule &rule = m_block.rules[k];
        const AdcRow &row = m_adc[std::size_t(k)];
        row.enabled->setChecked((m_block.adcEnableMask >> k) & 1);
        selectStoredIndex(row.range, rule.range);
        selectStoredIndex(row.condition, rule.condition);
        const bool raw = selectedIndex(row.range) == 0; // a range outside the list reads as raw counts
        row.value1->setText(
            QString::fromStdString(thresholdText(rule.value1, raw, ThousandthsStyle::ThreeDecimals)));
        row.value2->setText(
            QString::fromStdString(thresholdText(rule.value2, raw, ThousandthsStyle::ThreeDecimals)));
    }
    m_interval->setText(QString::number(m_block.intervalMs.get()));
    selectStoredIndex(m_format, m_block.format);
    int firstAnalogue = -1;
    for (int bit = 0; bit < kContentBits; ++bit) {
        const QSignalBlocker quiet(m_content[std::size_t(bit)]);
        const bool on = (m_block.contentMask >> bit) & 1;
        m_content[std::size_t(bit)]->setChecked(on);
        if (on && bit >= kFirstAnalogueContent && firstAnalogue < 0) firstAnalogue = bit;
    }
    if (firstAnalogue >= 0) keepOneAnalogueContent(firstAnalogue);
    m_userId->setText(gbkFieldText(m_block.userId));
}

void upload::keepOneAnalogueContent(int checked)
{
    for (int bit = kFirstAnalogueContent; bit < kContentBits; ++bit)
        if (bit != checked) {
            const QSignalBlocker quiet(m_content[std::size_t(bit)]);
            m_content[std::size_t(bit)]->setChecked(false);
        }
}

void upload::quick(Quick q)
{
    const AdcRow &first = m_adc[0];
    if (q == CopyX1) {
        for (int i = 1; i < 16; ++i)
            m_lists[std::size_t(i)]->setCode(m_lists[0]->code());
        return;
    }
    for (int k = 1; k < 8; ++k) {
        const AdcRow &row = m_adc[std::size_t(k)];
        switch (q) {
        case CopyAdcEnabled:
            row.enabled->setChecked(first.enabled->isChecked());
            break;
        case CopyRange:
            row.range->setCurrentIndex(first.range->currentIndex());
            break;
        case CopyValue1:
            row.value1->setText(first.value1->text());
            break;
        case CopyValue2:
            row.value2->setText(first.value2->text());
            break;
        case CopyCondition:
            row.condition->setCurrentIndex(first.condition->currentIndex());
            break;
        case CopyX1:
            break;
        }
    }
}

void upload::store()
{
    m_block.reportInputs = m_inputs->isChecked() ? 1 : 0;
    std::uint32_t conditions = 0;
    for (int i = 0; i < 16; ++i)
        conditions = withRelayCode(conditions, i, m_lists[std::size_t(i)]->code());
    m_block.inputConditions = conditions;
    std::uint8_t enabled = 0;
    for (int k = 0; k < 8; ++k) {
        ReportRule &rule = m_block.rules[k];
        const AdcRow &row = m_adc[std::size_t(k)];
        rule.range = selectedIndex(row.range);
        rule.condition = selectedIndex(row.condition);
        const bool raw = rule.range == 0;
        rule.value1 = thresholdValue(row.value1->text().toStdString(), raw);
        rule.value2 = thresholdValue(row.value2->text().toStdString(), raw);
        if (row.enabled->isChecked()) enabled |= std::uint8_t(1u << k);
    }
    m_block.adcEnableMask = enabled;
    m_block.intervalMs = decimalU32(m_interval->text().toStdString());
    m_block.format = selectedIndex(m_format);
    std::uint8_t content = 0;
    for (int bit = 0; bit < kContentBits; ++bit)
        if (m_content[std::size_t(bit)]->isChecked()) content |= std::uint8_t(1u << bit);
    m_block.contentMask = content;
    setGbkField(m_block.userId, m_userId->text(), kUserIdBytes);
    // The enable byte belongs to the I/O dialog, which may have changed it meanwhile.
    m_block.enabled = m_record.io.upload.enabled;
    m_record.io.upload = m_block;
}

} // namespace vorlet

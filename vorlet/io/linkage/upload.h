// `upload`: how the device reports its I/O upstream by itself (input
// changes, analogue thresholds, a period, the format and content). It edits
// a copy of the upload block; "确定" writes it into the record, "取消" not.
#pragma once

#include "vorlet/io/linkage/colour_lists.h"
#include "vorlet/record/parameter_record.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vorlet {

class upload : public QDialog
{
public:
    static constexpr int kDialog = 158;
    static constexpr int kInputs = 1033;
    static constexpr int kUserIdBytes = 31;

    enum Quick { CopyX1, CopyAdcEnabled, CopyRange, CopyValue1, CopyValue2, CopyCondition };
    // Bits of the content mask.
    enum Content { Inputs, Outputs, Counters, AdcRaw, Adc5V, Adc10V, Adc20mA, kContentBits };

    upload(ParameterRecord &record, const Language &language, QWidget *parent = nullptr);

    QCheckBox *inputsBox() const { return m_inputs; }
    ColourCodeList *inputList(int index) const { return m_lists[std::size_t(index)]; }
    QCheckBox *adcBox(int row) const { return m_adc[std::size_t(row)].enabled; }
    QComboBox *rangeList(int row) const { return m_adc[std::size_t(row)].range; }
    QLineEdit *value1Edit(int row) const { return m_adc[std::size_t(row)].value1; }
    QLineEdit *value2Edit(int row) const { return m_adc[std::size_t(row)].value2; }
    QComboBox *conditionList(int row) const { return m_adc[std::size_t(row)].condition; }
    QLineEdit *intervalEdit() const { return m_interval; }
    QComboBox *formatList() const { return m_format; }
    QCheckBox *contentBox(Content bit) const { return m_content[bit]; }
    QLineEdit *userIdEdit() const { return m_userId; }
    QPushButton *quickButton(Quick q) const { return m_quick[q]; }

private:
    struct AdcRow
    {
        QCheckBox *enabled;
        QComboBox *range;
        QLineEdit *value1;
        QLineEdit *value2;
        QComboBox *condition;
    };

    QWidget *buildInputs(const RuleTexts &texts);
    QWidget *buildAdcRows(const RuleTexts &texts);
    QWidget *buildSettings(const RuleTexts &texts);
    QWidget *buildQuickGroup(const RuleTexts &texts);
    void fill();
    void keepOneAnalogueContent(int checked);
    void quick(Quick q);
    void store();

    ParameterRecord &m_record;
    UploadBlock m_block;
    QCheckBox *m_inputs = nullptr;
    std::array<ColourCodeList *, 16> m_lists{};
    std::array<AdcRow, 8> m_adc{};
    QLineEdit *m_interval = nullptr;
    QComboBox *m_format = nullptr;
    std::array<QCheckBox *, kContentBits> m_content{};
    QLineEdit *m_userId = nullptr;
    std::array<QPushButton *, 6> m_quick{};
};

} // namespace vorlet

// The linkage dialog `xya`: the rules that let the device switch its relays
// when a digital input changes (sixteen rows X1..X16) or an analogue value
// crosses its thresholds (eight rows ADC1..ADC8). It edits a copy; "确定"
// writes the copy's rules into the record, "取消" leaves the record as it was.
#pragma once

#include "vorlet/io/linkage/colour_lists.h"
#include "vorlet/record/parameter_record.h"

#include <QDialog>

#include <vector>

class QGridLayout;
class QLineEdit;
class QPushButton;

namespace vorlet {

enum class XyaMode { Digital, Analogue };

class xya : public QDialog
{
public:
    static constexpr int kDialog = 152;
    static constexpr int kFirstControl = 41000; // every control numbered from here in creation order

    // The quick operations, in button order.
    enum Quick { CopySettings, CopyAction, OneToOneOpen, OneToOneClose, OneToOneToggle };

    xya(XyaMode mode, ParameterRecord &record, const Language &language, QWidget *parent = nullptr);

    XyaMode mode() const { return m_mode; }
    int rowCount() const { return int(m_rows.size()); }
    QComboBox *triggerList(int row) const { return m_rows[std::size_t(row)].trigger; }
    ColourLabels *relayLabels(int row) const { return m_rows[std::size_t(row)].relays; }
    QPushButton *actionButton(int row) const { return m_rows[std::size_t(row)].setAction; }
    // Analogue mode only.
    QComboBox *rangeList(int row) const { return m_thresholds[std::size_t(row)].range; }
    QLineEdit *value1Edit(int row) const { return m_thresholds[std::size_t(row)].value1; }
    QLineEdit *value2Edit(int row) const { return m_thresholds[std::size_t(row)].value2; }
    QComboBox *conditionList(int row) const { return m_thresholds[std::size_t(row)].condition; }
    QPushButton *quickButton(Quick q) const { return m_quick[q]; }

private:
    struct Row
    {
        QComboBox *trigger;
        ColourLabels *relays;
        QPushButton *setAction;
    };
    struct Threshold
    {
        QComboBox *range;
        QLineEdit *value1;
        QLineEdit *value2;
        QComboBox *condition;
    };

    template <typename W> W *control(W *widget);
    void buildRows(QGridLayout *grid);
    void buildThresholds(QGridLayout *grid);
    QWidget *buildQuickGroup();
    le32 &actionWord(int row);
    void openAction(int row);
    void fill();
    void collect();
    void quick(Quick q);
    void commit();

    XyaMode m_mode;
    ParameterRecord &m_record;
    IoSettings m_edit; // the rules as edited so far
    RuleTexts m_texts;
    int m_nextControl = kFirstControl;
    std::vector<Row> m_rows;
    std::vector<Threshold> m_thresholds;
    std::array<QPushButton *, 5> m_quick{};
};

} // namespace vorlet

// `timer`: sixteen timers T1..T16, each firing at a time of day on chosen
// weekdays and applying a relay action word. It edits a copy; "确定" writes
// the timers into the record, "取消" leaves the record as it was.
#pragma once

#include "vorlet/io/linkage/colour_lists.h"
#include "vorlet/record/parameter_record.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vorlet {

class timer : public QDialog
{
public:
    static constexpr int kDialog = 153;
    static constexpr int kSiblingTable = 154; // holds the captions of the buttons
    static constexpr int kTimers = 16;

    enum Quick { CopyEnabled, CopyTime, CopyExpiry, CopyWeekdays, CopyAction };

    timer(ParameterRecord &record, const Language &language, QWidget *parent = nullptr);

    QCheckBox *enabledBox(int row) const { return m_rows[std::size_t(row)].enabled; }
    QLineEdit *timeEdit(int row) const { return m_rows[std::size_t(row)].time; }
    QLineEdit *expiryEdit(int row) const { return m_rows[std::size_t(row)].expiry; }
    ColourLabels *weekdayLabels(int row) const { return m_rows[std::size_t(row)].weekdays; }
    ColourLabels *relayLabels(int row) const { return m_rows[std::size_t(row)].relays; }
    QPushButton *actionButton(int row) const { return m_rows[std::size_t(row)].setAction; }
    QPushButton *quickButton(Quick q) const { return m_quick[q]; }

private:
    struct Row
    {
        QCheckBox *enabled;
        QLineEdit *time;
        QLineEdit *expiry;
        ColourLabels *weekdays;
        ColourLabels *relays;
        QPushButton *setAction;
    };

    QWidget *buildQuickGroup();
    void fillRow(int row);
    void storeRow(int row);
    void openAction(int row);
    void quick(Quick q);
    void commit();

    ParameterRecord &m_record;
    IoSettings m_edit;
    RuleTexts m_texts;
    std::array<Row, kTimers> m_rows{};
    std::array<QPushButton *, 5> m_quick{};
};

} // namespace vorlet

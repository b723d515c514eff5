// The colour lists the I/O rule dialogs share: a drop list of the four
// 2-bit codes whose items show the code's colour, the sixteen relay lists
// with their "全..." buttons, and rows of small coloured labels.
#pragma once

#include "vorlet/io/linkage/rule_texts.h"
#include "vorlet/io/relay_word.h"

#include <QColor>
#include <QComboBox>
#include <QStringList>
#include <QWidget>

#include <array>
#include <vector>

class QLabel;
class QPushButton;

namespace vorlet {

// Code 0 red, 1 green, 2 yellow, 3 grey.
QColor codeColour(std::uint8_t code);
// A weekday label's colour: green when its bit is set, grey otherwise.
QColor weekdayColour(bool set);

// A drop list of the four codes; item k reads the name followed by words[k]
// beside a 20-pixel box in code k's colour, framed in black.
class ColourCodeList : public QComboBox
{
public:
    ColourCodeList(const QString &name, const QStringList &words, QWidget *parent);
    void setCode(std::uint8_t code);
    std::uint8_t code() const;
};

// The words of the relay lists, item by item ("断开", "闭合", "翻转", "不变").
QStringList relayCodeWords(const RuleTexts &texts);

// Sixteen relay lists Y1..Y16 with "全断开", "全闭合", "全翻转" and "全不变".
class RelayPicker : public QWidget
{
public:
    // The buttons carry the numbers the dialogs' tables give them.
    static constexpr int kAllOpen = 1118;
    static constexpr int kAllClose = 1119;
    static constexpr int kAllToggle = 1021;
    static constexpr int kAllUnchanged = 1022;

    RelayPicker(const RuleTexts &texts, QWidget *parent);

    void setWord(std::uint32_t word);
    std::uint32_t word() const;
    ColourCodeList *list(int index) const { return m_lists[std::size_t(index)]; }
    QPushButton *allButton(std::uint8_t code) const { return m_all[code]; }

private:
    std::array<ColourCodeList *, kRelayCount> m_lists{};
    std::array<QPushButton *, 4> m_all{};
};

// A row of small labels with their own background colours: a relay action
// word's sixteen codes, or a timer's seven weekdays.
class ColourLabels : public QWidget
{
public:
    ColourLabels(int count, QWidget *parent);
    void showRelayWord(std::uint32_t word);
    void showWeekdays(std::uint8_t mask);
    QColor colour(int index) const;
    int count() const { return int(m_labels.size()); }

private:
    void setColour(int index, const QColor &colour);
    std::vector<QLabel *> m_labels;
};

} // namespace vorlet

// The relay-action pickers: `action` (a relay action word) for the linkage
// rules and `taction` (a word and the weekdays) for the timers. Both hand
// back their result only when closed with "确定".
#pragma once

#include "vorlet/io/linkage/colour_lists.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QHBoxLayout;
class QPushButton;

namespace vorlet {

inline constexpr int kRuleOk = 1023;     // "确定" of `action`, `taction` and `upload`
inline constexpr int kRuleCancel = 1024; // "取消" of the same

class action : public QDialog
{
public:
    static constexpr int kDialog = 155;
    action(std::uint32_t word, const Language &language, QWidget *parent = nullptr);

    // The word of the lists when "确定" closed the dialog; the word given otherwise.
    std::uint32_t word() const { return m_word; }
    RelayPicker *picker() const { return m_picker; }

private:
    RelayPicker *m_picker;
    std::uint32_t m_word;
};

class taction : public QDialog
{
public:
    static constexpr int kDialog = 156;
    static constexpr int kFirstWeekday = 1033; // "周1" .. "周7": 1033..1039
    static constexpr int kSelectAll = 1122;
    static constexpr int kSelectNone = 1123;

    taction(std::uint32_t word, std::uint8_t weekdays, const Language &language, QWidget *parent = nullptr);

    std::uint32_t word() const { return m_word; }
    std::uint8_t weekdays() const { return m_weekdays; }
    RelayPicker *picker() const { return m_picker; }
    QCheckBox *weekday(int index) const { return m_days[std::size_t(index)]; }

private:
    std::uint8_t checkedDays() const;

    RelayPicker *m_picker;
    std::array<QCheckBox *, 7> m_days{};
    std::uint32_t m_word;
    std::uint8_t m_weekdays;
};

// "确定" and "取消" on the right of a row, numbered, wired to accept (after
// `store`) and reject.
QHBoxLayout *okCancelRow(QDialog *dialog, const RuleTexts &texts, int okControl, int cancelControl,
                         std::function<void()> store);

} // namespace vorlet

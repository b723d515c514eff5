// The timer table.
#include "vorlet/io/linkage/timer.h"

#include "vorlet/io/linkage/action_dialogs.h"
#include "vorlet/io/linkage/rule_values.h"

#include <QCheckBox>
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

constexpr const char *kQuick[] = {"将T1 启用 复制到T2-T16", "将T1 时间 复制到T2-T16",
                                  "将T1 到期时间 复制到T2-T16", "将T1 循环 复制到T2-T16",
                                  "将T1 动作 复制到T2-T16"};
// Numbers of our own for the buttons the design leaves unnumbered.
constexpr int kOk = 1;
constexpr int kCancel = 2;

QString qs(const std::string &text)
{
    return QString::fromStdString(text);
}

} // namespace

timer::timer(ParameterRecord &record, const Language &language, QWidget *parent)
    : QDialog(parent), m_record(record), m_edit(record.io), m_texts(language, kDialog, kSiblingTable)
{
    setWindowTitle(m_texts("到期时间:单位 ms ;精度100ms"));
    auto *layout = new QHBoxLayout(this);
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    const char *columns[] = {"时间", "到期时间", "循环", "动作"};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(new QLabel(m_texts(columns[c]), this), 0, c + 1);
    for (int k = 0; k < kTimers; ++k) {
        Row &row = m_rows[std::size_t(k)];
        row.enabled = new QCheckBox(RuleTexts::numberedName("T", k + 1), this);
        row.time = new QLineEdit(this);
        row.time->setFixedWidth(70);
        row.expiry = new QLineEdit(this);
        row.expiry->setFixedWidth(70);
        row.weekdays = new ColourLabels(7, this);
        row.relays = new ColourLabels(kRelayCount, this);
        row.setAction = new QPushButton(m_texts("设置动作"), this);
        connect(row.setAction, &QPushButton::clicked, this, [this, k] { openAction(k); });
        QWidget *const cells[] = {row.enabled, row.time, row.expiry, row.weekdays, row.relays, row.setAction};
        for (int c = 0; c < 6; ++c)
            grid->addWidget(cells[c], k + 1, c);
        fillRow(k);
    }
    auto *left = new QVBoxLayout;
    left->addLayout(grid);
    left->addStretch();
    layout->addLayout(left);
    auto *right = new QVBoxLayout;
    right->addWidget(buildQuickGroup());
    right->addStretch();
    right->addLayout(okCancelRow(this, m_texts, kOk, kCancel, [this] { commit(); }));
    layout->addLayout(right);
}

QWidget *timer::buildQuickGroup()
{
    auto *group = new QGroupBox(m_texts("快捷操作"), this);
    auto *column = new QVBoxLayout(group);
    for (int q = 0; q < 5; ++q) {
        m_quick[std::size_t(q)] = new QPushButton(m_texts(kQuick[q]), group);
        connect(m_quick[std::size_t(q)], &QPushButton::clicked, this, [this, q] { quick(Quick(q)); });
        column->addWidget(m_quick[std::size_t(q)]);
    }
    return group;
}

void timer::fillRow(int k)
{
    const TimerEntry &t = m_edit.timers[k];
    Row &row = m_rows[std::size_t(k)];
    row.enabled->setChecked(t.enabled != 0);
    row.time->setText(qs(timeOfDayText(t.timeOfDayS)));
    row.expiry->setText(QString::number(t.expiryMs.get()));
    row.weekdays->showWeekdays(t.weekdays);
    row.relays->showRelayWord(t.action);
}

void timer::storeRow(int k)
{
    TimerEntry &t = m_edit.timers[k];
    const Row &row = m_rows[std::size_t(k)];
    t.enabled = row.enabled->isChecked() ? 1 : 0;
    t.timeOfDayS = timeOfDaySeconds(row.time->text().toStdString());
    t.expiryMs = decimalU32(row.expiry->text().toStdString());
}

void timer::openAction(int k)
{
    TimerEntry &t = m_edit.timers[k];
    auto *picker = new taction(t.action, t.weekdays, m_texts.language(), this);
    picker->setAttribute(Qt::WA_DeleteOnClose);
    connect(picker, &QDialog::accepted, this, [this, k, picker] {
        TimerEntry &entry = m_edit.timers[k];
        entry.action = picker->word();
        entry.weekdays = picker->weekdays();
        m_rows[std::size_t(k)].weekdays->showWeekdays(entry.weekdays);
        m_rows[std::size_t(k)].relays->showRelayWord(entry.action);
    });
    picker->open();
}

void timer::quick(Quick q)
{
    const TimerEntry &first = m_edit.timers[0];
    storeRow(0);
    for (int k = 1; k < kTimers; ++k) {
        TimerEntry &t = m_edit.timers[k];
        Row &row = m_rows[std::size_t(k)];
        switch (q) {
        case CopyEnabled:
            t.enabled = first.enabled;
            row.enabled->setChecked(first.enabled != 0);
            break;
        case CopyTime:
            t.timeOfDayS = first.timeOfDayS.get();
            row.time->setText(qs(timeOfDayText(first.timeOfDayS)));
            break;
        case CopyExpiry:
            t.expiryMs = first.expiryMs.get();
            row.expiry->setText(QString::number(first.expiryMs.get()));
            break;
        case CopyWeekdays:
            t.weekdays = first.weekdays;
            row.weekdays->showWeekdays(first.weekdays);
            break;
        case CopyAction:
            t.action = first.action.get();
            row.relays->showRelayWord(first.action);
            break;
        }
    }
}

void timer::commit()
{
    for (int k = 0; k < kTimers; ++k)
        storeRow(k);
    std::memcpy(m_record.io.timers, m_edit.timers, sizeof m_edit.timers);
}

} // namespace vorlet

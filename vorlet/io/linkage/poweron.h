// `poweron`: the relays the device sets at power-on and after a time without
// commands, and that time. "确定" writes the three fields; "取消" none.
#pragma once

#include "vorlet/io/linkage/rule_texts.h"
#include "vorlet/io/relay_word.h"
#include "vorlet/record/parameter_record.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;

namespace vorlet {

class poweron : public QDialog
{
public:
    static constexpr int kDialog = 157;
    static constexpr int kOk = 1003;
    enum Group { PowerOn, Timeout };

    poweron(ParameterRecord &record, const Language &language, QWidget *parent = nullptr);

    QCheckBox *relay(Group group, int index) const { return m_boxes[group][std::size_t(index)]; }
    QLineEdit *timeoutEdit() const { return m_timeout; }

private:
    QWidget *buildGroup(Group group, const RuleTexts &texts);
    std::uint16_t mask(Group group) const;
    void store();

    ParameterRecord &m_record;
    std::array<std::array<QCheckBox *, kRelayCount>, 2> m_boxes{};
    QLineEdit *m_timeout;
};

} // namespace vorlet

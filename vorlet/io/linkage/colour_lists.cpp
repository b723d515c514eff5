// The colour lists and labels of the I/O rule dialogs.
#include "vorlet/io/linkage/colour_lists.h"

#include "vorlet/lang/dialog_captions.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlet {

QColor codeColour(std::uint8_t code)
{
    static const QColor colours[4] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(255, 255, 0),
                                      QColor(136, 136, 136)};
    return colours[code & 3];
}

QColor weekdayColour(bool set)
{
    return set ? QColor(0, 255, 0) : QColor(136, 136, 136);
}

namespace {

constexpr int kBoxWidth = 20;
constexpr int kBoxHeight = 12;

QIcon colourBox(const QColor &colour)
{
    QPixmap box(kBoxWidth, kBoxHeight);
    box.fill(colour);
    QPainter painter(&box);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, kBoxWidth - 1, kBoxHeight - 1);
    return QIcon(box);
}

} // namespace

ColourCodeList::ColourCodeList(const QString &name, const QStringList &words, QWidget *parent)
    : QComboBox(parent)
{
    setIconSize(QSize(kBoxWidth, kBoxHeight));
    for (int code = 0; code < 4; ++code)
        addItem(colourBox(codeColour(std::uint8_t(code))), name + words.value(code));
}

void ColourCodeList::setCode(std::uint8_t code)
{
    setCurrentIndex(code & 3);
}

std::uint8_t ColourCodeList::code() const
{
    return std::uint8_t(std::max(0, currentIndex()) & 3);
}

QStringList relayCodeWords(const RuleTexts &texts)
{
    return {texts("断开"), texts("闭合"), texts("翻转"), texts("不变")};
}

RelayPicker::RelayPicker(const RuleTexts &texts, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *grid = new QGridLayout;
    const QStringList words = relayCodeWords(texts);
    for (int i = 0; i < kRelayCount; ++i) {
        m_lists[std::size_t(i)] = new ColourCodeList(RuleTexts::numberedName("Y", i + 1), words, this);
        grid->addWidget(m_lists[std::size_t(i)], i % 8, i / 8);
    }
    layout->addLayout(grid);
    auto *buttons = new QHBoxLayout;
    const std::pair<int, const char *> all[4] = {
        {kAllOpen, "全断开"}, {kAllClose, "全闭合"}, {kAllToggle, "全翻转"}, {kAllUnchanged, "全不变"}};
    for (std::uint8_t code = 0; code < 4; ++code) {
        auto *button = new QPushButton(texts(all[code].second), this);
        setControlId(button, all[code].first);
        connect(button, &QPushButton::clicked, this, [this, code] { setWord(uniformRelayWord(code)); });
        buttons->addWidget(button);
        m_all[code] = button;
    }
    layout->addLayout(buttons);
}

void RelayPicker::setWord(std::uint32_t word)
{
    for (int i = 0; i < kRelayCount; ++i)
        m_lists[std::size_t(i)]->setCode(relayCode(word, i));
}

std::uint32_t RelayPicker::word() const
{
    std::uint32_t word = 0;
    for (int i = 0; i < kRelayCount; ++i)
        word = withRelayCode(word, i, m_lists[std::size_t(i)]->code());
    return word;
}

ColourLabels::ColourLabels(int count, QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int i = 0; i < count; ++i) {
        auto *label = new QLabel(QString::number(i + 1), this);
        label->setAlignment(Qt::AlignCenter);
        label->setFixedWidth(17);
        label->setAutoFillBackground(true);
        layout->addWidget(label);
        m_labels.push_back(label);
    }
}

void ColourLabels::setColour(int index, const QColor &colour)
{
    QLabel *label = m_labels[std::size_t(index)];
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
}

QColor ColourLabels::colour(int index) const
{
    return m_labels[std::size_t(index)]->palette().color(QPalette::Window);
}

void ColourLabels::showRelayWord(std::uint32_t word)
{
    for (int i = 0; i < count() && i < kRelayCount; ++i)
        setColour(i, codeColour(relayCode(word, i)));
}

void ColourLabels::showWeekdays(std::uint8_t mask)
{
    for (int i = 0; i < count(); ++i)
        setColour(i, weekdayColour((mask >> i) & 1));
}

} // namespace vorlet

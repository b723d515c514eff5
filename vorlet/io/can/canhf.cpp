// The hardware ID filter dialog.
#include "vorlet/io/can/canhf.h"

#include "vorlet/io/can/can_timing.h"
#include "vorlet/services/panel_support.h"
#include "vorlet/ui/record_texts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vorlet::can {

using namespace hfcontrol;

namespace {

QString hexText(std::uint32_t v)
{
    return QString::asprintf("%x", v);
}

std::uint32_t hexValue(const QLineEdit *edit)
{
    return hexWordValue(edit->text().toLatin1().toStdString());
}

// The groups of the bit rows, left to right: highest bit, lowest bit, caption.
struct BitGroup
{
    int high, low;
    const char *caption;
};
constexpr BitGroup kGroups[] = {{28, 24, "24-28"}, {23, 16, "16-23"}, {15, 8, "8-15"}, {7, 0, "0-7"}};

} // namespace

canhf::canhf(const CanBlock &block, const Language &language, QWidget *parent)
    : CanDialog(kHardwareDialog, language, parent)
{
    setWindowTitle(language.translate(kPanelDialog, "硬件ID过滤器"));
    build();
    const bool ext = block.extendedIds != 0;
    const std::uint32_t mask = filterWordMask(ext);
    m_extended->setChecked(ext);
    {
        // Both edits are set before they are read back.
        const QSignalBlocker quietCode(m_code);
        m_code->setText(hexText(block.acceptanceCode.get() & mask));
    }
    m_mask->setText(hexText(block.acceptanceMask.get() & mask));
    onExtended();
    applyLanguage();
}

void canhf::build()
{
    auto *layout = new QVBoxLayout(this);
    m_extended = numbered(new QCheckBox(zh("扩展帧"), this), kExtended);
    layout->addWidget(m_extended);
    auto *edits = new QHBoxLayout;
    m_code = numbered(new QLineEdit(this), kCode);
    m_mask = numbered(new QLineEdit(this), kMask);
    for (QLineEdit *e : {m_code, m_mask}) {
        e->setMaxLength(8);
        e->setMaximumWidth(100);
    }
    edits->addWidget(numbered(new QLabel(zh("接收码 0x"), this), kCodeLabel));
    edits->addWidget(m_code);
    edits->addSpacing(20);
    edits->addWidget(numbered(new QLabel(zh("屏蔽码 0x"), this), kMaskLabel));
    edits->addWidget(m_mask);
    edits->addStretch();
    layout->addLayout(edits);

    // Bit 0 at the right; a column of space between the groups.
    auto *bits = new QGridLayout;
    bits->setHorizontalSpacing(1);
    int column = 0;
    for (const BitGroup &g : kGroups) {
        bits->addWidget(new QLabel(QString::fromLatin1(g.caption), this), 0, column, 1, g.high - g.low + 1,
                        Qt::AlignHCenter);
        for (int bit = g.high; bit >= g.low; --bit, ++column) {
            m_codeBits[std::size_t(bit)] = numbered(new QPushButton(this), kCodeBits + bit);
            m_maskBits[std::size_t(bit)] = numbered(new QPushButton(this), kMaskBits + bit);
            for (int row = 1; row <= 2; ++row) {
                QPushButton *b = row == 1 ? m_codeBits[std::size_t(bit)] : m_maskBits[std::size_t(bit)];
                b->setCheckable(true);
                b->setFixedSize(20, 22);
                b->setToolTip(QString::number(bit));
                bits->addWidget(b, row, column);
                connect(b, &QPushButton::clicked, this, [this] { onBitClicked(); });
            }
        }
        bits->setColumnMinimumWidth(column++, 8);
    }
    layout->addLayout(bits);
    m_count = numbered(new QLabel(this), kCount);
    layout->addWidget(m_count);

    auto *buttons = new QHBoxLayout;
    auto *ok = numbered(new QPushButton(zh("确定"), this), kOk);
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    connect(m_extended, &QCheckBox::toggled, this, [this] { onExtended(); });
    connect(m_code, &QLineEdit::textChanged, this, [this] { onHexEdited(); });
    connect(m_mask, &QLineEdit::textChanged, this, [this] { onHexEdited(); });
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
}

bool canhf::extended() const
{
    return m_extended->isChecked();
}

void canhf::onExtended()
{
    const int enabledBits = extended() ? kFilterBits : 11;
    for (int bit = 0; bit < kFilterBits; ++bit) {
        m_codeBits[std::size_t(bit)]->setEnabled(bit < enabledBits);
        m_maskBits[std::size_t(bit)]->setEnabled(bit < enabledBits);
    }
    onHexEdited();
}

void canhf::onHexEdited()
{
    const std::uint32_t mask = filterWordMask(extended());
    const std::uint32_t acceptance = hexValue(m_mask) & mask;
    showBits(m_codeBits, hexValue(m_code) & mask);
    showBits(m_maskBits, acceptance);
    m_count->setText(formatText(tr("接收的ID 数:%d"), int(acceptedIdCount(acceptance, extended()))));
}

void canhf::onBitClicked()
{
    // The edits follow the toggles; their change handler repaints the rows.
    const std::uint32_t code = bitsOf(m_codeBits);
    const std::uint32_t mask = bitsOf(m_maskBits);
    m_code->setText(hexText(code));
    m_mask->setText(hexText(mask));
    onHexEdited();
}

void canhf::showBits(const BitRow &row, std::uint32_t word)
{
    for (int bit = 0; bit < kFilterBits; ++bit) {
        const bool set = (word >> bit & 1) != 0;
        row[std::size_t(bit)]->setChecked(set);
        row[std::size_t(bit)]->setText(set ? QStringLiteral("1") : QStringLiteral("0"));
    }
}

std::uint32_t canhf::bitsOf(const BitRow &row)
{
    std::uint32_t word = 0;
    for (int bit = 0; bit < kFilterBits; ++bit)
        if (row[std::size_t(bit)]->isChecked()) word |= std::uint32_t(1) << bit;
    return word;
}

void canhf::apply(CanBlock &block) const
{
    const std::uint32_t mask = filterWordMask(extended());
    block.extendedIds = extended() ? 1 : 0;
    block.acceptanceCode = hexValue(m_code) & mask;
    block.acceptanceMask = hexValue(m_mask) & mask;
}

} // namespace vorlet::can

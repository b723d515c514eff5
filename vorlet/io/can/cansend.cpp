// The smart message sender dialog.
#include "vorlet/io/can/cansend.h"

#include "common/hex_text.h"
#include "vorlet/io/can/can_timing.h"
#include "vorlet/services/panel_support.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace vorlet::can {

using namespace sendcontrol;

namespace {

constexpr std::size_t kFrameBytes = 13;

std::optional<kyvo::Bytes> frameBytes(const QLineEdit *edit)
{
    return kyvo::parseHexText(edit->text().toLatin1().toStdString());
}

} // namespace

cansend::cansend(const CanBlock &block, const Language &language, QWidget *parent)
    : CanDialog(kSenderDialog, language, parent)
{
    setWindowTitle(language.translate(kPanelDialog, "智能报文发送器"));
    build();
    for (std::size_t r = 0; r < kCanRecords; ++r) {
        const CanSender &s = block.senders[r];
        m_rows[r].enabled->setChecked(s.enabled != 0);
        if (senderFrameShown(s.frame))
            m_rows[r].frame->setText(QString::fromStdString(kyvo::hexTextSpaced(s.frame)));
        m_rows[r].delay->setText(QString::number(s.delayMs.get()));
    }
    applyLanguage();
}

void cansend::build()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(numbered(new QLabel(zh("发送器:按照顺序依次循环发送以下设置的报文"), this), kHeader));
    auto *grid = new QGridLayout;
    grid->addWidget(
        numbered(new QLabel(zh("请输入 13 字节 经典报文格式 （十六进制格式）"), this), kFrameCaption), 0, 2);
    grid->addWidget(numbered(new QLabel(zh("延时（0-65536ms）"), this), kDelayCaption), 0, 3);
    // The table names only some of the boxes; every row reads the same.
    const QString start = tr("启动");
    for (int r = 0; r < int(kCanRecords); ++r) {
        Row &row = m_rows[std::size_t(r)];
        row.enabled = numbered(new QCheckBox(start, this), kFirstEnable + r);
        row.frame = numbered(new QLineEdit(this), kFirstFrame + r);
        row.frame->setMinimumWidth(330);
        row.delay = numbered(new QLineEdit(this), kFirstDelay + r);
        row.delay->setMaximumWidth(90);
        grid->addWidget(numbered(new QLabel(zh("发送器%1").arg(r + 1), this), kFirstRowLabel + r), r + 1, 0);
        grid->addWidget(row.enabled, r + 1, 1);
        grid->addWidget(row.frame, r + 1, 2);
        grid->addWidget(row.delay, r + 1, 3);
    }
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);

    auto *buttons = new QHBoxLayout;
    auto *ok = numbered(new QPushButton(zh("确定"), this), kOk);
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { confirm(); });
}

void cansend::confirm()
{
    const bool allHex = std::all_of(m_rows.begin(), m_rows.end(),
                                    [](const Row &row) { return frameBytes(row.frame).has_value(); });
    // The message outlives the dialog: it belongs to the window behind it.
    if (!allHex) showMessage(parentWidget(), tr(std::string(kyvo::kHexErrorText).c_str()));
    accept();
}

void cansend::apply(CanBlock &block) const
{
    for (std::size_t r = 0; r < kCanRecords; ++r) {
        const Row &row = m_rows[r];
        CanSender &s = block.senders[r];
        s.delayMs = u16Value(row.delay->text());
        s.enabled = row.enabled->isChecked() ? 1 : 0;
        const auto bytes = frameBytes(row.frame);
        if (!bytes || bytes->empty()) continue;
        std::memset(s.frame, 0, sizeof s.frame);
        std::memcpy(s.frame, bytes->data(), std::min(bytes->size(), kFrameBytes));
    }
}

} // namespace vorlet::can

// The smart message filter dialog.
#include "vorlet/io/can/cansf.h"

#include "common/decimal.h"
#include "vorlet/io/can/can_timing.h"
#include "vorlet/services/panel_support.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlet::can {

using namespace sfcontrol;

cansf::cansf(const CanBlock &block, const Language &language, QWidget *parent)
    : CanDialog(kFilterDialog, language, parent)
{
    setWindowTitle(language.translate(kPanelDialog, "智能报文过滤器"));
    build();
    // The rows are filled at once, so "确定" can never store rows not yet shown.
    fill(block);
    applyLanguage();
}

void cansf::build()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        numbered(new QLabel(zh("报文过滤器: 会依次按照以下过滤器依次进行过滤。"), this), kHeader));
    auto *grid = new QGridLayout;
    const char *headers[] = {"逻辑", "帧类型", "数据类型", "开始字节(1-8)", "最小(包含)", "最大(包含)"};
    for (int c = 0; c < 6; ++c)
        grid->addWidget(numbered(new QLabel(zh(headers[c]), this), 1317 + c), 0, c + 1);
    const Language &l = language();
    for (int r = 0; r < int(kCanRecords); ++r) {
        Row &row = m_rows[std::size_t(r)];
        auto list = [&](Column column) { return numbered(new QComboBox(this), rowControl(r, column)); };
        row.logic = list(kLogic);
        setTranslatedItems(row.logic, l, kFilterDialog, kLogicItems);
        row.frameType = list(kFrameType);
        setTranslatedItems(row.frameType, l, kFilterDialog, kFrameTypes);
        row.dataType = list(kDataType);
        setTranslatedItems(row.dataType, l, kFilterDialog, kDataTypes);
        row.startByte = list(kStartByte);
        for (int b = 1; b <= 8; ++b)
            row.startByte->addItem(QString::number(b));
        row.minimum = numbered(new QLineEdit(this), rowControl(r, kMinimum));
        row.maximum = numbered(new QLineEdit(this), rowControl(r, kMaximum));
        for (QLineEdit *edit : {row.minimum, row.maximum}) {
            edit->setMinimumWidth(90);
            edit->setMaximumWidth(110);
        }
        const QString caption = zh("报文过滤%1").arg(r + 1);
        grid->addWidget(numbered(new QLabel(caption, this), kFirstRowLabel + r), r + 1, 0);
        QWidget *cells[] = {row.logic, row.frameType, row.dataType, row.startByte, row.minimum, row.maximum};
        for (int c = 0; c < 6; ++c)
            grid->addWidget(cells[c], r + 1, c + 1);
    }
    layout->addLayout(grid);

    auto *buttons = new QHBoxLayout;
    auto *ok = numbered(new QPushButton(zh("确定"), this), kOk);
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
}

void cansf::fill(const CanBlock &block)
{
    for (std::size_t r = 0; r < kCanRecords; ++r) {
        CanFilter f = block.filters[r];
        repairFilter(f);
        const Row &row = m_rows[r];
        row.logic->setCurrentIndex(f.logic);
        row.frameType->setCurrentIndex(f.frameType);
        row.dataType->setCurrentIndex(f.dataType);
        row.startByte->setCurrentIndex(f.startByte);
        row.minimum->setText(QString::number(std::int32_t(f.minimum.get())));
        row.maximum->setText(QString::number(std::int32_t(f.maximum.get())));
    }
}

void cansf::apply(CanBlock &block) const
{
    auto number = [](const QLineEdit *edit) {
        const QByteArray text = edit->text().toLatin1();
        return std::uint32_t(
            kyvo::parseDecimal32(std::string_view(text.constData(), std::size_t(text.size()))));
    };
    for (std::size_t r = 0; r < kCanRecords; ++r) {
        const Row &row = m_rows[r];
        CanFilter &f = block.filters[r];
        f.logic = selectedIndex(row.logic);
        f.frameType = selectedIndex(row.frameType);
        f.dataType = selectedIndex(row.dataType);
        f.startByte = selectedIndex(row.startByte);
        f.minimum = number(row.minimum);
        f.maximum = number(row.maximum);
    }
}

} // namespace vorlet::can

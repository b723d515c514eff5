// The one-to-many address dialog.
#include "pelmar/advanced/one_to_many_dialog.h"

#include "common/decimal.h"

#include "common/widgets/english_supplement.h"
#include "pelmar/lang/english_supplement.h"
#include "pelmar/lang/language_table.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelmar {

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    return l;
}

std::uint8_t lowByte(const QLineEdit *edit)
{
    return std::uint8_t(kyvo::parseDecimal(edit->text().toStdString()) & 0xFF);
}

} // namespace

OneToManyDialog::OneToManyDialog(const DeviceEntry &entry, const LanguageTable &language, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(u("对话"));
    auto *v = new QVBoxLayout(this);
    v->addWidget(
        plainLabel(u("一串口转多串口，适合MODBUS协议，主串口可以根据映射的地址向从串口发送数据。"), this));
    v->addWidget(
        plainLabel(u("主端口：PORT1   注：如果第一个串口设置为一串口转多串口模式，则其余的全为从串口，"
                     "网络转换将不可用"),
                   this));
    auto *protocolRow = new QHBoxLayout;
    m_protocol = new QComboBox(this);
    m_protocol->addItems({u("modbus rtu"), u("中继模式"), u("编码器FFH81H"), u("更多转换协议欢迎前来定制")});
    protocolRow->addWidget(new QLabel(u("转换协议"), this));
    protocolRow->addWidget(m_protocol);
    protocolRow->addStretch(1);
    v->addLayout(protocolRow);
    v->addWidget(plainLabel(u("如果你购买的设备没有24个串口，请忽略后面的设置。"), this));

    // PORT2 .. PORT13 on the left, PORT14 .. PORT24 on the right.
    auto *grid = new QGridLayout;
    constexpr int kLeftRows = 12;
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        const std::size_t k = std::size_t(port - kFirstPort);
        const int row = int(k) % kLeftRows, column = int(k) / kLeftRows * 4;
        const PortSettings &p = entry.ports[std::size_t(port - 1)];
        m_address[k] = new QLineEdit(QString::number(p.oneToManyAddress), this);
        m_mapped[k] = new QLineEdit(QString::number(p.oneToManyMapped), this);
        for (QLineEdit *e : {m_address[k], m_mapped[k]})
            e->setMaximumWidth(60);
        grid->addWidget(new QLabel(inLanguage(language.language(), "PORT%1地址").arg(port), this), row,
                        column);
        grid->addWidget(m_address[k], row, column + 1);
        grid->addWidget(new QLabel(u("映射地址"), this), row, column + 2);
        grid->addWidget(m_mapped[k], row, column + 3);
    }
    grid->setColumnMinimumWidth(4, 90);
    v->addLayout(grid);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(language.text(slot::kOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(language.text(slot::kCancel), QDialogButtonBox::RejectRole);
    v->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    kyvo::applyEnglishSupplement(this, supplementaryEnglish, language.language() == Language::English);

    const int stored = entry.oneToManyProtocol;
    m_protocol->setCurrentIndex(stored < m_protocol->count() ? stored : 0);
    connect(m_protocol, &QComboBox::activated, this, &OneToManyDialog::onProtocolChosen);
    // Every edit starts enabled, whatever protocol is stored.
    setMaximumWidth(640);
}

void OneToManyDialog::onProtocolChosen(int index)
{
    for (std::size_t k = 0; k < kEdits; ++k) {
        m_address[k]->setEnabled(index != kRelayMode);
        m_mapped[k]->setEnabled(index != kRelayMode);
    }
}

void OneToManyDialog::storeInto(DeviceEntry &entry) const
{
    entry.oneToManyProtocol = std::uint8_t(std::max(0, m_protocol->currentIndex()));
    for (std::size_t k = 0; k < kEdits; ++k) {
        PortSettings &p = entry.ports[k + 1];
        p.oneToManyAddress = lowByte(m_address[k]);
        p.oneToManyMapped = lowByte(m_mapped[k]);
    }
}

} // namespace pelmar

// The custom bit-timing dialog.
#include "vorlet/io/can/canbitrate.h"

#include "vorlet/services/panel_support.h"
#include "vorlet/ui/record_texts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlet::can {

using namespace bitratecontrol;

namespace {

// Sets a flag for the length of a scope.
class Writing
{
public:
    explicit Writing(bool &flag) : m_flag(flag), m_was(flag) { m_flag = true; }
    ~Writing() { m_flag = m_was; }

private:
    bool &m_flag;
    bool m_was;
};

std::string latin(const QString &text)
{
    return text.toLatin1().toStdString();
}

} // namespace

canbitrate::canbitrate(const CanBlock &block, const Language &language, QWidget *parent)
    : CanDialog(kBitRateDialog, language, parent)
{
    setWindowTitle(ownText(language, kBitRateTitle));
    build();
    const Timing stored = timingWithDefaults(storedTiming(block));
    {
        const Writing quiet(m_writing);
        selectStoredIndex(m_tseg1, stored.tseg1 - 1);
        selectStoredIndex(m_tseg2, stored.tseg2 - 1);
        m_brp->setText(QString::number(stored.brp));
    }
    // The wanted rate starts at the stored one, which runs the search.
    m_wanted->setText(QString::asprintf("%0.3f", actualRate(stored) / 1000.0));
    // A stored timing slower than the search can reach stays as it is.
    if (!m_refusal.isEmpty()) onManualTiming();
    applyLanguage();
}

void canbitrate::build()
{
    auto *layout = new QVBoxLayout(this);
    auto label = [this](int id, const char *caption) { return numbered(new QLabel(zh(caption), this), id); };

    auto *wantedRow = new QHBoxLayout;
    m_wanted = numbered(new QLineEdit(this), kWanted);
    m_wanted->setMaximumWidth(90);
    wantedRow->addWidget(label(kWantedLabel, "期望波特率"));
    wantedRow->addWidget(m_wanted);
    wantedRow->addWidget(new QLabel(QStringLiteral(" (1-1000)k bps"), this));
    wantedRow->addStretch();
    layout->addLayout(wantedRow);
    m_result = numbered(new QLabel(this), kResult);
    layout->addWidget(m_result);

    m_more = new QWidget(this);
    auto *grid = new QGridLayout(m_more);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *sjw = numbered(new QComboBox(m_more), kSjw);
    sjw->addItem(QStringLiteral("1"));
    sjw->setEnabled(false);
    m_tseg1 = numbered(new QComboBox(m_more), kTseg1);
    for (int i = 1; i <= kMaxTseg1; ++i)
        m_tseg1->addItem(QString::number(i));
    m_tseg2 = numbered(new QComboBox(m_more), kTseg2);
    for (int i = 1; i <= kMaxTseg2; ++i)
        m_tseg2->addItem(QString::number(i));
    m_brp = numbered(new QLineEdit(m_more), kBrp);
    m_brp->setMaximumWidth(90);
    m_sampling = numbered(new QLabel(m_more), kSampling);
    m_actual = numbered(new QLabel(m_more), kActual);
    grid->addWidget(label(1310, "同步段(sjw)"), 0, 0);
    grid->addWidget(sjw, 0, 1);
    grid->addWidget(label(1311, "相位缓冲1(tseg1)"), 1, 0);
    grid->addWidget(m_tseg1, 1, 1);
    grid->addWidget(label(1312, "相位缓冲2(tseg2)"), 2, 0);
    grid->addWidget(m_tseg2, 2, 1);
    grid->addWidget(label(1313, "分频(brp)"), 3, 0);
    grid->addWidget(m_brp, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("(1-4000)"), m_more), 3, 2);
    grid->addWidget(label(1314, "采样率"), 4, 0);
    grid->addWidget(m_sampling, 4, 1);
    grid->addWidget(label(1315, "波特率"), 5, 0);
    grid->addWidget(m_actual, 5, 1);
    grid->addWidget(new QLabel(QStringLiteral("k bps"), m_more), 5, 2);
    grid->addWidget(label(kFormula, "波特率=80000000/(sjw+tseg1+tseg2)/brp"), 6, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    layout->addWidget(m_more);
    m_more->hide();

    auto *buttons = new QHBoxLayout;
    auto *more = linkLabel(this, kMore, zh("更多设置>>"));
    auto *ok = numbered(new QPushButton(zh("确定"), this), kOk);
    ok->setDefault(true);
    buttons->addWidget(more);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    connect(more, &QLabel::linkActivated, this, [this] { toggleForm(); });
    connect(ok, &QPushButton::clicked, this, [this] { confirm(); });
    connect(m_wanted, &QLineEdit::textChanged, this, [this] { onWantedRate(); });
    connect(m_brp, &QLineEdit::textChanged, this, [this] { onManualTiming(); });
    for (QComboBox *list : {m_tseg1, m_tseg2})
        connect(list, &QComboBox::currentIndexChanged, this, [this] { onManualTiming(); });
}

bool canbitrate::longForm() const
{
    return !m_more->isHidden();
}

void canbitrate::toggleForm()
{
    m_more->setVisible(m_more->isHidden());
    adjustSize();
}

Timing canbitrate::timing() const
{
    const std::int64_t brp = decimalValue(m_brp->text());
    return {int(std::clamp<std::int64_t>(brp, 0, kMaxBrp + 1)), m_tseg1->currentIndex() + 1,
            m_tseg2->currentIndex() + 1};
}

void canbitrate::onWantedRate()
{
    if (m_writing) return;
    const auto rate = wantedRateBps(latin(m_wanted->text()));
    if (!rate) return;
    if (*rate > kMaxRateBps) {
        {
            const Writing quiet(m_writing);
            m_wanted->setText(QStringLiteral("1000"));
        }
        onWantedRate();
        return;
    }
    if (*rate < kMinRateBps) {
        // Below 1 kbps the prescaler would pass 4000: the timing stays as it was.
        m_refusal = ownText(language(), kRateRefused);
        m_result->setText(m_refusal);
        return;
    }
    const RateChoice choice = timingForRate(std::uint32_t(*rate));
    const Writing quiet(m_writing);
    m_tseg1->setCurrentIndex(choice.timing.tseg1 - 1);
    m_tseg2->setCurrentIndex(choice.timing.tseg2 - 1);
    const QString brp = QString::number(choice.timing.brp);
    if (m_brp->text() != brp) m_brp->setText(brp);
    showTiming(choice.timing, choice.actual);
    m_refusal.clear();
}

void canbitrate::onManualTiming()
{
    if (m_writing) return;
    if (m_brp->text().isEmpty()) return;
    const Writing quiet(m_writing);
    std::int64_t brp = decimalValue(m_brp->text());
    if (brp > kMaxBrp) {
        m_brp->setText(QString::number(kMaxBrp));
        brp = kMaxBrp;
    }
    if (brp < 1) {
        // A prescaler of 0 would divide by zero; the device takes 1..4000.
        m_refusal = ownText(language(), kBrpRefused);
        m_result->setText(m_refusal);
        return;
    }
    const Timing t{int(brp), m_tseg1->currentIndex() + 1, m_tseg2->currentIndex() + 1};
    const QString brpText = QString::number(brp);
    if (m_brp->text() != brpText) m_brp->setText(brpText);
    showTiming(t, actualRate(t));
    if (m_wanted->text() != m_actual->text()) m_wanted->setText(m_actual->text());
    m_refusal.clear();
}

void canbitrate::showTiming(Timing t, std::uint32_t actual)
{
    const int sampling = samplingPercent(t);
    m_sampling->setText(QString::asprintf("%d%%", sampling));
    m_actual->setText(QString::asprintf(" %0.3f  ", actual / 1000.0));
    m_result->setText(formatText(tr("实际波特率:%0.3f k bps  采样率:%d%%"), actual / 1000.0, sampling));
}

void canbitrate::confirm()
{
    const Timing t = timing();
    if (m_refusal.isEmpty() && (t.brp < 1 || t.brp > kMaxBrp)) m_refusal = ownText(language(), kBrpRefused);
    if (!m_refusal.isEmpty()) {
        showMessage(this, m_refusal);
        return;
    }
    accept();
}

void canbitrate::apply(CanBlock &block) const
{
    const Timing t = timing();
    block.tseg1 = std::uint8_t(t.tseg1);
    block.tseg2 = std::uint8_t(t.tseg2);
    block.brp = std::uint16_t(std::clamp(t.brp, 1, kMaxBrp));
    block.customConfirmed = 1;
}

} // namespace vorlet::can

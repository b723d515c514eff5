// The repair window.
#include "pelmar/files/repair_dialog.h"

#include "pelmar/lang/english_supplement.h"

#include <QLabel>
#include <QVBoxLayout>

namespace pelmar {

namespace {
constexpr int kPollMs = 20;
}

RepairDialog::RepairDialog(std::function<void()> sendCommit, const kyvo::Clock *clock, QWidget *parent,
                           int countdown, Language language)
    : QDialog(parent), m_sendCommit(std::move(sendCommit)), m_clock(clock), m_session(countdown),
      m_language(language)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    setWindowTitle(inLanguage(m_language, "BUG 修复"));
    m_text = new QLabel(inLanguage(m_language, "BUG 修复中  "), this);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setTextFormat(Qt::PlainText);
    auto *v = new QVBoxLayout(this);
    v->addWidget(m_text);
    resize(260, 100);
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &RepairDialog::poll);
}

RepairDialog::~RepairDialog() = default;

void RepairDialog::start()
{
    m_session.start(m_clock->now());
    m_timer.start();
    setWindowModality(Qt::WindowModal);
    open();
}

void RepairDialog::poll()
{
    const RepairSession::Due due = m_session.poll(m_clock->now());
    for (int i = 0; i < due.frames; ++i)
        m_sendCommit();
    for (int value : due.shown)
        m_text->setText(inLanguage(m_language, "BUG正在修复中 %1").arg(value));
    if (due.finished) {
        m_timer.stop();
        accept();
    }
}

QString RepairDialog::text() const
{
    return m_text->text();
}

} // namespace pelmar

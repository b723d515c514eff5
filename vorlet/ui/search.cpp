// Cross-router search progress.
#include "vorlet/ui/search.h"

#include "vorlet/core/gateway_core.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>

namespace vorlet {

search::search(GatewayCore &core, QWidget *parent) : QDialog(parent), m_core(core)
{
    setWindowTitle(QStringLiteral("search"));
    auto *v = new QVBoxLayout(this);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    m_address = new QLabel(this);
    m_address->setObjectName(QStringLiteral("currentAddress"));
    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("counts"));
    m_stop = new QPushButton(QStringLiteral("Button1"), this);
    m_stop->setAutoDefault(false);
    v->addWidget(m_progress);
    auto *row = new QHBoxLayout;
    row->addWidget(m_address, 1);
    row->addWidget(m_counts);
    v->addLayout(row);
    v->addWidget(m_stop, 0, Qt::AlignRight);
    connect(m_stop, &QPushButton::clicked, this, &search::stop);
    connect(&m_core, &GatewayCore::sweepProgress, this, &search::refresh);
    connect(&m_core, &GatewayCore::sweepFinished, this, &search::finished);
    resize(360, 120);
}

void search::start(const std::vector<SearchRange> &ranges)
{
    std::uint64_t total = 0;
    for (const SearchRange &r : ranges)
        total += rangeSize(r.start, r.end);
    m_progress->setRange(0, int(std::min<std::uint64_t>(total / 10, INT_MAX)));
    m_progress->setValue(std::min(1, m_progress->maximum()));
    m_counts->setText(QString::asprintf("0/%llu", static_cast<unsigned long long>(total)));
    m_running = true;
    // The core empties the list first; with no address it finishes at once.
    if (!m_core.startCrossRouterSearch(ranges)) finished();
}

void search::refresh()
{
    const CrossRouterSweep *sweep = m_core.sweep();
    if (!sweep || !m_running) return;
    m_address->setText(QString::fromStdString(sweep->currentAddress()));
    m_progress->setValue(int(std::min<std::uint64_t>(sweep->progressPosition(), INT_MAX)));
    m_counts->setText(QString::asprintf("%llu/%llu", static_cast<unsigned long long>(sweep->done()),
                                        static_cast<unsigned long long>(sweep->total())));
}

void search::stop()
{
    m_stop->setEnabled(false);
    m_core.stopCrossRouterSearch();
    if (!m_core.sweepRunning()) finished();
}

void search::reject()
{
    stop();
}

void search::finished()
{
    if (!m_running) return;
    m_running = false;
    done(QDialog::Accepted);
}

} // namespace vorlet

// Simulator thread for in-process tests.
#include "devsim/core/sim_host.h"

namespace devsim {

SimHost::SimHost(SimNetwork::Options options) : m_network(new SimNetwork(std::move(options)))
{
    m_thread.setObjectName(QStringLiteral("devsim"));
}

SimHost::~SimHost()
{
    if (m_started) {
        QMetaObject::invokeMethod(m_network, [n = m_network] { delete n; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    } else {
        delete m_network;
    }
}

bool SimHost::start(QString *error)
{
    m_network->moveToThread(&m_thread);
    m_thread.start();
    m_started = true;
    bool ok = false;
    QMetaObject::invokeMethod(m_network, [&] { ok = m_network->start(error); }, Qt::BlockingQueuedConnection);
    return ok;
}

void SimHost::call(const std::function<void(SimNetwork &)> &f)
{
    QMetaObject::invokeMethod(m_network, [&] { f(*m_network); }, Qt::BlockingQueuedConnection);
}

} // namespace devsim

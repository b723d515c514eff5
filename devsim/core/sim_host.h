// The simulator inside a test: the simulated network runs in a thread of its
// own, and the test reaches its devices through call().
#pragma once

#include "devsim/core/sim_network.h"

#include <QThread>

#include <functional>

namespace devsim {

class SimHost
{
public:
    explicit SimHost(SimNetwork::Options options);
    ~SimHost();

    // Before start(): devices are added in the test's thread.
    SimDevice &add(std::unique_ptr<SimDevice> device) { return m_network->add(std::move(device)); }
    bool start(QString *error = nullptr);

    // Runs f in the simulator's thread and waits for it.
    void call(const std::function<void(SimNetwork &)> &f);
    template <typename T> T get(const std::function<T(SimNetwork &)> &f)
    {
        T value{};
        call([&](SimNetwork &net) { value = f(net); });
        return value;
    }
    SimNetwork &network() { return *m_network; } // only before start()

private:
    QThread m_thread;
    SimNetwork *m_network;
    bool m_started = false;
};

} // namespace devsim

// One-click configuration of one server.
#include "pelmar/ui/one_click_save.h"

#include "pelmar/files/one_click.h"
#include "pelmar/lang/english_supplement.h"

namespace pelmar {

namespace {
constexpr int kPortsDifferSlot = 304; // "端口数不匹配！"
const char *const kCannotWriteText = "该设备的记录格式无法写入";
const char *const kNoAnswerText = "保存无应答";
} // namespace

std::size_t datagramCount(const SavePlan &plan)
{
    std::size_t n = 0;
    for (const SaveStep &s : plan.steps)
        n += !s.datagram.empty();
    return n;
}

OneClickSave::OneClickSave(ServerCore &core, ServerCommands::Options options, QObject *parent)
    : QObject(parent), m_core(core), m_clock(options.clock), m_commands(core, options), m_timer(this)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<kyvo::SteadyClock>();
        m_clock = m_ownClock.get();
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &OneClickSave::poll);
    connect(&m_commands, &ServerCommands::datagramSent, this, &OneClickSave::onSent);
    connect(&m_commands, &ServerCommands::saveAccepted, this, [this] { onAnswer(true); });
    connect(&m_commands, &ServerCommands::saveRefused, this, [this] { onAnswer(false); });
    connect(&m_commands, &ServerCommands::invalidHostReached, this, [this](int port) {
        m_invalidHost = true;
        Q_EMIT invalidHost(port);
        check();
    });
}

OneClickSave::~OneClickSave() = default;

OneClickSave::Refusal OneClickSave::start(std::size_t index, const DeviceEntry &imported)
{
    DeviceEntry &target = m_core.devices().at(index);
    if (!importedPortsFit(imported, target)) return Refusal::PortsDiffer;
    applyImportedEntry(imported, target);
    m_deviceDatagrams = datagramCount(deviceSavePlan(target));
    if (m_deviceDatagrams == 0) return Refusal::CannotWrite;
    m_running = true;
    m_lastSend = m_lastAnswer = m_clock->now();
    m_commands.saveDeviceThenPorts(index, storedHostLengths(target));
    check();
    return Refusal::None;
}

QString OneClickSave::refusalText(Refusal refusal) const
{
    if (refusal == Refusal::PortsDiffer) return m_core.language().text(kPortsDifferSlot);
    return inLanguage(m_core.language().language(), kCannotWriteText);
}

void OneClickSave::onSent()
{
    ++m_sent;
    m_lastSend = m_clock->now();
    Save &s = current();
    if (!s.started) {
        s.started = true;
        Q_EMIT saveStarted(&s == &m_saves[1] ? 1 : 0);
    }
    arm();
}

void OneClickSave::onAnswer(bool accepted)
{
    // Answers that arrive before the port save's first datagram leaves belong to the device save.
    Save &s = current();
    if (accepted) {
        ++s.accepted;
    } else {
        ++s.refused;
        s.refusal = m_core.statusText(ServerCore::SavePane);
    }
    m_lastAnswer = m_clock->now();
    arm();
}

bool OneClickSave::everySaveAnswered() const
{
    for (const Save &s : m_saves)
        if (s.started && s.accepted + s.refused == 0) return false;
    return true;
}

std::optional<kyvo::Millis> OneClickSave::deadline() const
{
    if (!m_running) return std::nullopt;
    const kyvo::Millis unanswered = m_lastSend + kAnswerWait;
    return everySaveAnswered() ? std::min(unanswered, m_lastAnswer + kAnswerSettle) : unanswered;
}

bool OneClickSave::succeeded() const
{
    bool ok = !m_invalidHost;
    for (const Save &s : m_saves)
        ok = ok && s.started && s.accepted > 0 && s.refused == 0;
    return ok;
}

QString OneClickSave::outcomeText(int which) const
{
    const Save &s = save(which);
    if (s.refused) return s.refusal;
    if (s.accepted) return m_core.language().text(slot::kSaved);
    return {};
}

QString OneClickSave::noAnswerText() const
{
    return inLanguage(m_core.language().language(), kNoAnswerText);
}

void OneClickSave::poll()
{
    m_commands.poll();
    check();
}

void OneClickSave::check()
{
    const auto due = deadline();
    if (m_running && !m_commands.session().sending() && due && *due <= m_clock->now()) {
        m_running = false;
        m_timer.stop();
        Q_EMIT finished(succeeded());
        return;
    }
    arm();
}

void OneClickSave::arm()
{
    const auto due = deadline();
    if (!due) {
        m_timer.stop();
        return;
    }
    // A save still sending is looked at again shortly (its pauses are far shorter than the wait).
    const kyvo::Millis::rep least = m_commands.session().sending() ? 10 : 0;
    m_timer.start(int(std::max<kyvo::Millis::rep>(least, (*due - m_clock->now()).count())));
}

} // namespace pelmar

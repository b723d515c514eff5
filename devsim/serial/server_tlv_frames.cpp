// A serial server's side of the sub-dialogs' "h:" frames.
#include "devsim/serial/server_sim.h"

namespace devsim {

namespace {
constexpr std::uint8_t kRead = 0x03, kWrite = 0x04, kReplyBit = 0x80;
constexpr std::uint8_t kSaveLead = 0x01, kDebugRunLead = 0x00;
constexpr std::size_t kOverhead = 14; // header 6, MAC 6, "E."
} // namespace

bool ServerSim::keepsTlvSettings() const
{
    return m_profile.family == ServerFamily::Multi1284 || m_profile.family == ServerFamily::Multi2326;
}

std::optional<std::pair<int, std::uint8_t>> ServerSim::tlvPath(const QString &path) const
{
    int port = -1;
    QString rest = path;
    if (path.startsWith(QLatin1String("port"))) {
        bool ok = false;
        port = path.mid(4, path.indexOf(QLatin1Char('.')) - 4).toInt(&ok) - 1;
        if (!ok || port < 0 || port >= TlvStore::kPorts) return std::nullopt;
        rest = path.mid(path.indexOf(QLatin1Char('.')) + 1);
    }
    if (!rest.startsWith(QLatin1String("tlv."))) return std::nullopt;
    bool ok = false;
    const uint type = rest.mid(4).toUInt(&ok, 16);
    if (!ok || type > 0xFF) return std::nullopt;
    return std::pair{port, std::uint8_t(type)};
}

void ServerSim::handleTlvFrame(ByteView f, const Incoming &in, Outbox &out)
{
    const std::size_t n = f.size();
    if (!keepsTlvSettings() || n < kOverhead || f[1] != ':' || f[n - 2] != 'E' || f[n - 1] != '.') return;
    if (!std::equal(m_profile.mac.begin(), m_profile.mac.end(), f.end() - 8)) return;
    const std::size_t declared = std::size_t(f[4] << 8 | f[5]);
    if (declared != n - kOverhead) {
        ++counters[QStringLiteral("bad-frames")];
        return;
    }
    const ByteView body = f.subspan(6, declared);
    const std::uint8_t code = f[3];
    if (code == kRead) {
        ++counters[QStringLiteral("tlv-reads")];
        return answerTlv(code, m_tlv.answerRead(body), in, out);
    }
    if (code != kWrite || body.empty()) return;
    if (body[0] == kSaveLead) {
        if (!m_tlv.save(body.subspan(1))) {
            ++counters[QStringLiteral("bad-frames")];
            return;
        }
        ++counters[QStringLiteral("tlv-saves")];
        return answerTlv(code, Bytes{0x00}, in, out);
    }
    if (body[0] == kDebugRunLead && TlvStore::asksDebugRun(body.subspan(1))) {
        ++counters[QStringLiteral("debug-runs")];
        // The debug text goes to the PC that asked for the run.
        debug.on = true;
        debug.to = in.from.address;
        answerTlv(code, Bytes{0x00}, in, out);
    }
}

void ServerSim::answerTlv(std::uint8_t code, ByteView body, const Incoming &in, Outbox &out)
{
    Bytes answer{'h', ':', 0x00, std::uint8_t(code | kReplyBit)};
    kyvo::putBe16(answer, std::uint16_t(body.size()));
    answer.insert(answer.end(), body.begin(), body.end());
    answer.insert(answer.end(), m_profile.mac.begin(), m_profile.mac.end());
    answer.push_back('E');
    answer.push_back('.');
    const auto silent = knobs.extra.find(QStringLiteral("tlv-silent"));
    if (silent != knobs.extra.end() && silent->second != 0) return;
    const auto malformed = knobs.extra.find(QStringLiteral("tlv-malformed"));
    switch (malformed == knobs.extra.end() ? 0 : malformed->second) {
    case 1:
        answer.resize(9);
        break;
    case 2:
        answer[1] = 'X';
        break;
    case 3:
        answer.back() = '!';
        break;
    }
    out.send(std::move(answer), in.from, in.localPort);
}

} // namespace devsim

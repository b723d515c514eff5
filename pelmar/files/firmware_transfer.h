// A serial server's firmware upgrade: a TFTP write with the "tsize" option,
// lock-step DATA blocks, resends, the dual-image files and the probe of the
// target before the transfer. A state machine on an injected time base. The
// transfer listens only to the target's address and, from its first answer
// on, only to the port that answer came from (the transfer ID).
#pragma once

#include "common/bytes.h"
#include "common/clock.h"
#include "common/ipv4.h"

#include <memory>
#include <optional>
#include <string>

namespace pelmar {

inline constexpr std::size_t kMaxFirmwareFileSize = 10485760;
inline constexpr std::size_t kImageBufferSize = 5242880;
inline constexpr std::uint16_t kTftpPort = 69;
inline constexpr std::size_t kTftpBlock = 512;
// A file shorter than this cannot hold a firmware image.
inline constexpr std::size_t kMinFirmwareFileSize = 2;
inline constexpr const char *kImageTooSmallText = "文件太小，不是固件文件";
inline constexpr const char *kUpgradeSuccessText = "Upgrade success";
inline constexpr const char *kImageTooSmallEnglish = "The file is too small to hold a firmware image";

// What the transfer asks of its dialog, its socket and the system.
class TransferSink
{
public:
    enum class Bar { Blue, Red };
    virtual ~TransferSink() = default;
    virtual void sendDatagram(const kyvo::Bytes &datagram, kyvo::Ipv4Endpoint to) = 0;
    virtual void showStatus(const std::string &text) = 0;
    virtual void showBlockCounter(const std::string &text) = 0;
    virtual void showProgress(bool visible, int maximum, int position) = 0;
    virtual void paintBar(Bar colour) = 0;
    virtual void setStartEnabled(bool enabled) = 0;
    // A message box: the program's own text (Chinese) and, for texts that
    // have one, its English text (empty: the Chinese text in both languages).
    virtual void message(const std::string &chinese, const std::string &english) = 0;
    // Empties the PC's address-resolution cache (where that needs no
    // privileges); FirmwareTransfer::onAddressCacheFlushed follows once it is done.
    virtual void flushAddressCache() = 0;
    // One echo to the target with a one-second wait; the answer comes back
    // through FirmwareTransfer::onProbeResult.
    virtual void probe(const std::string &target) = 0;
};

class FirmwareTransfer
{
public:
    // States, in the order a transfer passes them.
    // Finishing: the last block is out, its acknowledgement awaited.
    // Closing: it came; the bar goes after one more second, unless the
    // device asks for the image again (block 0) or reports an error meanwhile.
    enum class State {
        Idle,
        Flushing,
        Probing,
        Waiting,
        RequestSent,
        Transferring,
        Finishing,
        Closing,
        Halted
    };

    explicit FirmwareTransfer(TransferSink &sink) : m_sink(sink) {}

    // path is shown in messages; name goes into the request; file is the
    // whole file (the caller refuses files above kMaxFirmwareFileSize before
    // reading them, see fileTooLarge). target is the target field's text:
    // a dotted IPv4 address, else nothing starts.
    void start(const std::string &path, const std::string &name, kyvo::Bytes file, const std::string &target,
               kyvo::Millis now);
    // The same with a file shared by many transfers (a batch reads it once).
    void start(const std::string &path, const std::string &name, std::shared_ptr<const kyvo::Bytes> file,
               const std::string &target, kyvo::Millis now);
    void onAddressCacheFlushed(kyvo::Millis now);
    void onProbeResult(bool answered, kyvo::Millis now);
    // Every datagram of the main socket whose first byte is 0x00.
    void onReply(kyvo::ByteView datagram, kyvo::Ipv4Endpoint from, kyvo::Millis now);
    void onTime(kyvo::Millis now);
    std::optional<kyvo::Millis> nextDeadline() const;

    State state() const { return m_state; }
    char imageChoice() const { return m_choice; }
    std::uint32_t imageSize() const { return m_size; }
    unsigned totalBlocks() const { return m_total; }
    bool dualImage() const { return m_dual; }
    // True while a request or transfer waits on the device.
    bool active() const
    {
        return m_state == State::RequestSent || m_state == State::Transferring || m_state == State::Finishing;
    }

    static bool fileTooLarge(std::uint64_t size) { return size > kMaxFirmwareFileSize; }
    // The write request: 00 02, name, 00, "octet", 00, "tsize", 00, the size
    // in decimal, 00 (and the dual-image suffix). Nothing when it would not
    // fit the 255 bytes the devices take.
    static std::optional<kyvo::Bytes> writeRequest(const std::string &name, std::uint32_t size,
                                                   kyvo::ByteView dualSuffix = {});
    static constexpr int kProbeAttempts = 14;
    static constexpr int kMaxResends = 10;

private:
    void nextProbe();
    void probeDone(kyvo::Millis now);
    void sendRequest(kyvo::Millis now);
    bool fromDevice(kyvo::Ipv4Endpoint from) const;
    bool imagesFit();
    void refuse(const std::string &chinese, const std::string &english);
    void onFirstAck(kyvo::ByteView datagram, kyvo::Ipv4Endpoint from, kyvo::Millis now);
    void onBlockAck(unsigned block, kyvo::Millis now);
    void send(kyvo::Bytes packet, kyvo::Ipv4Endpoint to, kyvo::Millis now, int timeoutMs);
    kyvo::Bytes dataBlock(unsigned number) const;
    void endTransfer();
    void halt(bool enableStart);

    TransferSink &m_sink;
    State m_state = State::Idle;
    std::string m_path;
    std::string m_target;
    std::uint32_t m_targetAddress = 0;
    std::shared_ptr<const kyvo::Bytes> m_file = std::make_shared<const kyvo::Bytes>();
    kyvo::ByteView m_image; // what is sent: the whole file, or image A or B, in m_file
    bool m_dual = false;
    char m_choice = '0';
    std::uint32_t m_size = 0;
    unsigned m_total = 0;
    unsigned m_sent = 0;
    bool m_transferring = false;
    std::optional<kyvo::Ipv4Endpoint> m_peer; // the device's transfer ID, from its first answer
    int m_probes = 0;
    int m_progressPosition = 0;
    kyvo::Bytes m_request;
    struct Resend
    {
        kyvo::Bytes packet;
        std::uint16_t port = 0;
        int count = 0;
    } m_resend;
    std::optional<kyvo::Millis> m_timeout;
    std::optional<kyvo::Millis> m_requestAt; // after the probe's two seconds
    std::optional<kyvo::Millis> m_closeAt;   // one second after the last acknowledgement
};

} // namespace pelmar

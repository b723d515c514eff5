// The socket panel `tcp` (resource 129): peer address and ports, heartbeat,
// registration packet and multicast of a channel in a socket mode.
#pragma once

#include "vorlet/services/packet_text.h"
#include "vorlet/services/service_context.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vorlet {

inline constexpr int kTcpDialog = 129;

namespace tcpcontrol {
// Captions of the design.
inline constexpr int kTargetAddressLabel = 1230, kTargetPortLabel = 1231, kLocalPortLabel = 1232,
                     kHeartbeatLabel = 1233, kIntervalLabel = 1234, kRegistrationModeLabel = 1235,
                     kRegistrationLabel = 1236, kMulticast = 3350;
// The panel's own numbers for the controls the captions name.
inline constexpr int kTargetAddress = 2001, kTargetPort = 2002, kLocalPort = 2003, kHeartbeat = 2004,
                     kHeartbeatHex = 2005, kInterval = 2006, kRegistrationMode = 2007, kRegistration = 2008,
                     kRegistrationHex = 2009;
} // namespace tcpcontrol

// The registration modes as this panel lists them.
inline constexpr const char *kTcpRegistrationModes[] = {"不启用", "连接上服务器时，发送一次",
                                                        "在每个数据包前，都加上", "同时支持以上两者"};

class TcpPanel : public ServicePanel
{
public:
    TcpPanel(int channel, const PanelEnvironment &env, std::shared_ptr<ServiceContext> context,
             QWidget *parent = nullptr);

    void load(const ChannelBlock &block) override;
    void store(ChannelBlock &block) const override;
    QStringList problems() const override;
    void retranslate(const Language &language) override;

private:
    void build();
    void applyModeEnabling(int mode);
    void showFlags();

    QLineEdit *m_targetAddress = nullptr, *m_targetPort = nullptr, *m_localPort = nullptr;
    QLineEdit *m_heartbeatEdit = nullptr, *m_interval = nullptr, *m_registrationEdit = nullptr;
    QCheckBox *m_heartbeatHex = nullptr, *m_registrationHex = nullptr, *m_multicast = nullptr;
    QComboBox *m_registrationMode = nullptr;
    PacketEdit m_heartbeat{nullptr}, m_registration{nullptr};
};

} // namespace vorlet

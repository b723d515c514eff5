// The MQTT panel `mqtt` (resource 130): broker, credentials, keep-alive,
// QoS, topics, the will and cloud dialogs and the registration packet.
#pragma once

#include "vorlet/services/packet_text.h"
#include "vorlet/services/service_context.h"
#include "vorlet/services/text_fields_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace vorlet {

inline constexpr int kMqttDialog = 130;

namespace mqttcontrol {
// Captions of the design.
inline constexpr int kBrokerLabel = 1237, kPortLabel = 1238, kUserLabel = 1239, kPasswordLabel = 1240,
                     kClientIdLabel = 1241, kSubscribeLabel = 1242, kPublishLabel = 1243, kWill = 1006,
                     kWillSet = 1059, kCloudSet = 1060;
// The panel's own numbers.
inline constexpr int kBroker = 2001, kPort = 2002, kUser = 2003, kPassword = 2004, kClientId = 2005,
                     kKeepAlive = 2006, kSubscribe = 2007, kPublish = 2008, kRegistration = 2009, kTls = 2010,
                     kRegistrationHex = 2011, kQos = 2012, kCloud = 2013, kRegistrationMode = 2014;
} // namespace mqttcontrol

inline constexpr const char *kCloudPlatforms[] = {"云-不启用", "阿里云", "凯沃云"};
inline constexpr int kCloudWithTriple = 1; // the platform the "cloud" dialog is for
inline constexpr const char *kQosLevels[] = {"0", "1", "2"};
inline constexpr const char *kMqttRegistrationModes[] = {"注册包不启用", "连接上服务器时，发送一次",
                                                         "在每个数据包前，都加上", "同时支持以上两者"};

// The parameters the maker's cloud requires, one per line, in the
// language in force.
QString cloudHelpText(const Language &language, const QString &brokerAddress);

class MqttPanel : public ServicePanel
{
public:
    MqttPanel(int channel, const PanelEnvironment &env, std::shared_ptr<ServiceContext> context,
              QWidget *parent = nullptr);

    void load(const ChannelBlock &block) override;
    void store(ChannelBlock &block) const override;
    QStringList problems() const override;
    void retranslate(const Language &language) override;

private:
    void build();
    void applyEnabling();
    void openWill();
    void openCloud();

    QLineEdit *m_broker = nullptr, *m_port = nullptr, *m_user = nullptr, *m_password = nullptr;
    QLineEdit *m_clientId = nullptr, *m_keepAlive = nullptr, *m_subscribe = nullptr, *m_publish = nullptr;
    QLineEdit *m_registrationEdit = nullptr;
    QCheckBox *m_tls = nullptr, *m_will = nullptr, *m_registrationHex = nullptr;
    QComboBox *m_qos = nullptr, *m_cloud = nullptr, *m_registrationMode = nullptr;
    QLabel *m_willSet = nullptr, *m_cloudSet = nullptr;
    PacketEdit m_registration{nullptr};
    // What the will and cloud dialogs edit until the window collects the record.
    WillFields m_willFields{};
    CloudFields m_cloudFields{};
};

} // namespace vorlet

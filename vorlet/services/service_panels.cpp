// The channel panel factory.
#include "vorlet/services/service_panels.h"

#include "vorlet/services/http_panel.h"
#include "vorlet/services/mqtt_panel.h"
#include "vorlet/services/tcp_panel.h"

namespace vorlet {

ChannelPanel *newServicePanel(ChannelPanelKind kind, int channel, const PanelEnvironment &env,
                              const std::shared_ptr<ServiceContext> &context, QWidget *parent)
{
    switch (kind) {
    case ChannelPanelKind::Socket:
        return new TcpPanel(channel, env, context, parent);
    case ChannelPanelKind::Mqtt:
        return new MqttPanel(channel, env, context, parent);
    case ChannelPanelKind::Http:
        return new HttpPanel(channel, env, context, parent);
    }
    return nullptr;
}

PanelFactories servicePanelFactories(ServiceOptions options)
{
    auto context = std::make_shared<ServiceContext>(std::move(options));
    PanelFactories factories;
    factories.channel = [context](ChannelPanelKind kind, int channel, const PanelEnvironment &env,
                                  QWidget *parent) {
        return newServicePanel(kind, channel, env, context, parent);
    };
    return factories;
}

} // namespace vorlet

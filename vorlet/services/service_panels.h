// The network channel panels as the main window creates them: socket, MQTT
// and HTTP, one of each per channel, made by the factory the app passes in.
#pragma once

#include "vorlet/services/service_context.h"
#include "vorlet/ui/channel_panel.h"

#include <memory>

namespace vorlet {

// The panel of one kind for one channel; the panels made through one
// context share the packet hex flags of their settings.
ChannelPanel *newServicePanel(ChannelPanelKind kind, int channel, const PanelEnvironment &env,
                              const std::shared_ptr<ServiceContext> &context, QWidget *parent);

// The channel factory of the main window (the CAN place is left empty).
PanelFactories servicePanelFactories(ServiceOptions options = {});

} // namespace vorlet

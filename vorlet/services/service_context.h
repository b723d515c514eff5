// What the service panels of one window share: the options and the packet
// hex flags bound to the window's settings.
#pragma once

#include "vorlet/services/hex_flags.h"
#include "vorlet/services/panel_support.h"
#include "vorlet/services/service_options.h"
#include "vorlet/ui/channel_panel.h"

#include <memory>

namespace vorlet {

class ServiceContext
{
public:
    explicit ServiceContext(ServiceOptions options = {}) : m_options(std::move(options)) {}
    const ServiceOptions &options() const { return m_options; }
    // One set of flags per settings object, so every panel made for the
    // same window sees the others' clicks.
    std::shared_ptr<PacketHexFlags> flagsFor(SearchSettings *settings);

private:
    ServiceOptions m_options;
    std::shared_ptr<PacketHexFlags> m_flags;
};

// The base of the three channel panels: the environment, the shared
// context and the language the messages are shown in.
class ServicePanel : public ChannelPanel
{
public:
    ServicePanel(int dialog, int channel, const PanelEnvironment &env,
                 std::shared_ptr<ServiceContext> context, QWidget *parent);
    int channel() const { return m_channel; }
    int dialog() const { return m_dialog; }

protected:
    const Language &language() const { return languageOr(m_env.language); }
    QString tr(const char *chinese) const { return language().translate(m_dialog, chinese); }
    const ServiceOptions &options() const { return m_context->options(); }
    PacketHexFlags &flags() const { return *m_flags; }
    void showMessage(const QString &text) const;
    // The hex error under this panel's number.
    QString hexErrorText() const;

private:
    int m_dialog;
    int m_channel;
    PanelEnvironment m_env;
    std::shared_ptr<ServiceContext> m_context;
    std::shared_ptr<PacketHexFlags> m_flags;
};

} // namespace vorlet

// Shared state of the service panels.
#include "vorlet/services/service_context.h"

#include "common/hex_text.h"
#include "vorlet/services/panel_support.h"

namespace vorlet {

std::shared_ptr<PacketHexFlags> ServiceContext::flagsFor(SearchSettings *settings)
{
    if (!m_flags || m_flags->boundSettings() != settings)
        m_flags = std::make_shared<PacketHexFlags>(settings);
    return m_flags;
}

ServicePanel::ServicePanel(int dialog, int channel, const PanelEnvironment &env,
                           std::shared_ptr<ServiceContext> context, QWidget *parent)
    : ChannelPanel(parent), m_dialog(dialog), m_channel(channel), m_env(env), m_context(std::move(context)),
      m_flags(m_context->flagsFor(env.settings))
{
    setProperty(kDialogIdProperty, dialog);
}

void ServicePanel::showMessage(const QString &text) const
{
    showServiceMessage(options(), const_cast<ServicePanel *>(this), text);
}

QString ServicePanel::hexErrorText() const
{
    const std::string error(kyvo::kHexErrorText);
    return language().translate(m_dialog, error.c_str());
}

} // namespace vorlet

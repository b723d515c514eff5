// The panels the main window embeds: one per channel and work mode (socket,
// MQTT, HTTP) and the CAN panel in the serial group. Each copies its fields
// from the record when shown and back when the window collects the record.
#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

namespace vorlet {

struct ChannelBlock;
struct ParameterRecord;
struct SearchSettings;
class Language;

// The panel a work mode shows: 1, 2, 3, 4, 7 the socket panel (tcp),
// 5 and 8 the HTTP panel (http), 6 the MQTT panel (mqtt); 0 none.
enum class ChannelPanelKind { Socket, Mqtt, Http };

// What a panel may read besides its block: the language in force and the
// settings flags of hx.ini (reg_hex, hb_hex, utf8), both owned by the window.
struct PanelEnvironment
{
    const Language *language = nullptr;
    SearchSettings *settings = nullptr;
};

class ChannelPanel : public QWidget
{
public:
    using QWidget::QWidget;
    // Fills the controls from the channel block of the shown record.
    virtual void load(const ChannelBlock &block) = 0;
    // Copies the controls back into the block (texts cut to their fields).
    // It shows nothing: a text that does not parse leaves its field as it
    // was, and problems() names it.
    virtual void store(ChannelBlock &block) const = 0;
    // The messages for what a store would leave out, each text once; empty
    // when every field parses. The window asks before it collects a record
    // and shows them afterwards, so that no box runs while it collects.
    virtual QStringList problems() const { return {}; }
    // The captions of the panel's own dialog table, after a language switch.
    virtual void retranslate(const Language &) {}
};

// The field-port panel of a CAN gateway (capability byte 444 = 1): its
// settings live in the polling block's CAN area and the CAN counters.
class FieldPortPanel : public QWidget
{
public:
    using QWidget::QWidget;
    virtual void load(const ParameterRecord &record) = 0;
    virtual void store(ParameterRecord &record) const = 0;
    virtual void retranslate(const Language &) {}
};

// How the window creates its panels at start-up; an empty factory, or one
// that returns nullptr, leaves that place empty.
struct PanelFactories
{
    std::function<ChannelPanel *(ChannelPanelKind kind, int channel, const PanelEnvironment &env,
                                 QWidget *parent)>
        channel;
    std::function<FieldPortPanel *(const PanelEnvironment &env, QWidget *parent)> can;
};

} // namespace vorlet

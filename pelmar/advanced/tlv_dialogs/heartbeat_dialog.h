// `HeartbeatDialog` ("48位心跳包"): the heartbeat packets of up to 48 bytes
// that a server sends on each serial port, and their common switch; shown
// and typed as hexadecimal or as text.
#pragma once

#include "pelmar/advanced/tlv_dialogs/port_tlv_settings.h"
#include "pelmar/advanced/tlv_dialogs/sub_dialog.h"

#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace pelmar {

class HeartbeatDialog : public SubDialog
{
    Q_OBJECT
public:
    HeartbeatDialog(const SubDialogTarget &target, const LanguageTable &language,
                    SubDialogOptions options = {}, QWidget *parent = nullptr);

    QCheckBox *enableBox() const { return m_enable; }
    QCheckBox *hexBox() const { return m_hex; }
    QLineEdit *packetEdit(int port) const { return m_edits.at(std::size_t(port)); }
    QPushButton *saveButton() const { return m_save; }

    // The settings as typed; nothing (and the message shown) when a packet
    // is no hex text or longer than 48 bytes.
    std::optional<HeartbeatSettings> collect();
    void save();

private:
    void build();
    void read();
    void hexToggled(bool hex);
    void showPacket(int port, const Bytes &bytes, bool hex);

    QCheckBox *m_enable, *m_hex;
    std::array<QLineEdit *, kMaxTlvPorts> m_edits{};
    QPushButton *m_save;
};

} // namespace pelmar

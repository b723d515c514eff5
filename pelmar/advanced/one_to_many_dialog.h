// "地址设置": the one-serial-port-to-many mode's conversion protocol and, for
// ports 2 to 24, each port's address and the address it is mapped to. It
// edits a copy; the opener stores it into the device on "确定".
#pragma once

#include "pelmar/model/device_entry.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;

namespace pelmar {

class LanguageTable;

class OneToManyDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kRelayMode = 1; // "中继模式": no addresses to map
    static constexpr int kFirstPort = 2, kLastPort = int(kMaxPorts);

    // The buttons follow the language; the texts are the same in both.
    OneToManyDialog(const DeviceEntry &entry, const LanguageTable &language, QWidget *parent = nullptr);

    // The protocol and the addresses of ports 2 to 24 (low eight bits of
    // each decimal text); port 1 and everything else stay as they are.
    void storeInto(DeviceEntry &entry) const;

    QComboBox *protocolList() const { return m_protocol; }
    // Port 2 .. 24.
    QLineEdit *addressEdit(int port) const { return m_address.at(std::size_t(port - kFirstPort)); }
    QLineEdit *mappedEdit(int port) const { return m_mapped.at(std::size_t(port - kFirstPort)); }

private:
    void onProtocolChosen(int index);

    static constexpr std::size_t kEdits = kMaxPorts - 1;
    QComboBox *m_protocol;
    std::array<QLineEdit *, kEdits> m_address{};
    std::array<QLineEdit *, kEdits> m_mapped{};
};

} // namespace pelmar

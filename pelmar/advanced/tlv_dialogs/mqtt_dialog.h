// `MqttDialog`: one serial port's MQTT client settings, read from the server
// when the dialog opens, checked and saved whole, and the port's debug run.
#pragma once

#include "pelmar/advanced/tlv_dialogs/port_tlv_settings.h"
#include "pelmar/advanced/tlv_dialogs/sub_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace pelmar {

// The maker's cloud server named in its group's help.
inline constexpr char kMakerCloudServer[] = "mqtt.kyvo-cloud.example";

class MqttDialog : public SubDialog
{
    Q_OBJECT
public:
    MqttDialog(const SubDialogTarget &target, const LanguageTable &language, SubDialogOptions options = {},
               QWidget *parent = nullptr);

    // The settings as the controls hold them, and into the controls.
    MqttSettings collect() const;
    void showSettings(const MqttSettings &s);

    QLineEdit *edit(std::uint8_t type) const;
    QLineEdit *portEdit() const { return m_port; }
    QLineEdit *keepAliveEdit() const { return m_keepAlive; }
    QComboBox *qosList() const { return m_qos; }
    QComboBox *versionList() const { return m_version; }
    QCheckBox *willBox() const { return m_will; }
    QCheckBox *retainBox() const { return m_retain; }
    QCheckBox *enableBox() const { return m_enable; }
    QCheckBox *alibabaBox() const { return m_alibaba; }
    QCheckBox *makerBox() const { return m_maker; }
    QCheckBox *tlsBox() const { return m_tls; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *debugButton() const { return m_debug; }
    QPushButton *alibabaHelp() const { return m_alibabaHelp; }
    QPushButton *makerHelp() const { return m_makerHelp; }

    void save();
    static QString alibabaHelpText(Language language);
    static QString makerHelpText(Language language);

private:
    void build();
    void read();
    // The first check that fails shows its message; false then.
    bool checked();

    std::map<std::uint8_t, QLineEdit *> m_texts;
    QLineEdit *m_port, *m_keepAlive;
    QComboBox *m_qos, *m_version;
    QCheckBox *m_will, *m_retain, *m_enable, *m_alibaba, *m_maker, *m_tls;
    QPushButton *m_save, *m_debug, *m_alibabaHelp, *m_makerHelp;
};

} // namespace pelmar

// "Cloud": one port's cloud pass-through switch, its 20-digit cloud serial
// number and 8-character password, and the cloud address for display. It
// sends nothing: the opener stores it into the port on "确定".
#pragma once

#include "pelmar/lang/language_table.h"
#include "pelmar/model/device_entry.h"

#include <QDialog>

#include <functional>
#include <string_view>

class QCheckBox;
class QLineEdit;

namespace pelmar {

class LanguageTable;

// Why "确定" keeps the dialog open, or null when the values may be stored.
// With the switch off nothing else is checked.
const char *cloudRefusal(bool enabled, std::string_view id, std::string_view password);

class CloudDialog : public QDialog
{
    Q_OBJECT
public:
    using Message = std::function<void(QWidget *parent, const QString &text)>;

    // portNumber counts from 1 (the title "Port%d").
    CloudDialog(const PortSettings &port, int portNumber, const LanguageTable &language, Message message,
                QWidget *parent = nullptr);

    // The switch; the serial number and password only while it is ticked.
    // The cloud address is never written.
    void storeInto(PortSettings &port) const;

    QCheckBox *enableBox() const { return m_enable; }
    QLineEdit *idEdit() const { return m_id; }
    QLineEdit *passwordEdit() const { return m_password; }
    QLineEdit *addressEdit() const { return m_address; }

    void accept() override;

private:
    Message m_message;
    Language m_language;
    QCheckBox *m_enable;
    QLineEdit *m_id, *m_password, *m_address;
};

} // namespace pelmar

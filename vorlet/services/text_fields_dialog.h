// The small modal dialogs that edit a few fixed text fields of the record
// ("will", "cloud", "ntp"): one edit per field, and "确定" stores them.
#pragma once

#include "vorlet/lang/language.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/services/service_options.h"

#include <QDialog>

#include <cstdint>
#include <vector>

class QLineEdit;

namespace vorlet {

inline constexpr int kWillDialog = 135;
inline constexpr int kCloudDialog = 136;
inline constexpr int kNtpDialog = 160;
inline constexpr int kDialogOk = 1003;       // "确定" in each of them
inline constexpr int kFirstFieldEdit = 2001; // the edits are numbered from here, in row order
inline constexpr int kNtpServerLabel = 1254;

struct TextFieldRow
{
    int labelControl;
    QString caption;
    std::uint8_t *field;
    std::size_t size;
    std::size_t maxBytes; // GBK bytes kept; the rest of the field is NUL
};

class TextFieldsDialog : public QDialog
{
public:
    TextFieldsDialog(int dialog, const QString &title, std::vector<TextFieldRow> rows,
                     const Language &language, QWidget *parent = nullptr);
    QLineEdit *edit(std::size_t row) const { return m_edits.at(row); }

private:
    void storeAndClose();

    std::vector<TextFieldRow> m_rows;
    std::vector<QLineEdit *> m_edits;
};

// The will message of a channel's MQTT area.
struct WillFields
{
    std::uint8_t topic[kTopicSize];
    std::uint8_t message[kTopicSize];
};
// The cloud platform's device triple.
struct CloudFields
{
    std::uint8_t productKey[kTopicSize];
    std::uint8_t deviceName[kTopicSize];
    std::uint8_t deviceSecret[kTopicSize];
};

// "Will": "Topic" and "Msg", each at most 64 characters.
TextFieldsDialog *newWillDialog(WillFields &fields, const Language &language, QWidget *parent);
// "Product Key", "Device Name", "Device Secret", each at most 64 characters.
TextFieldsDialog *newCloudDialog(CloudFields &fields, const Language &language, QWidget *parent);
// "NTP首选服务器": the preferred server, at most 63 characters; an empty
// edit clears the field.
TextFieldsDialog *newNtpDialog(ParameterRecord &record, const Language &language, QWidget *parent);

// Opens the NTP dialog on the selected record, as the main window's "设置"
// beside "NTP" does. True when "确定" stored the field.
bool runNtpDialog(ParameterRecord &record, const Language &language, QWidget *parent,
                  const ServiceOptions &options = {});

} // namespace vorlet

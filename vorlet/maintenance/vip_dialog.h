// The dialog `vip` behind "定制恢复出厂参数": saves the device's current
// parameters as its customised factory set or clears that set, waiting for
// the acknowledgement; the hidden "获取" fetches the parameter image into the
// backup file.
#pragma once

#include "vorlet/maintenance/image_receiver.h"
#include "vorlet/ui/device_dialog.h"

class QLabel;
class QPushButton;

namespace vorlet {

struct VipOptions
{
    quint16 imagePort = kImagePort;
    QHostAddress bindAddress;   // any address when null
    QHostAddress deviceAddress; // where the image comes from: the device's address
    QString backupPath;         // the backup file in the current folder when empty
};

class vip : public DeviceDialog
{
    Q_OBJECT
public:
    static constexpr int kDialog = 145;
    static constexpr int kRevealClicks = 15;

    vip(ParameterRecord &record, DeviceDialogEnvironment environment, VipOptions options = {},
        QWidget *parent = nullptr);

    void saveCustom() { writeCustom(true); }
    void clearCustom() { writeCustom(false); }
    void fetchImage();
    void clickStatus();

    QString statusText() const;
    bool fetchShown() const;
    bool waiting() const { return m_ack.waiting(); }
    bool fetching() const { return m_image.running(); }
    const ImageCollector &image() const { return m_image.collected(); }
    // The clicks on the status text count for as long as the program runs.
    static int &statusClicks();

protected:
    void runDue(kyvo::Millis now) override;
    std::optional<kyvo::Millis> nextDeadline() const override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void writeCustom(bool save);
    void setButtons(bool enabled);
    void finishFetch();

    VipOptions m_options;
    AckWait m_ack{kCustomAckPeriod, kCustomAckLimit};
    ImageReceiver m_image;
    QLabel *m_status = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_fetch = nullptr;
};

} // namespace vorlet

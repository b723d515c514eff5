// The dialog `tls` behind the TLS "设置" link: the three PEM files with the
// checksums of the PC's copies and of the gateway's, the bundle built from
// them and its upload with the acknowledgement ticks.
#pragma once

#include "vorlet/maintenance/maintenance_timers.h"
#include "vorlet/services/tls_bundle.h"
#include "vorlet/ui/device_dialog.h"

#include <array>

class QLabel;
class QPushButton;

namespace vorlet {

class tls : public DeviceDialog
{
    Q_OBJECT
public:
    static constexpr int kDialog = 161;
    enum File { Ca, Cert, Key };

    tls(ParameterRecord &record, DeviceDialogEnvironment environment, QWidget *parent = nullptr);

    void import(File file);
    // "保存TLS文件".
    void upload();

    QString pathText(File file) const;
    QString fileSum(File file) const;
    QString deviceSum(File file) const;
    bool waiting() const { return m_ack.waiting(); }

protected:
    void runDue(kyvo::Millis now) override;
    std::optional<kyvo::Millis> nextDeadline() const override;
    void done(int result) override;

private:
    std::uint8_t *pathField(File file);
    void showFile(File file);
    void sendBundle(const Bytes &bundle);

    AckWait m_ack{kTlsTickPeriod, kTlsTickLimit};
    std::array<QLabel *, 3> m_paths{};
    std::array<QLabel *, 3> m_fileSums{};
    std::array<QLabel *, 3> m_deviceSums{};
};

} // namespace vorlet

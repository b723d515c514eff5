// The firmware upgrade dialog `fota`: choose a .bin file, upgrade the
// selected gateway over the dialog's own socket, with progress and resends.
#pragma once

#include "common/clock.h"
#include "vorlet/link/link_frame.h"
#include "vorlet/maintenance/fota_runner.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vorlet {

class Language;
struct SearchSettings;

struct FotaTarget {
    QString deviceAddress;         // dotted IPv4 the record was seen from
    quint16 devicePort = kDevicePort;
    Mac mac{};
    std::string versionText;       // the record's firmware version text
    QString localAddress;          // the chosen adapter, empty or "0.0.0.0" for the default
};

// How the dialog asks the user; tests replace both.
struct FotaPrompts {
    std::function<QString(QWidget *parent, const QString &filter)> openFile;
    std::function<void(QWidget *parent, const QString &text)> message;
    static FotaPrompts standard();
};

class FotaDialog : public QDialog, private FotaSink
{
    Q_OBJECT
public:
    static constexpr int kDialog = 132;

    FotaDialog(FotaTarget target, const Language &language, SearchSettings &settings, FotaPrompts prompts = FotaPrompts::standard(),
               const kyvo::Clock *clock = nullptr, QWidget *parent = nullptr);
    ~FotaDialog() override;

    // The file the last upgrade dialog used, offered again when it opens.
    static QString &rememberedPath();

    const FotaSession &session() const { return m_runner.session(); }
    // Runs what is due on the dialog's clock (tests on a manual clock call it).
    void poll();
    quint16 localPort() const;

    void chooseFile();
    void startUpgrade();

private:
    void sendDatagram(const Bytes &) override {} // the runner sends
    void showStatus(const std::string &text, const std::string &suffix) override;
    void showPartition(const std::string &text) override;
    void showProgress(int maximum, int position) override;
    void setStartEnabled(bool enabled) override;
    void showResult(bool verified) override;
    void hideResult() override;

    void buildLayout();
    QString tr132(const char *chinese) const;

    FotaTarget m_target;
    const Language &m_language;
    SearchSettings &m_settings;
    FotaPrompts m_prompts;
    FotaRunner m_runner;

    QLineEdit *m_address = nullptr;
    QPlainTextEdit *m_path = nullptr;
    QPushButton *m_browse = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_exit = nullptr;
    QCheckBox *m_factory = nullptr;
    QProgressBar *m_progress = nullptr;
    QLabel *m_status = nullptr;    // 1052, right
    QLabel *m_partition = nullptr; // 1053, left
    QLabel *m_red = nullptr;       // 1108
    QLabel *m_green = nullptr;     // 1109
};

} // namespace vorlet

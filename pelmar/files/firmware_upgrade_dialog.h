// `FirmwareUpgradeDialog`: the target, the firmware file, the start button,
// the status line, the block counter and the progress bar of an upgrade.
#pragma once

#include "pelmar/files/firmware_upgrade.h"

#include <QDialog>
#include <QPointer>

#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pelmar {

// The dialog's file chooser and message boxes. Both open without a nested
// event loop: chosen(path) follows the choice, with an empty path when it
// was cancelled.
struct UpgradePrompts
{
    std::function<void(QWidget *parent, const QString &filter, std::function<void(const QString &)> chosen)>
        openFile;
    std::function<void(QWidget *parent, const QString &text, const QString &caption)> message;
    static UpgradePrompts standard();
};

class FirmwareUpgradeDialog : public QDialog, private UpgradeView
{
    Q_OBJECT
public:
    FirmwareUpgradeDialog(FirmwareUpgrade &upgrade, const LanguageTable &language, const QString &target,
                          UpgradePrompts prompts = UpgradePrompts::standard(), QWidget *parent = nullptr);
    ~FirmwareUpgradeDialog() override;

    void browse();
    void start();

    QLineEdit *targetEdit() const { return m_target; }
    QLineEdit *pathEdit() const { return m_path; }
    QLabel *fileNameLabel() const { return m_fileName; }
    QLabel *statusLine() const { return m_status; }
    QLabel *blockCounter() const { return m_counter; }
    QProgressBar *progressBar() const { return m_progress; }
    QPushButton *startButton() const { return m_start; }

private:
    void showStatus(const QString &text) override;
    void showBlockCounter(const QString &text) override;
    void showProgress(bool visible, int maximum, int position) override;
    void paintBar(TransferSink::Bar colour) override;
    void setStartEnabled(bool enabled) override;
    void message(const QString &text, const QString &caption) override;

    // The upgrade may go first when the window that owns both closes.
    QPointer<FirmwareUpgrade> m_upgrade;
    UpgradePrompts m_prompts;
    QLineEdit *m_target;
    QLineEdit *m_path;
    QLabel *m_fileName;
    QLabel *m_status;
    QLabel *m_counter;
    QProgressBar *m_progress;
    QPushButton *m_browse;
    QPushButton *m_start;
};

} // namespace pelmar

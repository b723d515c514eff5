// Firmware upgrade dialog.
#include "pelmar/files/firmware_upgrade_dialog.h"

#include "pelmar/files/message_box.h"
#include "pelmar/lang/language_table.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace pelmar {

UpgradePrompts UpgradePrompts::standard()
{
    return {[](QWidget *parent, const QString &, std::function<void(const QString &)> chosen) {
                auto *dialog =
                    new QFileDialog(parent, QString(), QString(),
                                    QStringLiteral("*.bin (*.bin);;") + QStringLiteral("所有文件 (*.*)"));
                dialog->setAttribute(Qt::WA_DeleteOnClose);
                dialog->setWindowModality(Qt::WindowModal);
                dialog->setAcceptMode(QFileDialog::AcceptOpen);
                dialog->setFileMode(QFileDialog::ExistingFile);
                QObject::connect(
                    dialog, &QFileDialog::finished, dialog, [dialog, chosen = std::move(chosen)](int result) {
                        const QStringList files = dialog->selectedFiles();
                        chosen(result == QDialog::Accepted && !files.isEmpty() ? files.first() : QString());
                    });
                dialog->open();
            },
            [](QWidget *parent, const QString &text, const QString &caption) {
                openMessageBox(parent, text, caption);
            }};
}

FirmwareUpgradeDialog::FirmwareUpgradeDialog(FirmwareUpgrade &upgrade, const LanguageTable &language,
                                             const QString &target, UpgradePrompts prompts, QWidget *parent)
    : QDialog(parent), m_upgrade(&upgrade), m_prompts(std::move(prompts))
{
    auto *grid = new QGridLayout(this);
    m_target = new QLineEdit(target, this);
    m_path = new QLineEdit(upgrade.lastPath(), this);
    m_fileName = new QLabel(QFileInfo(upgrade.lastPath()).fileName(), this);
    m_browse = new QPushButton(language.text(192), this);
    m_start = new QPushButton(language.text(196), this);
    m_start->setDefault(true);
    m_status = new QLabel(QStringLiteral(" "), this);
    m_counter = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    m_progress->hide();
    grid->addWidget(new QLabel(language.text(184), this), 0, 0);
    grid->addWidget(m_target, 0, 1, 1, 2);
    grid->addWidget(new QLabel(language.text(188), this), 1, 0);
    grid->addWidget(m_path, 1, 1);
    grid->addWidget(m_browse, 1, 2);
    grid->addWidget(m_fileName, 2, 1, 1, 2);
    grid->addWidget(m_progress, 3, 0, 1, 3);
    grid->addWidget(m_status, 4, 0, 1, 2);
    grid->addWidget(m_counter, 4, 2);
    grid->addWidget(m_start, 5, 2);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(420);
    connect(m_browse, &QPushButton::clicked, this, &FirmwareUpgradeDialog::browse);
    connect(m_start, &QPushButton::clicked, this, &FirmwareUpgradeDialog::start);
    upgrade.attach(this);
}

FirmwareUpgradeDialog::~FirmwareUpgradeDialog()
{
    if (m_upgrade) m_upgrade->detach(this);
}

void FirmwareUpgradeDialog::browse()
{
    QPointer<FirmwareUpgradeDialog> self(this);
    m_prompts.openFile(this, QStringLiteral("(*.bin)|*.bin|所有文件(*.*)|*.*|"), [self](const QString &path) {
        if (!self) return;
        // A cancelled choice empties both.
        self->m_path->setText(path);
        self->m_fileName->setText(path.isEmpty() ? QString() : QFileInfo(path).fileName());
    });
}

void FirmwareUpgradeDialog::start()
{
    if (m_upgrade) m_upgrade->start(m_path->text(), m_target->text());
}

void FirmwareUpgradeDialog::showStatus(const QString &text)
{
    m_status->setText(text);
}
void FirmwareUpgradeDialog::showBlockCounter(const QString &text)
{
    m_counter->setText(text);
}

void FirmwareUpgradeDialog::showProgress(bool visible, int maximum, int position)
{
    m_progress->setVisible(visible);
    if (!visible) return;
    m_progress->setRange(0, std::max(1, maximum));
    m_progress->setValue(std::min(position, std::max(1, maximum)));
}

void FirmwareUpgradeDialog::paintBar(TransferSink::Bar colour)
{
    m_progress->setStyleSheet(colour == TransferSink::Bar::Red
                                  ? QStringLiteral("QProgressBar::chunk { background: rgb(255,0,0); }")
                                  : QStringLiteral("QProgressBar::chunk { background: rgb(0,0,255); }"));
}

void FirmwareUpgradeDialog::setStartEnabled(bool enabled)
{
    m_start->setEnabled(enabled);
}

void FirmwareUpgradeDialog::message(const QString &text, const QString &caption)
{
    m_prompts.message(this, text, caption);
}

} // namespace pelmar

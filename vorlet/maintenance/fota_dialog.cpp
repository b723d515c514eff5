// Firmware upgrade dialog.
#include "vorlet/maintenance/fota_dialog.h"

#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"
#include "vorlet/link/search_settings.h"
#include "vorlet/ui/check_texts.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

namespace vorlet {

namespace {
// "(*.bin)|*.bin|所有文件(*.*)|*.*|" in the form of Qt's file dialogs.
QString qtFilter(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) filters << parts[i] + QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')');
    return filters.join(QStringLiteral(";;"));
}
} // namespace

FotaPrompts FotaPrompts::standard()
{
    return {[](QWidget *parent, const QString &filter) {
                return QFileDialog::getOpenFileName(parent, QString(), FotaDialog::rememberedPath(), qtFilter(filter));
            },
            [](QWidget *parent, const QString &text) { QMessageBox::information(parent, QString(), text); }};
}

QString &FotaDialog::rememberedPath()
{
    static QString path;
    return path;
}

FotaDialog::FotaDialog(FotaTarget target, const Language &language, SearchSettings &settings, FotaPrompts prompts,
                       const kyvo::Clock *clock, QWidget *parent)
    : QDialog(parent), m_target(std::move(target)), m_language(language), m_settings(settings),
      m_prompts(std::move(prompts)), m_runner(m_target.mac, m_target.versionText, *this, clock, this)
{
    buildLayout();
    m_runner.setDevice(QHostAddress(m_target.deviceAddress), m_target.devicePort);
    if (!m_runner.open(m_target.localAddress)) m_prompts.message(this, tr132("绑定失败!"));
}

FotaDialog::~FotaDialog() = default;

QString FotaDialog::tr132(const char *chinese) const { return m_language.translate(kDialog, chinese); }

quint16 FotaDialog::localPort() const { return m_runner.localPort(); }

void FotaDialog::buildLayout()
{
    setWindowTitle(QStringLiteral("fota"));
    setProperty("dialogId", kDialog);
    auto *grid = new QGridLayout(this);
    auto *ipLabel = new QLabel(QStringLiteral("IP"), this);
    m_address = new QLineEdit(m_target.deviceAddress, this);
    setControlId(m_address, 1017);
    auto *fileLabel = new QLabel(QStringLiteral("固件"), this);
    setControlId(fileLabel, 1251);
    m_path = new QPlainTextEdit(rememberedPath(), this);
    m_path->setReadOnly(true);
    m_path->setMaximumHeight(60);
    setControlId(m_path, 1018);
    m_browse = new QPushButton(QStringLiteral("浏览"), this);
    setControlId(m_browse, 1003);
    m_factory = new QCheckBox(QStringLiteral("升级后恢复出厂"), this);
    setControlId(m_factory, 1047);
    m_factory->setChecked(m_settings.factory != 0);
    m_progress = new QProgressBar(this);
    m_progress->setValue(0);
    setControlId(m_progress, 1046);
    m_partition = new QLabel(this);
    setControlId(m_partition, 1053);
    m_status = new QLabel(this);
    m_status->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setControlId(m_status, 1052);
    m_red = new QLabel(this);
    m_red->setStyleSheet(QStringLiteral("background: rgb(255,0,0);"));
    setControlId(m_red, 1108);
    m_green = new QLabel(this);
    m_green->setStyleSheet(QStringLiteral("background: rgb(0,255,0);"));
    setControlId(m_green, 1109);
    m_red->setMinimumHeight(16);
    m_green->setMinimumHeight(16);
    m_start = new QPushButton(QStringLiteral("开始升级"), this);
    setControlId(m_start, 1004);
    m_exit = new QPushButton(QStringLiteral("退出"), this);
    setControlId(m_exit, 1005);

    grid->addWidget(ipLabel, 0, 0);
    grid->addWidget(m_address, 0, 1, 1, 2);
    grid->addWidget(fileLabel, 1, 0);
    grid->addWidget(m_path, 1, 1);
    grid->addWidget(m_browse, 1, 2);
    grid->addWidget(m_factory, 2, 1, 1, 2);
    grid->addWidget(m_progress, 3, 0, 1, 3);
    grid->addWidget(m_partition, 4, 0, 1, 2);
    grid->addWidget(m_status, 4, 2);
    grid->addWidget(m_red, 5, 0, 1, 3);
    grid->addWidget(m_green, 6, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_start);
    buttons->addWidget(m_exit);
    grid->addLayout(buttons, 7, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    m_red->hide();
    m_green->hide();

    connect(m_browse, &QPushButton::clicked, this, &FotaDialog::chooseFile);
    connect(m_start, &QPushButton::clicked, this, &FotaDialog::startUpgrade);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_factory, &QCheckBox::toggled, this, [this](bool on) { m_settings.factory = on ? 1 : 0; });
    applyDialogTable(this, kDialog, m_language);
}

void FotaDialog::chooseFile()
{
    const QString path = m_prompts.openFile(this, tr132("(*.bin)|*.bin|所有文件(*.*)|*.*|"));
    if (path.isEmpty()) return;
    rememberedPath() = path;
    m_path->setPlainText(path);
}

void FotaDialog::startUpgrade()
{
    const QString path = m_path->toPlainText();
    if (path.isEmpty()) return;
    auto loaded = loadFirmwareFile(QFile::encodeName(path).constData());
    if (auto *error = std::get_if<FirmwareFileError>(&loaded)) {
        m_prompts.message(this, firmwareFileErrorText(*error, m_language.isEnglish()));
        return;
    }
    m_runner.start(std::move(std::get<FirmwareFile>(loaded)), m_factory->isChecked());
}

void FotaDialog::poll() { m_runner.poll(); }

void FotaDialog::showStatus(const std::string &text, const std::string &suffix)
{
    m_status->setText(tr132(text.c_str()) + QString::fromStdString(suffix));
}

void FotaDialog::showPartition(const std::string &text) { m_partition->setText(QString::fromStdString(text)); }

void FotaDialog::showProgress(int maximum, int position)
{
    m_progress->setRange(0, maximum);
    m_progress->setValue(std::min(position, maximum));
}

void FotaDialog::setStartEnabled(bool enabled) { m_start->setEnabled(enabled); }

void FotaDialog::showResult(bool verified)
{
    m_green->setVisible(verified);
    m_red->setVisible(!verified);
}

void FotaDialog::hideResult()
{
    m_green->hide();
    m_red->hide();
}

} // namespace vorlet

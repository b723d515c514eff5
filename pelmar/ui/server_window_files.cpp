// Parameter files in the main window: export of the selected device, import
// into the ImportedEntry with its path beside "一键配置", the path's click,
// and one-click configuration with the device save followed by the port save;
// the list saved as an inventory.
#include "pelmar/ui/server_config_dialog.h"

#include "common/widgets/inventory_export.h"
#include "common/widgets/save_dialog.h"
#include "pelmar/core/server_inventory.h"
#include "pelmar/files/one_click.h"
#include "pelmar/files/parameter_file.h"
#include "pelmar/ui/server_list_model.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace pelmar {

namespace {

// The dialogs' filters "文件 (*.ini)|*.ini||" and "(*.ini)|*.ini|所有文件(*.*)|*.*|".
const char *const kExportFilter = "文件 (*.ini)";
const char *const kImportFilter = "(*.ini);;所有文件(*.*)";
const char *const kNothingImportedText = "请先导入配置参数！";
const char *const kWriteFailedText = "无法写入文件 %1";

} // namespace

void ServerConfigDialog::standardFileChooser(QWidget *parent, const FileRequest &request,
                                             std::function<void(const QString &)> chosen)
{
    auto *dialog = new QFileDialog(parent, QString(), request.folder, request.filter);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    if (request.save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        kyvo::followFilterSuffix(*dialog, request.filter);
        dialog->selectFile(request.proposedName);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    QObject::connect(dialog, &QFileDialog::finished, dialog,
                     [dialog, chosen = std::move(chosen)](int result) {
                         const QStringList files = dialog->selectedFiles();
                         chosen(result == QDialog::Accepted && !files.isEmpty() ? files.first() : QString());
                     });
    dialog->open();
}

void ServerConfigDialog::standardFileOpener(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// --- export ----------------------------------------------------------------

void ServerConfigDialog::exportParameterFile()
{
    const DeviceEntry *e = shownEntry();
    if (!e) return requireDeviceText();
    QDir().mkpath(m_options.parameterFolder);
    FileRequest request;
    request.save = true;
    request.folder = m_options.parameterFolder;
    request.proposedName = proposedParameterFileName(*e);
    request.filter = ownText(kExportFilter);
    const int device = m_shown;
    m_options.chooseFile(this, request, [this, device](const QString &path) {
        if (!path.isEmpty()) writeParameterFile(device, path);
    });
}

void ServerConfigDialog::writeParameterFile(int device, QString path)
{
    if (device < 0 || device >= m_model->rowCount()) return;
    const DeviceEntry &e = m_core.devices().at(std::size_t(device));
    if (!e.present) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".ini");
    // The file is written whole and replaces an older one only once it is
    // complete, so nothing of the older file stays behind and a failed write
    // leaves it as it was.
    if (!exportParameters(e).save(path))
        message(ownText(kWriteFailedText).arg(QDir::toNativeSeparators(path)));
}

// --- inventory -------------------------------------------------------------

void ServerConfigDialog::exportInventory()
{
    QDir().mkpath(m_options.parameterFolder);
    FileRequest request;
    request.save = true;
    request.folder = m_options.parameterFolder;
    request.proposedName = QStringLiteral("inventory.csv");
    request.filter = kyvo::inventoryFilter(m_language.language() == Language::English);
    m_options.chooseFile(this, request, [this](const QString &chosen) {
        const QString path = kyvo::inventoryPath(chosen);
        if (!path.isEmpty() && !kyvo::writeInventory(path, inventoryRows(m_core)))
            message(ownText(kWriteFailedText).arg(QDir::toNativeSeparators(path)));
    });
}

// --- import ----------------------------------------------------------------

void ServerConfigDialog::importParameterFile()
{
    FileRequest request;
    request.folder = m_options.parameterFolder;
    request.filter = ownText(kImportFilter);
    m_options.chooseFile(this, request, [this](const QString &path) {
        if (!path.isEmpty()) readParameterFile(path);
    });
}

void ServerConfigDialog::readParameterFile(const QString &path)
{
    auto status = kyvo::ProfileFile::LoadStatus::Loaded;
    const kyvo::ProfileFile file = kyvo::ProfileFile::load(path, &status);
    if (status == kyvo::ProfileFile::LoadStatus::TooLarge) {
        message(kyvo::profileTooLargeText(QDir::toNativeSeparators(path),
                                          m_language.language() == Language::English),
                m_language.text(slot::kInfoCaption));
        setImportedPath(QString());
        m_ui.oneClick->setEnabled(false);
        return;
    }
    // A value the devices cannot take refuses the whole file, naming its key.
    const std::optional<QString> bad = badParameterValue(file);
    if (!bad) m_imported = importParameters(file);
    if (!bad && validImportedPortCount(m_imported)) {
        m_ui.oneClick->setEnabled(true);
        setImportedPath(path);
        return;
    }
    message(bad ? m_language.text(300) + QLatin1Char(' ') + *bad : m_language.text(300),
            m_language.text(slot::kInfoCaption));
    setImportedPath(QString());
    m_ui.oneClick->setEnabled(false);
}

void ServerConfigDialog::setImportedPath(const QString &path)
{
    m_importedPath = path;
    const QString shown = QDir::toNativeSeparators(path);
    QLabel *label = m_ui.profilePath;
    label->setText(label->fontMetrics().elidedText(shown, Qt::ElideMiddle, kProfilePathWidth));
    label->setToolTip(shown);
    label->setCursor(path.isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void ServerConfigDialog::openImportedFile()
{
    if (!m_importedPath.isEmpty()) m_options.openFile(m_importedPath);
}

// --- one-click configuration -------------------------------------------------

void ServerConfigDialog::oneClickConfigure()
{
    const bool many = selectedDevices().size() > 1;
    if (many && m_importedPath.isEmpty()) return message(ownText(kNothingImportedText));
    if (many) return confirmBatch(ServerBatch::Operation::OneClick);
    DeviceEntry *e = shownEntry();
    if (!e) return requireDeviceText();
    if (m_importedPath.isEmpty()) return message(ownText(kNothingImportedText));
    if (!importedPortsFit(m_imported, *e))
        return message(m_language.text(304), m_language.text(slot::kInfoCaption));
    applyImportedEntry(m_imported, *e);
    // The hosts typed for this device gave way to the file's.
    for (auto it = m_longHosts.begin(); it != m_longHosts.end();)
        it = it->first.first == m_shown ? m_longHosts.erase(it) : std::next(it);
    const int index = m_shown;
    showDevice(index);
    if (!takeOverDeviceFields(*e)) return;
    m_commands->saveDeviceThenPorts(std::size_t(index), storedHostLengths(*e));
}

} // namespace pelmar

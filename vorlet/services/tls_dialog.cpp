// TLS certificates.
#include "vorlet/services/tls_dialog.h"

#include "vorlet/lang/dialog_captions.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/services/tls_bundle.h"
#include "vorlet/ui/record_texts.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace vorlet {

namespace {

constexpr std::size_t kPathBytes = sizeof(ParameterRecord::tlsCaPath);

template <typename W> W *numbered(W *widget, int control)
{
    setControlId(widget, control);
    return widget;
}

enum class Read { Ok, CannotOpen };
// At most `limit` bytes of the file; a longer file is never read further.
Read readFile(const QString &path, qint64 limit, QByteArray &data)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return Read::CannotOpen;
    data = file.read(limit);
    return Read::Ok;
}

ByteView view(const QByteArray &data)
{
    return ByteView(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size()));
}

QString sumText(std::uint16_t sum)
{
    return QString::asprintf("%04x", unsigned(sum));
}

} // namespace

tls::tls(ParameterRecord &record, DeviceDialogEnvironment environment, QWidget *parent)
    : DeviceDialog(kDialog, record, std::move(environment), parent)
{
    setWindowTitle(QStringLiteral("Just For Mqtt"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(numbered(new QLabel(QString::fromUtf8("效验和"), this), 1252), 0, 1);
    grid->addWidget(numbered(new QLabel(QString::fromUtf8("当前效验和"), this), 1253), 0, 2);
    const std::pair<int, const char *> buttons[] = {
        {1163, "导入 CA 文件  （必需）"}, {1164, "导入 Client 文件"}, {1165, "导入CLIENT KEY 文件"}};
    for (int f = 0; f < 3; ++f) {
        auto *button =
            numbered(new QPushButton(QString::fromUtf8(buttons[f].second), this), buttons[f].first);
        button->setMinimumWidth(200);
        m_paths[std::size_t(f)] = new QLabel(this);
        m_paths[std::size_t(f)]->setMinimumWidth(360);
        m_paths[std::size_t(f)]->setWordWrap(true);
        m_fileSums[std::size_t(f)] = new QLabel(this);
        m_deviceSums[std::size_t(f)] = new QLabel(this);
        grid->addWidget(button, 1 + 2 * f, 0);
        grid->addWidget(m_fileSums[std::size_t(f)], 1 + 2 * f, 1);
        grid->addWidget(m_deviceSums[std::size_t(f)], 1 + 2 * f, 2);
        grid->addWidget(m_paths[std::size_t(f)], 2 + 2 * f, 0, 1, 3);
        connect(button, &QPushButton::clicked, this, [this, f] { import(File(f)); });
        m_deviceSums[std::size_t(f)]->setText(sumText(record.certChecks[f].get()));
        showFile(File(f));
    }
    auto *save = numbered(new QPushButton(QString::fromUtf8("保存TLS文件"), this), 1008);
    auto *quit = numbered(new QPushButton(QString::fromUtf8("退出"), this), 1007);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(save);
    row->addWidget(quit);
    grid->addLayout(row, 7, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    connect(save, &QPushButton::clicked, this, &tls::upload);
    connect(quit, &QPushButton::clicked, this, &QDialog::accept);
    applyLanguage();
}

std::uint8_t *tls::pathField(File file)
{
    return file == Ca ? m_record.tlsCaPath : file == Cert ? m_record.tlsCertPath : m_record.tlsKeyPath;
}

QString tls::pathText(File file) const
{
    return m_paths[std::size_t(file)]->text();
}
QString tls::fileSum(File file) const
{
    return m_fileSums[std::size_t(file)]->text();
}
QString tls::deviceSum(File file) const
{
    return m_deviceSums[std::size_t(file)]->text();
}

// The stored path and the checksum of the file there now (0000 when it
// cannot be read).
void tls::showFile(File file)
{
    const QString path = gbkFieldText(pathField(file), kPathBytes);
    QByteArray data;
    const bool read = readFile(path, qint64(kTlsReadLimit), data) == Read::Ok;
    m_paths[std::size_t(file)]->setText(path);
    m_fileSums[std::size_t(file)]->setText(sumText(read ? tlsChecksum(view(data)) : 0));
}

void tls::import(File file)
{
    const QString path = openFile(
        tableText(file == Key ? "(*.key)|*.key|所有文件(*.*)|*.*|" : "(*.crt)|*.crt|所有文件(*.*)|*.*|"));
    if (path.isEmpty()) return;
    QByteArray data;
    if (readFile(path, qint64(kTlsImportLimit) + 1, data) != Read::Ok) {
        showMessage(QStringLiteral("open failed"));
        return;
    }
    if (std::size_t(data.size()) > kTlsImportLimit) {
        showMessage(QStringLiteral("file is huge!!!"));
        return;
    }
    setGbkField(pathField(file), kPathBytes, path, kPathBytes - 1);
    m_paths[std::size_t(file)]->setText(path);
    m_fileSums[std::size_t(file)]->setText(sumText(tlsChecksum(view(data))));
}

void tls::upload()
{
    std::array<QByteArray, 3> files;
    for (int f = 0; f < 3; ++f) {
        const QString path = gbkFieldText(pathField(File(f)), kPathBytes);
        if (readFile(path, qint64(kTlsReadLimit), files[std::size_t(f)]) != Read::Ok) {
            if (f == Ca) {
                showMessage(tableText("CA文件是必需的，请导入！！！"));
                return;
            }
            files[std::size_t(f)].clear(); // an unreadable client file counts as absent
        }
    }
    const Bytes bundle = tlsBundle(view(files[Ca]), view(files[Cert]), view(files[Key]));
    if (bundle.size() > kTlsBundleCapacity) {
        showMessage(text("TLS 文件共 %1 字节，超过设备的 %2 字节，未发送",
                         "The TLS files make %1 bytes, more than the device's %2 bytes; nothing was sent")
                        .arg(bundle.size())
                        .arg(kTlsBundleCapacity));
        return;
    }
    // In scope 0 the upload is a broadcast: a client key then reaches every
    // host of the segment, so the user decides first.
    if (scope() == 0 && !files[Key].isEmpty()) {
        confirm(text("当前未勾选跨路由，TLS 文件将以广播发送，网段内的每台主机都会收到其中的 CLIENT "
                     "KEY。继续发送吗？",
                     "The TLS files go by broadcast (cross-router search is off): every host on the network "
                     "segment receives the client key. Send them?"),
                [this, bundle] { sendBundle(bundle); });
        return;
    }
    sendBundle(bundle);
}

void tls::sendBundle(const Bytes &bundle)
{
    storeTlsBundle(m_record, bundle);
    clearAcknowledgement();
    send(tlsUploadMessage(scope(), mac(), bundle));
    m_ack.start(now());
    arm();
}

void tls::runDue(kyvo::Millis t)
{
    switch (m_ack.run(t, acknowledged())) {
    case AckWait::End::Succeeded:
        showMessage(tableText("保存成功"));
        break;
    case AckWait::End::Failed:
        showMessage(tableText("保存失败"));
        break;
    case AckWait::End::None:
        break;
    }
}

std::optional<kyvo::Millis> tls::nextDeadline() const
{
    return m_ack.nextDeadline();
}

void tls::done(int result)
{
    m_ack.stop();
    arm();
    DeviceDialog::done(result);
}

} // namespace vorlet

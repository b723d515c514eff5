// Labels, production history and cloud enrolment from the main window.
#include "vorlet/maintenance/label_printing.h"

#include "common/fixed_field.h"
#include "common/gbk_text.h"
#include "vorlet/record/parameter_record.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>

namespace vorlet {

namespace {

using labels::Bytes;
using labels::ByteView;

// Up to `limit` bytes of a file; nothing when it cannot be opened.
std::optional<Bytes> readUpTo(const QString &path, std::size_t limit)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray data = f.read(qint64(limit));
    return Bytes(data.begin(), data.end());
}

} // namespace

LabelPrinting::LabelPrinting(CvorletDlg &window, LabelOptions options)
    : QObject(&window), m_window(window), m_options(std::move(options)),
      m_agent(new labels::PrintAgent(m_options.agentPort, this))
{
    if (!m_options.localTime) m_options.localTime = [] { return QDateTime::currentDateTime(); };
    const MainWindowControls &ui = window.controls();
    connect(ui.print, &QPushButton::clicked, this, [this] { print(true); });
    connect(ui.printNoLogo, &QPushButton::clicked, this, [this] { print(false); });
    connect(ui.addToCloud, &QPushButton::clicked, this, &LabelPrinting::enrol);
    connect(m_agent, &labels::PrintAgent::agentAnswered, this, &LabelPrinting::agentAnswered);
    m_agent->probe(m_options.probeWait);
}

QString LabelPrinting::path(const char *name) const
{
    const QString folder = m_options.folder.isEmpty() ? QDir::currentPath() : m_options.folder;
    return QDir(folder).filePath(QString::fromLatin1(name));
}

void LabelPrinting::agentAnswered()
{
    const MainWindowControls &ui = m_window.controls();
    if (const auto text = readUpTo(path("model.txt"), labels::kModelFileLimit))
        m_models = labels::parseModelList(*text);
    for (const std::string &m : m_models)
        ui.labelModel->addItem(kyvo::fromGbk(QByteArrayView(m.data(), qsizetype(m.size()))));
    ui.labelModel->setCurrentIndex(0);
    for (QWidget *w : {static_cast<QWidget *>(ui.labelModel), static_cast<QWidget *>(ui.print),
                       static_cast<QWidget *>(ui.printNoLogo), static_cast<QWidget *>(ui.addToCloud)})
        w->show();
}

labels::LabelValues LabelPrinting::labelValues(const ParameterRecord &record, int row) const
{
    labels::LabelValues v;
    v.id = labels::identityText(std::span<const std::uint8_t, 9>(record.identity));
    std::copy(std::begin(record.mac), std::end(record.mac), v.mac.begin());
    // The model printed is the list's entry at the device's row.
    if (row >= 0 && std::size_t(row) < m_models.size()) v.model = m_models[std::size_t(row)];
    v.version = kyvo::fieldText(record.versionText);
    return v;
}

std::optional<Bytes> LabelPrinting::convertLogo()
{
    QFile f(path("logo.txt"));
    if (!f.open(QIODevice::ReadOnly)) {
        message(QStringLiteral("not found logo.pcx"));
        return std::nullopt;
    }
    if (f.size() > qint64(labels::kLogoFileLimit)) {
        message(text("logo.txt 超过 40240 字节，未打印",
                     "logo.txt is larger than 40240 bytes; nothing was printed"));
        return std::nullopt;
    }
    const QByteArray hex = f.read(qint64(labels::kLogoFileLimit));
    Bytes logo = labels::logoFromHex(
        ByteView(reinterpret_cast<const std::uint8_t *>(hex.constData()), std::size_t(hex.size())));
    if (logo.empty()) return std::nullopt;
    QSaveFile pcx(path("logo.pcx"));
    if (pcx.open(QIODevice::WriteOnly)) {
        pcx.write(reinterpret_cast<const char *>(logo.data()), qint64(logo.size()));
        pcx.commit();
    }
    return logo;
}

bool LabelPrinting::appendHistory(const labels::LabelValues &values)
{
    const QDateTime now = m_options.localTime();
    const labels::LocalDateTime at{now.date().year(), now.date().month(),  now.date().day(),
                                   now.time().hour(), now.time().minute(), now.time().second()};
    const std::string line = labels::historyLine(values, at);
    QFile f(path(kHistoryFile));
    // Appended, never rewritten: earlier lines stay as they are.
    return f.open(QIODevice::WriteOnly | QIODevice::Append) &&
           f.write(line.data(), qint64(line.size())) == qint64(line.size()) && f.flush();
}

void LabelPrinting::print(bool withLogo)
{
    const ParameterRecord *record = m_window.selectedRecord();
    if (!record) {
        setStatus("请选择一个设备");
        return;
    }
    const auto logo = convertLogo();
    if (!logo) return;
    const char *templateName = withLogo ? "label-gw.txt" : "label-gw-nologo.txt";
    // The template is read before anything is sent or written, so that a
    // missing one leaves neither half a label nor a history line behind.
    const auto templateText = readUpTo(path(templateName), labels::kTemplateFileLimit);
    if (!templateText) {
        message(QString::fromLatin1(templateName));
        return;
    }
    const labels::LabelValues values = labelValues(*record, m_window.selectedRow());
    if (!appendHistory(values)) {
        message(text("无法写入 history.txt，未打印", "history.txt cannot be written; nothing was printed"));
        return;
    }
    m_agent->send(labels::setupCommands());
    m_agent->send(labels::logoDownload(*logo));
    m_agent->send(labels::buildLabel(*templateText, values));
}

void LabelPrinting::enrol()
{
    const ParameterRecord *record = m_window.selectedRecord();
    if (!record) {
        setStatus("请选择一个设备");
        return;
    }
    if (m_enroller && m_enroller->busy()) return;
    const SearchSettings &s = m_window.settings();
    const QHostAddress server(QString::fromLatin1(s.cloudAddress));
    if (server.protocol() != QAbstractSocket::IPv4Protocol || s.cloudPort <= 0 || s.cloudPort > 65535) {
        setStatus("添加失败");
        message(text("未设置云注册服务器 (hx.ini 的 [cloud] 节: address, port)",
                     "No enrolment server is set (hx.ini, section [cloud]: address, port)"));
        return;
    }
    setStatus("正在添加...");
    labels::CloudEnroller::Options o;
    o.server = server;
    o.port = quint16(s.cloudPort);
    o.timeouts = m_options.enrolTimeouts;
    o.clock = m_options.clock;
    if (m_enroller) m_enroller->deleteLater();
    m_enroller = new labels::CloudEnroller(o, this);
    connect(m_enroller, &labels::CloudEnroller::finished, this, &LabelPrinting::enrolled);
    std::array<std::uint8_t, 6> mac;
    std::copy(std::begin(record->mac), std::end(record->mac), mac.begin());
    m_enroller->enrol(mac);
}

void LabelPrinting::enrolled(labels::EnrolResult result)
{
    switch (result) {
    case labels::EnrolResult::Enrolled:
        setStatus("添加成功");
        break;
    case labels::EnrolResult::AlreadyEnrolled:
        setStatus("已经添加");
        break;
    case labels::EnrolResult::Failed:
        setStatus("添加失败");
        break;
    }
}

void LabelPrinting::setStatus(const char *chinese)
{
    m_window.controls().status->setText(m_window.language().tr102(chinese));
}

QString LabelPrinting::text(const char *chinese, const char *english) const
{
    return QString::fromUtf8(m_window.language().isEnglish() ? english : chinese);
}

void LabelPrinting::message(const QString &text)
{
    if (m_options.message) {
        m_options.message(&m_window, text);
        return;
    }
    auto *box =
        new QMessageBox(QMessageBox::NoIcon, QStringLiteral("vorlet"), text, QMessageBox::Ok, &m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void addLabelPrinting(CvorletDlg::Options &options, LabelOptions labels)
{
    options.labels = [labels](CvorletDlg &window) { new LabelPrinting(window, labels); };
}

} // namespace vorlet

// The HTTP client panel.
#include "vorlet/services/http_panel.h"
#include "common/widgets/long_texts.h"

#include "vorlet/record/parameter_record.h"
#include "vorlet/ui/record_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vorlet {

using namespace httpcontrol;

namespace {
constexpr std::size_t kAddressLimit = 126;
constexpr std::size_t kHeaderLimit = 127;
constexpr char kUrlExamples[] = "例如: http://www.example.com/api/data 或 http://192.168.1.100:8080/api/data";
} // namespace

void storeHttpHeader(std::uint8_t (&field)[128], const QString &shown)
{
    QString text = shown;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    setGbkField(field, text, kHeaderLimit);
    for (std::size_t n = kyvo::fieldTextLength(field);
         n > 0 && (field[n - 1] == '\r' || field[n - 1] == '\n'); --n)
        field[n - 1] = 0;
}

QString httpHeaderText(const std::uint8_t (&field)[128])
{
    QString text = gbkFieldText(field);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

HttpPanel::HttpPanel(int channel, const PanelEnvironment &env, std::shared_ptr<ServiceContext> context,
                     QWidget *parent)
    : ServicePanel(kHttpDialog, channel, env, std::move(context), parent)
{
    build();
    retranslate(language());
}

void HttpPanel::build()
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    auto label = [this](int id, const char *caption) { return numbered(new QLabel(zh(caption), this), id); };

    m_address = numbered(new QLineEdit(this), kAddress);
    m_port = numbered(new QLineEdit(this), kPort);
    m_method = numbered(new QComboBox(this), kMethod);
    m_hexConversion = numbered(new QCheckBox(zh("hex 转ascii hex(0x01<->\"01\")"), this), kHexConversion);
    m_header = numbered(new QPlainTextEdit(this), kHeader);
    m_header->setTabChangesFocus(true);
    m_header->setMinimumHeight(60);
    auto *postDemo = numbered(new QPushButton(QStringLiteral("POST DEMO"), this), kPostDemo);
    auto *getDemo = numbered(new QPushButton(QStringLiteral("GET DEMO"), this), kGetDemo);
    m_exampleUrl = numbered(new QLabel(this), kExampleUrl);
    m_exampleUrl->setTextFormat(Qt::PlainText);
    auto *addressHelp = linkLabel(this, kAddressHelp, QStringLiteral("?"));
    auto *portHelp = linkLabel(this, kPortHelp, QStringLiteral("?"));
    auto *hint = label(kUrlHint, kUrlExamples);
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);

    grid->addWidget(label(kAddressLabel, "服务器地址"), 0, 0);
    grid->addWidget(m_address, 0, 1, 1, 3);
    grid->addWidget(addressHelp, 0, 4);
    grid->addWidget(label(kPortLabel, "服务器端口"), 1, 0);
    grid->addWidget(m_port, 1, 1);
    grid->addWidget(portHelp, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("POST/GET"), this), 2, 0);
    grid->addWidget(m_method, 2, 1);
    grid->addWidget(m_hexConversion, 3, 1, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("HTTP Header"), this), 4, 0, Qt::AlignTop);
    grid->addWidget(m_header, 4, 1, 1, 4);
    auto *demos = new QHBoxLayout;
    demos->addWidget(postDemo);
    demos->addWidget(getDemo);
    demos->addStretch(1);
    grid->addLayout(demos, 5, 0, 1, 5);
    // Long texts on lines of their own, so the panel is no wider than the others.
    grid->addWidget(m_exampleUrl, 6, 0, 1, 5);
    grid->addWidget(hint, 7, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 2);
    grid->setRowStretch(4, 1); // the header takes the room a tall place leaves

    const QString path = QLatin1String(kDemoPath);
    QObject::connect(postDemo, &QPushButton::clicked, this,
                     [this, path] { fillDemo(QStringLiteral("POST ") + path); });
    QObject::connect(getDemo, &QPushButton::clicked, this,
                     [this, path] { fillDemo(QStringLiteral("GET ") + path + QLatin1Char('?')); });
    QObject::connect(portHelp, &QLabel::linkActivated, this,
                     [this] { showMessage(tr("HTTP 端口一般是 80  HTTPS 的默认端口一般是443")); });
    QObject::connect(addressHelp, &QLabel::linkActivated, this, [this] { showMessage(addressHelpText()); });
}

QString HttpPanel::exampleUrl() const
{
    return QStringLiteral("http://") + options().httpDemoHost + QLatin1String(kDemoPath);
}

QString HttpPanel::addressHelpText() const
{
    const QString explanation =
        language().isEnglish()
            ? QStringLiteral("The server address is the domain name or IP address of the service, "
                             "that is, the host part of a URL, such as %1.")
            : zh("服务器地址是服务的域名或IP地址，即网址中的主机部分，如 %1。");
    return language().translate(kHttpDialog, explanation.arg(options().httpDemoHost)) + QLatin1Char('\n') +
           tr(kUrlExamples);
}

void HttpPanel::fillDemo(const QString &requestLine)
{
    m_address->setText(options().httpDemoHost);
    m_header->setPlainText(requestLine);
}

void HttpPanel::retranslate(const Language &language)
{
    setTranslatedItems(m_method, language, kHttpDialog, kHttpMethods);
    applyDialogTable(this, kHttpDialog, language);
    m_exampleUrl->setText(language.translate(kHttpDialog, "如网址:") + exampleUrl());
}

void HttpPanel::load(const ChannelBlock &block)
{
    m_address->setText(gbkFieldText(block.httpServer));
    m_port->setText(QString::number(block.httpPort.get()));
    m_header->setPlainText(httpHeaderText(block.httpHeader));
    selectStoredIndex(m_method, block.httpMethod);
    m_hexConversion->setChecked(block.httpHexConversion != 0);
    kyvo::showTextStarts(this);
}

void HttpPanel::store(ChannelBlock &block) const
{
    setGbkField(block.httpServer, m_address->text(), kAddressLimit);
    block.httpPort = u16Value(m_port->text());
    block.httpMethod = selectedIndex(m_method);
    block.httpHexConversion = m_hexConversion->isChecked() ? 1 : 0;
    storeHttpHeader(block.httpHeader, m_header->toPlainText());
}

} // namespace vorlet

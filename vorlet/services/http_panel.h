// The HTTP client panel `http` (resource 131): server, port, method, the
// request line and header text and the hex option of a channel in mode 5 or 8.
#pragma once

#include "vorlet/services/service_context.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vorlet {

inline constexpr int kHttpDialog = 131;

namespace httpcontrol {
// Captions of the design.
inline constexpr int kAddressLabel = 1244, kPortLabel = 1245, kHexConversion = 1033, kUrlHint = 1246;
// The panel's own numbers.
inline constexpr int kAddress = 2001, kPort = 2002, kMethod = 2003, kHeader = 2004, kPostDemo = 2005,
                     kGetDemo = 2006, kExampleUrl = 2007, kAddressHelp = 2008, kPortHelp = 2009;
} // namespace httpcontrol

inline constexpr const char *kHttpMethods[] = {"POST-JSON", "GET", "POST-x-www-form-urlencoded"};
inline constexpr char kDemoPath[] = "/http-test.php";

// The header text as the device keeps it: lines end in CR LF, at most 127
// bytes of GBK, without trailing line breaks.
void storeHttpHeader(std::uint8_t (&field)[128], const QString &shown);
// And as the edit shows it, one '\n' per line.
QString httpHeaderText(const std::uint8_t (&field)[128]);

class HttpPanel : public ServicePanel
{
public:
    HttpPanel(int channel, const PanelEnvironment &env, std::shared_ptr<ServiceContext> context,
              QWidget *parent = nullptr);

    void load(const ChannelBlock &block) override;
    void store(ChannelBlock &block) const override;
    void retranslate(const Language &language) override;

private:
    void build();
    void fillDemo(const QString &requestLine);
    QString exampleUrl() const;
    QString addressHelpText() const;

    QLineEdit *m_address = nullptr, *m_port = nullptr;
    QComboBox *m_method = nullptr;
    QCheckBox *m_hexConversion = nullptr;
    QPlainTextEdit *m_header = nullptr;
    QLabel *m_exampleUrl = nullptr;
};

} // namespace vorlet

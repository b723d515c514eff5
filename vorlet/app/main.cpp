// vorlet: the gateway configuration tool.
#include "vorlet/services/service_wiring.h"
#include "vorlet/ui/main_window.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorlet"));
    QApplication::setOrganizationName(QStringLiteral("kyvo"));
    vorlet::CvorletDlg::Options options;
    vorlet::addServicePanels(options);
    vorlet::CvorletDlg window(std::move(options));
    window.show();
    return app.exec();
}

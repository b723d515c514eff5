// vorlet: the gateway configuration tool.
#include "vorlet/app/app_options.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorlet"));
    QApplication::setOrganizationName(QStringLiteral("kyvo"));
    vorlet::CvorletDlg window(vorlet::programOptions());
    window.show();
    return app.exec();
}

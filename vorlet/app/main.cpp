// vorlet: the gateway configuration tool.
#include "vorlet/ui/main_window.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorlet"));
    QApplication::setOrganizationName(QStringLiteral("kyvo"));
    vorlet::CvorletDlg window;
    window.show();
    return app.exec();
}

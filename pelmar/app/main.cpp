// pelmar: the serial device server configuration tool.
#include "pelmar/app/app_options.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pelmar"));
    QApplication::setOrganizationName(QStringLiteral("kyvo"));
    pelmar::ServerConfigDialog window(pelmar::programOptions());
    window.show();
    return app.exec();
}

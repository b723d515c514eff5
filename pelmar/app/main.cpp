// pelmar: the serial device server configuration tool.
#include "kyvo_version.h"
#include "pelmar/app/app_options.h"

#include "common/widgets/accessible_names.h"
#include "common/widgets/start_check.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (kyvo::answerVersion(argc, argv, "pelmar")) return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pelmar"));
    QApplication::setOrganizationName(QStringLiteral("kyvo"));
    if (!kyvo::checkStart(QStringLiteral("pelmar"))) return 1;
    kyvo::AccessibleNames::install();
    pelmar::ServerConfigDialog window(pelmar::programOptions());
    window.show();
    return app.exec();
}

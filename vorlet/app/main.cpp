// vorlet: the gateway configuration tool.
#include "kyvo_version.h"
#include "vorlet/app/app_options.h"

#include "common/widgets/accessible_names.h"
#include "common/widgets/start_check.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (kyvo::answerVersion(argc, argv, "vorlet")) return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorlet"));
    QApplication::setOrganizationName(QStringLiteral("kyvo"));
    if (!kyvo::checkStart(QStringLiteral("vorlet"))) return 1;
    kyvo::AccessibleNames::install();
    vorlet::CvorletDlg window(vorlet::programOptions());
    window.show();
    return app.exec();
}

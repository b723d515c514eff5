// Start-up check of the window programs.
#include "common/widgets/start_check.h"

#include "common/gbk_text.h"

#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>

namespace kyvo {

bool checkStart(const QString &program)
{
    const QString problem = textCodecProblem(program);
    if (problem.isEmpty()) return true;
    std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::critical(nullptr, program, problem);
    return false;
}

} // namespace kyvo

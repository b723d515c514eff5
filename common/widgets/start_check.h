// What a window program checks before it opens its window.
#pragma once

#include <QString>

namespace kyvo {

// False after telling the user, on standard error and in a box when there
// is a screen to show it on, why the program does not start (no GBK
// converter, see textCodecProblem). Needs the QApplication.
bool checkStart(const QString &program);

} // namespace kyvo

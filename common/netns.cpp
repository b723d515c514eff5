// Network namespace check.
#include "common/netns.h"

#include <QFileInfo>
#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

namespace kyvo {

bool inPrivateNetworkNamespace()
{
#ifdef Q_OS_LINUX
    struct stat self {}, init {};
    if (stat("/proc/self/ns/net", &self) != 0 || stat("/proc/1/ns/net", &init) != 0) return false;
    return self.st_ino != init.st_ino || self.st_dev != init.st_dev;
#else
    return false;
#endif
}

} // namespace kyvo

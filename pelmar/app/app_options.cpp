// The program's main-window options.
#include "pelmar/app/app_options.h"

namespace pelmar {

ServerConfigDialog::Options programOptions()
{
    ServerConfigDialog::Options options;
    return options;
}

} // namespace pelmar

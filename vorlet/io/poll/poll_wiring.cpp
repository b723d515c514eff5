// Opening mbpoll from the main window.
#include "vorlet/io/poll/poll_wiring.h"

#include "vorlet/io/poll/mbpoll.h"
#include "vorlet/ui/device_commands.h"

namespace vorlet {

void addPollDialog(CvorletDlg::Options &options, PollOptions pollOptions)
{
    CvorletDlg::Extension poll;
    poll.open = [pollOptions](CvorletDlg &window, ParameterRecord *record) {
        if (!record) return;
        PollEnvironment env;
        env.language = &window.language();
        env.utf8 = &window.settings().utf8;
        env.clock = pollOptions.clock;
        env.requestValues = [&window, record] {
            window.core().sendToDevice(poll::valuesQuery(window.core().scope(), recordMac(record->mac)),
                                       *record);
        };
        auto *dialog = new mbpoll(*record, std::move(env), &window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->open();
    };
    options.extensions[kPollLink] = std::move(poll);
}

} // namespace vorlet

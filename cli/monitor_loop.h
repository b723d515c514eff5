// What both tools' "monitor" commands share: running until the user
// interrupts (Ctrl+C) or the process is asked to end.
#pragma once

namespace cli {

// Runs the application's event loop until SIGINT or SIGTERM arrives; the
// signal only sets a flag, which a timer of the loop looks at, so the
// command ends between batches with its files flushed.
void runUntilInterrupted();

} // namespace cli

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillet {

// How a command ended, for front ends that report it (the window shows nothing on
// success; the command line turns it into its exit status).
enum class CommandOutcome {
    Done,     // the command did its work
    NotRun,   // nothing to do: no selection, no view, or the person cancelled
    Refused,  // refused with a message, nothing touched
    Failed,   // failed with a message
};

}  // namespace quillet

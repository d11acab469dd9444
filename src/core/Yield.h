#pragma once

namespace clipvane {

// Lets pending messages run: the window messages already queued are handled before the caller goes on.
// A handler can run nested inside this call.
void letPendingMessagesRun();

} // namespace clipvane

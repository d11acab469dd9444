#pragma once
#include "core/Dialogs.h"
#include "core/ExternalAddresses.h"
#include "platform/Platform.h"

namespace clipvane {

// What the composition root hands to every window: the OS services, the dialogs service and the
// addresses outside the machine (read once at start-up).
struct Services {
    PlatformServices platform;
    Dialogs* dialogs = nullptr;
    ExternalAddresses addresses;
};

} // namespace clipvane

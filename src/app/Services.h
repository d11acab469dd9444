#pragma once
#include "app/Dialogs.h"
#include "platform/Platform.h"

namespace clipvane {

// What the composition root hands to every window: the OS services and the dialogs service.
struct Services {
    PlatformServices platform;
    Dialogs* dialogs = nullptr;
};

} // namespace clipvane

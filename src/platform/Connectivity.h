#pragma once

namespace clipvane {

// The system's own answer to "is there an Internet connection"; sends nothing.
class Connectivity {
public:
    virtual ~Connectivity() = default;
    virtual bool isInternetConnected() = 0;
};

} // namespace clipvane

#pragma once

#include "platform/defaults/UserDefaults.h"

// Empty settings for the life of the object; whatever a test stored is gone
// afterwards.
class ScopedUserDefaults {
public:
    ScopedUserDefaults() { defaults().clear(); }
    ~ScopedUserDefaults() { defaults().clear(); }
    ScopedUserDefaults(const ScopedUserDefaults&) = delete;
    ScopedUserDefaults& operator=(const ScopedUserDefaults&) = delete;

    static UserDefaults& defaults() { return UserDefaults::standardUserDefaults(); }
};

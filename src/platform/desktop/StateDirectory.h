#pragma once

#include <QString>

// Vistrel's folder for files that outlive a run but are no settings: saved
// diagnostic reports and the support log ($XDG_STATE_HOME/vistrel, or
// ~/.local/state/vistrel when the variable is unset or not absolute).
class StateDirectory {
public:
    static QString path();
    // Makes the folder (private to the user) when it is missing; empty when it cannot be made.
    static QString ensure();
};

#pragma once

#include <QString>

// Where the running program lies, for the start-up check: a place that is
// cleared on the next boot (a build under /tmp) or that cannot be written
// (a mounted read-only medium) is no place to keep it.
class ProgramLocation {
public:
    enum class Kind { Ordinary, Temporary, ReadOnly };

    static Kind of(const QString& folder);
    // The folder of the running executable.
    static QString executableFolder();
};

#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// Where a program of a given name may lie: in the given folders, then in
// those of PATH, as they were when the search was made. Looking again costs
// one stat per place and nothing else, so a search kept for a periodic
// check makes no strings and splits no PATH each time.
class ExecutableSearch {
public:
    ExecutableSearch(const QString& name, const QStringList& folders);

    // The first place holding an executable regular file of that name, or empty.
    QString find() const;

private:
    std::vector<std::string> m_candidates;
};

#include "platform/desktop/ExecutableSearch.h"

#include <QDir>
#include <QFile>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

ExecutableSearch::ExecutableSearch(const QString& name, const QStringList& folders)
{
    QStringList places = folders;
    places += QString::fromLocal8Bit(qgetenv("PATH")).split(u':', Qt::SkipEmptyParts);
    for (const QString& folder : places) {
        const std::string candidate = QFile::encodeName(QDir::cleanPath(QDir(folder).absoluteFilePath(name))).toStdString();
        if (std::find(m_candidates.begin(), m_candidates.end(), candidate) == m_candidates.end())
            m_candidates.push_back(candidate);
    }
}

QString ExecutableSearch::find() const
{
    for (const std::string& candidate : m_candidates) {
        struct stat status {};
        if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return QFile::decodeName(candidate.c_str());
    }
    return {};
}

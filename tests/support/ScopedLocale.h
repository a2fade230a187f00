#pragma once

#include <QLocale>

// Makes a locale the default for the life of the object, then restores the
// one before, so number and date texts can be checked word for word.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale)
        : m_previous(QLocale())
    {
        QLocale::setDefault(locale);
    }
    ~ScopedLocale() { QLocale::setDefault(m_previous); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    QLocale m_previous;
};

#include "app/SettingsWriteExercise.h"

#include "platform/defaults/UserDefaults.h"

#include <QVariantList>

SettingsWriteExercise::SettingsWriteExercise(UserDefaults& defaults, QObject* parent)
    : QObject(parent)
    , m_defaults(defaults)
{
    // A zero interval writes whenever no other event waits, so a quit still gets through.
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &SettingsWriteExercise::writeOnce);
    m_timer.start();
}

void SettingsWriteExercise::writeOnce()
{
    ++m_round;
    QVariantList entries;
    entries.reserve(Entries);
    for (int entry = 0; entry < Entries; ++entry)
        entries.append(QStringLiteral("round %1, entry %2").arg(m_round).arg(entry));
    m_defaults.setObject(Key, entries);
}

#pragma once

#include <QLatin1String>
#include <QObject>
#include <QTimer>

class UserDefaults;

// Writes one setting over and over, as fast as the event loop allows, so
// that a test can end the program while a settings write is under way and
// check that the file stays whole. Started only by a command-line option
// meant for that test. Each write stores a list of Entries texts that all
// name the same round: a file cut short or mixed from two writes shows.
class SettingsWriteExercise : public QObject {
    Q_OBJECT
public:
    static constexpr QLatin1String Key{"SettingsWriteExercise"};
    static constexpr int Entries = 400;

    explicit SettingsWriteExercise(UserDefaults& defaults, QObject* parent = nullptr);

private:
    void writeOnce();

    UserDefaults& m_defaults;
    QTimer m_timer;
    qint64 m_round = 0;
};

#pragma once

#include "configuration/ConfigurationTopic.h"
#include "platform/notifications/NotificationCenter.h"

#include <QPointer>

class QCheckBox;
class QLabel;
class QPushButton;

// The page of the app extension Vistrel Plus: the permission to use it and
// whether it is installed, compatible (with its version) and connected. It
// keeps no state of its own: it shows the session's and refreshes on
// "AppExtensionDidChange" (and on "AppExtensionDidReceive" for the note on
// power figures, which depends on the data).
class VistrelPlusTopic : public ConfigurationTopic {
    Q_OBJECT
public:
    static constexpr char ClassName[] = "VistrelPlusTopic";

    VistrelPlusTopic();
    ~VistrelPlusTopic() override;

    QString className() const override { return QLatin1String(ClassName); }
    QString systemSymbolNameOfIcon() const override;
    QString accessibilityDescriptionOfIcon() const override;

    bool shouldUseAppExtension() const;
    // Stores the permission and checks availability at once, so switching on
    // connects and switching off disconnects.
    void setShouldUseAppExtension(bool use);
    void refreshAppExtensionStatus();
    void openDownloadPage();

protected:
    QWidget* createContentView() override;

private:
    // A status line: lamp and text.
    struct StatusLine {
        QPointer<QLabel> indicator;
        QPointer<QLabel> field;
    };
    enum class Lamp { Available, Unavailable, None };
    static void show(const StatusLine& line, Lamp lamp, const QString& text);
    StatusLine addStatusLine(const QString& title, const QString& name);

    StatusLine m_detected;
    StatusLine m_compatible;
    StatusLine m_connected;
    QPointer<QCheckBox> m_useSwitch;
    QPointer<QPushButton> m_downloadButton;
    QPointer<QLabel> m_powerNote;
    NotificationCenter::Token m_changeObserver = 0;
    NotificationCenter::Token m_receiveObserver = 0;
};

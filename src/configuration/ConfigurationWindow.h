#pragma once

#include <QMainWindow>

// The configuration window. It holds the topic outline and the selected
// topic's page; closing it returns the application to menu-bar only.
class ConfigurationWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit ConfigurationWindow(const QString& applicationName);

Q_SIGNALS:
    void windowWillClose();

protected:
    void closeEvent(QCloseEvent* event) override;
};

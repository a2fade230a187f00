#pragma once

#include <QObject>

#include <memory>

class QMessageBox;
class VistrelPlusSession;

// The two windows of the app-extension session: the advisory (the companion
// was removed or replaced) and the failure notice (it could not be started
// or was not acceptable). Neither blocks the menu bar.
class VistrelPlusNotices : public QObject {
    Q_OBJECT
public:
    explicit VistrelPlusNotices(VistrelPlusSession& session);
    ~VistrelPlusNotices() override;

    QMessageBox* advisoryWindow() const { return m_advisoryWindow.get(); }
    QMessageBox* failureWindow() const { return m_failureWindow.get(); }

private:
    std::unique_ptr<QMessageBox> m_advisoryWindow;
    std::unique_ptr<QMessageBox> m_failureWindow;
};

#include "app/VistrelPlusNotices.h"

#include "extension/VistrelPlusSession.h"

#include <QMessageBox>

namespace {

std::unique_ptr<QMessageBox> noticeWindow(const QString& name, QMessageBox::Icon icon)
{
    auto window = std::make_unique<QMessageBox>();
    window->setObjectName(name);
    window->setIcon(icon);
    window->setWindowTitle(QStringLiteral("Vistrel Plus"));
    window->setWindowModality(Qt::NonModal);
    return window;
}

void bringToFront(QMessageBox& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

}

VistrelPlusNotices::VistrelPlusNotices(VistrelPlusSession& session)
    : m_advisoryWindow(noticeWindow(QStringLiteral("appExtensionAdvisoryWindow"), QMessageBox::Information))
    , m_failureWindow(noticeWindow(QStringLiteral("appExtensionFailureWindow"), QMessageBox::Warning))
{
    connect(&session, &VistrelPlusSession::advisoryRaised, this, [this](const QString& headline, const QString& text) {
        m_advisoryWindow->setText(headline);
        m_advisoryWindow->setInformativeText(text);
        bringToFront(*m_advisoryWindow);
    });
    connect(&session, &VistrelPlusSession::failureNoticeRaised, this, [this](const QString& message) {
        m_failureWindow->setText(message);
        bringToFront(*m_failureWindow);
    });
}

VistrelPlusNotices::~VistrelPlusNotices() = default;

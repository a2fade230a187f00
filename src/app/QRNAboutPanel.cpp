#include "app/QRNAboutPanel.h"

#include "items/QRNMainMenuMonitorItem.h"
#include "support/ApplicationName.h"
#include "support/DiagnosticReport.h"

#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

constexpr int IconSize = 96;
constexpr int ReflectionHeight = 32;

// The symbol with a mirrored copy below it that fades into the background.
QPixmap symbolWithReflection(const QPalette& palette, qreal ratio)
{
    const QImage symbol = QRNMainMenuMonitorItem::drawPieChartCircle(QSizeF(IconSize, IconSize), ratio, palette);
    QImage picture(QSize(IconSize, IconSize + ReflectionHeight) * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.drawImage(QPointF(0, 0), symbol);
    painter.save();
    painter.translate(0, 2 * IconSize);
    painter.scale(1, -1);
    painter.setOpacity(0.2);
    painter.drawImage(QPointF(0, 0), symbol);
    painter.restore();
    // Horizontal strips of two points, ever more covered by the background.
    for (int y = 0; y < ReflectionHeight; y += 2) {
        QColor cover = palette.color(QPalette::Window);
        cover.setAlphaF(std::min(1.0, 0.2 + 0.8 * y / ReflectionHeight));
        painter.fillRect(QRectF(0, IconSize + y, IconSize, 2), cover);
    }
    painter.end();
    return QPixmap::fromImage(picture);
}

} // namespace

QRNAboutPanel::QRNAboutPanel(QWidget* parent)
    : QDialog(parent)
    , m_credits(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("AboutPanel"));
    setWindowTitle(tr("About %1").arg(localizedApplicationName()));
    auto* symbol = new QLabel(this);
    symbol->setPixmap(symbolWithReflection(palette(), devicePixelRatioF()));
    symbol->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("<b>%1</b>").arg(localizedApplicationName().toHtmlEscaped()), this);
    name->setObjectName(QStringLiteral("applicationName"));
    QFont large = name->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    name->setFont(large);
    auto* version = new QLabel(DiagnosticReport::presentedVersion(QStringLiteral(VISTREL_VERSION)), this);
    version->setObjectName(QStringLiteral("version"));
    auto* copyright = new QLabel(tr("Copyright © 2026 Zentrovo. All rights reserved."), this);
    copyright->setObjectName(QStringLiteral("copyright"));
    for (QLabel* label : {name, version, copyright})
        label->setAlignment(Qt::AlignCenter);
    m_credits->setObjectName(QStringLiteral("credits"));
    m_credits->setHtml(creditsText());
    m_credits->setOpenExternalLinks(true);
    m_credits->setFrameShape(QFrame::NoFrame);
    m_credits->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_credits->setFixedHeight(140);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(symbol);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(m_credits);
    layout->addWidget(copyright);
    setFixedWidth(380);
    m_scrollTimer.setInterval(30);
    connect(&m_scrollTimer, &QTimer::timeout, this, &QRNAboutPanel::scrollCredits);
}

QString QRNAboutPanel::creditsText()
{
    QFile resource(QStringLiteral(":/Credits.html"));
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    const QString padding = QStringLiteral("<p>&nbsp;</p>").repeated(8);
    return padding + QString::fromUtf8(resource.readAll()) + padding;
}

void QRNAboutPanel::scrollCredits()
{
    QScrollBar* bar = m_credits->verticalScrollBar();
    const int before = bar->value();
    bar->setValue(before + 1);
    if (bar->value() == before)
        bar->setValue(bar->minimum());
}

void QRNAboutPanel::present()
{
    adjustSize();
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
    m_scrollTimer.start();
}

void QRNAboutPanel::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        m_scrollTimer.start();
    else
        m_scrollTimer.stop();
}

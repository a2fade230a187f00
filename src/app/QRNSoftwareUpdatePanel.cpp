#include "app/QRNSoftwareUpdatePanel.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextFragment>
#include <QVBoxLayout>

namespace {

QString text(const char* source)
{
    return QCoreApplication::translate("QRNApplicationSupport", source);
}

bool isWebPage(const QUrl& url)
{
    return url.isValid() && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"));
}

} // namespace

QRNSoftwareUpdatePanel::QRNSoftwareUpdatePanel(QWidget* parent)
    : QDialog(parent)
    , m_versionLabel(new QLabel(this))
    , m_infoText(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("updatePanel"));
    auto* header = new QLabel(QStringLiteral("<b>%1</b>").arg(text("Update available").toHtmlEscaped()), this);
    header->setObjectName(QStringLiteral("panelHeaderLabel"));
    QFont large = header->font();
    large.setPointSizeF(large.pointSizeF() * 1.3);
    header->setFont(large);
    m_versionLabel->setObjectName(QStringLiteral("panelVersionLabel"));
    m_infoText->setObjectName(QStringLiteral("panelInfoText"));
    // The notes come from a server: their links go to the browser, and only web links do.
    m_infoText->setOpenLinks(false);
    connect(m_infoText, &QTextBrowser::anchorClicked, this, [](const QUrl& link) {
        if (isWebPage(link))
            QDesktopServices::openUrl(link);
    });
    auto* buttons = new QDialogButtonBox(this);
    m_webButton = buttons->addButton(text("Open web page"), QDialogButtonBox::AcceptRole);
    m_webButton->setObjectName(QStringLiteral("panelWebButton"));
    m_webButton->setDefault(true);
    QPushButton* cancel = buttons->addButton(text("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("panelCancelButton"));
    connect(m_webButton, &QPushButton::clicked, this, &QRNSoftwareUpdatePanel::openWebPage);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(header);
    layout->addWidget(m_versionLabel);
    layout->addWidget(m_infoText, 1);
    layout->addWidget(buttons);
    resize(480, 360);
}

void QRNSoftwareUpdatePanel::present(const QString& productName, const QString& versionNumber, const QString& notes,
    const QUrl& page)
{
    setWindowTitle(productName);
    m_versionLabel->setText(text("Version %1").arg(versionNumber));
    setNotes(notes);
    m_page = page;
    m_webButton->setEnabled(isWebPage(page));
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}

void QRNSoftwareUpdatePanel::setNotes(const QString& notes)
{
    m_infoText->setHtml(notes);
    // Notes written dark on white would vanish on a dark panel: the text
    // keeps its emphasis and links but takes the panel's colour.
    struct Span {
        int start;
        int end;
        QTextCharFormat format;
    };
    QList<Span> coloured;
    for (QTextBlock block = m_infoText->document()->begin(); block.isValid(); block = block.next()) {
        for (auto piece = block.begin(); !piece.atEnd(); ++piece) {
            const QTextFragment fragment = piece.fragment();
            QTextCharFormat format = fragment.charFormat();
            if (!format.hasProperty(QTextFormat::ForegroundBrush) || format.isAnchor())
                continue;
            format.clearForeground();
            coloured.append({fragment.position(), fragment.position() + fragment.length(), format});
        }
    }
    // Changed after the walk, as a change may merge the fragments walked over.
    QTextCursor cursor(m_infoText->document());
    for (const Span& span : std::as_const(coloured)) {
        cursor.setPosition(span.start);
        cursor.setPosition(span.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(span.format);
    }
    m_infoText->moveCursor(QTextCursor::Start);
}

void QRNSoftwareUpdatePanel::openWebPage()
{
    if (isWebPage(m_page))
        QDesktopServices::openUrl(m_page);
    close();
}

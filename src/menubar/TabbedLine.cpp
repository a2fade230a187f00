#include "menubar/TabbedLine.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// Qt's default distance between tab stops, where the option sets none.
constexpr double DefaultTabDistance = 80;

} // namespace

double TabbedLine::fixed(double value)
{
    return std::round(value * 64) / 64;
}

std::optional<TabbedLine> TabbedLine::layOut(const QString& line, const QTextOption& option,
    const std::function<double(const QString&)>& width)
{
    if (option.textDirection() == Qt::RightToLeft)
        return std::nullopt;
    const QList<QTextOption::Tab> stops = option.tabs();
    if (std::any_of(stops.begin(), stops.end(), [](const auto& stop) { return stop.type == QTextOption::DelimiterTab; }))
        return std::nullopt;
    const QStringList pieces = line.split(u'\t');
    TabbedLine laidOut;
    double x = 0;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const double pieceWidth = pieces[i].isEmpty() ? 0 : fixed(width(pieces[i]));
        if (i > 0) {
            // The tab before this piece.
            const auto stop = std::find_if(stops.begin(), stops.end(), [&](const auto& tab) { return fixed(tab.position) > x; });
            if (stop == stops.end()) {
                const double distance = option.tabStopDistance() > 0 ? option.tabStopDistance() : DefaultTabDistance;
                x = (std::floor(x / distance) + 1) * distance;
            } else if (stop->type == QTextOption::LeftTab) {
                x = fixed(stop->position);
            } else {
                const double before = stop->type == QTextOption::CenterTab ? fixed(pieceWidth / 2) : pieceWidth;
                x = std::max(x, fixed(stop->position) - before);
            }
        }
        if (!pieces[i].isEmpty())
            laidOut.m_fields.push_back({pieces[i], x});
        x += pieceWidth;
    }
    laidOut.m_width = x;
    return laidOut;
}

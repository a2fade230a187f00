#pragma once

#include <QString>
#include <QTextOption>

#include <functional>
#include <optional>
#include <vector>

// One line of text cut at its tabs into fields, each placed where Qt's text
// layout would place it for the same tab stops: the first stop beyond the
// current position, a left stop starting the field there, a right stop ending
// it there and a centre stop centring it, none pushing text back; past the
// last stop, the option's default distance. Measuring and drawing the fields
// one by one costs a fraction of a text layout, and a field that did not
// change (a label, a unit) stays what it was.
class TabbedLine {
public:
    struct Field {
        QString text;
        double x;
    };

    // None for what this does not place: delimiter stops, right-to-left text.
    static std::optional<TabbedLine> layOut(const QString& line, const QTextOption& option,
        const std::function<double(const QString&)>& width);

    // Text layouts count in 1/64 of a point.
    static double fixed(double value);

    const std::vector<Field>& fields() const { return m_fields; }
    double width() const { return m_width; }

private:
    std::vector<Field> m_fields;
    double m_width = 0;
};

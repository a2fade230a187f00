#pragma once

#include <QWidget>

// Soft edges for the view below it: the text background fades from opaque at
// the top and bottom edges to transparent 10 points inwards.
class QRNAlphaCurtainView : public QWidget {
    Q_OBJECT
public:
    explicit QRNAlphaCurtainView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

#pragma once

#include <QLabel>

// The answer variants. Each variant line ends in LF CR, as the variants text
// has always been composed; the CR is a line-end leftover, not a character to
// draw, so it is left out when painting (QLabel would draw it as a blank at
// the start of the next line).
class VariantsLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override;
};

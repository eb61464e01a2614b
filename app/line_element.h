#pragma once

// A line element of the layout: a horizontal or vertical rule drawn by a
// widget exactly as large as the line, so it can be shown and hidden.

#include <QColor>
#include <QWidget>
#include <optional>

class LineElement : public QWidget {
    Q_OBJECT
public:
    // A line in the palette's window-text colour.
    explicit LineElement(QWidget* parent);
    // A line in a fixed colour.
    LineElement(const QColor& colour, QWidget* parent);

    QColor colour() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QColor> colour_;
};

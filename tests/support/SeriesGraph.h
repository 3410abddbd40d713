#pragma once
// The figure the series tests read: on white paper 800 x 600, a green curve
// three rows thick along row 300, a blue one along row 200 and a black
// legend box at (300, 100) to erase; saved as graph.png.

#include <QDir>
#include <QImage>
#include <QPainter>

namespace vastrel::testing {

inline void drawSeriesGraph(const QDir& folder)
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 299, 800, 3), QColor(0, 150, 0));
    painter.fillRect(QRect(0, 199, 800, 3), QColor(0, 0, 230));
    painter.fillRect(QRect(300, 100, 60, 20), Qt::black);
    painter.end();
    image.save(folder.filePath("graph.png"));
}

}  // namespace vastrel::testing

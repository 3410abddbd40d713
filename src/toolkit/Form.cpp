#include "toolkit/Form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QScreen>

namespace vastrel::tk {

Form::Form(const QString& caption, QSize clientArea, Placement placement, bool inTaskBar)
    : QWidget(nullptr, (inTaskBar ? Qt::Window : Qt::Tool) | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      placement_(placement)
{
    setWindowTitle(caption);
    setFixedSize(clientArea);
    setWindowIcon(applicationIcon());
}

void Form::Show()
{
    if (!placed_ && placement_ == Placement::CentreOnScreen) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(0, 0), size());
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    placed_ = true;
    show();
    raise();
    activateWindow();
}

void Form::closeEvent(QCloseEvent* event)
{
    // The owner decides what closing means (end the program, or just hide).
    event->ignore();
    emit Unload();
}

QPixmap applicationPicture()
{
    QPixmap picture(32, 32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 128), 2));
    painter.drawLine(5, 27, 29, 27);
    painter.drawLine(5, 27, 5, 3);
    painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DotLine));
    for (int x = 11; x < 30; x += 6) painter.drawLine(x, 4, x, 26);
    painter.setPen(QPen(QColor(255, 0, 0), 2));
    painter.drawPolyline(QPolygon({QPoint(6, 24), QPoint(11, 21), QPoint(16, 14), QPoint(21, 10), QPoint(28, 6)}));
    painter.setPen(QPen(QColor(0, 0, 0), 1));
    painter.setBrush(QColor(255, 255, 255));
    painter.drawEllipse(QPoint(16, 14), 2, 2);
    return picture;
}

QIcon applicationIcon()
{
    return QIcon(applicationPicture());
}

}  // namespace vastrel::tk

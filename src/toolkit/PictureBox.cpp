#include "toolkit/PictureBox.h"

#include "engine/image/DrawingArea.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace vastrel::tk {

namespace {

constexpr int kBorder = 2;

int vbButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int vbShift(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

}  // namespace

PictureBox::PictureBox(QWidget* parent, QSize outer, ColorValue backColor)
    : QFrame(parent), canvas_(outer - QSize(2 * kBorder, 2 * kBorder), QImage::Format_RGB32), backColor_(backColor)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBorder);
    setFixedSize(outer);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setPicture(QImage());
}

PictureBox::~PictureBox() = default;

QPainter& PictureBox::canvasPainter()
{
    if (!painter_) painter_ = std::make_unique<QPainter>(&canvas_);
    update();
    return *painter_;
}

void PictureBox::settle() const
{
    painter_.reset();
}

void PictureBox::restoreBackground()
{
    settle();
    // Shared until something is drawn: Cls and loading copy nothing more.
    canvas_ = area_;
    update();
}

void PictureBox::setPicture(const QImage& picture)
{
    picture_ = picture;
    settle();
    area_ = image::composeDrawingArea(picture_, canvas_.size(), toQColor(backColor_).rgb());
    restoreBackground();
}

void PictureBox::changePicture(const std::function<QRect(QImage&)>& change)
{
    settle();
    // Nothing else may hold the area's pixels while they change, or they
    // would be copied whole first.
    const bool nothingDrawn = canvas_.constBits() == area_.constBits();
    if (nothingDrawn) canvas_ = QImage();
    const QRect changed = change(area_).intersected(area_.rect());
    if (nothingDrawn) {
        canvas_ = area_;
    } else if (!changed.isEmpty()) {
        const qsizetype rowBytes = qsizetype(changed.width()) * 4;
        for (int y = changed.top(); y <= changed.bottom(); ++y)
            std::memcpy(canvas_.scanLine(y) + qsizetype(changed.left()) * 4,
                        area_.constScanLine(y) + qsizetype(changed.left()) * 4, rowBytes);
    }
    if (!changed.isEmpty()) update(widgetRectOf(changed));
}

void PictureBox::Cls()
{
    currentX_ = 0;
    currentY_ = 0;
    restoreBackground();
}

QPen PictureBox::pen(std::optional<ColorValue> color) const
{
    QPen pen(toQColor(color.value_or(foreColor_)));
    pen.setWidth(drawWidth_);
    return pen;
}

void PictureBox::Print(const QString& text)
{
    QPainter& painter = canvasPainter();
    painter.setFont(font());
    painter.setPen(toQColor(foreColor_));
    const QRect bounds(qRound(currentX_), qRound(currentY_), canvas_.width() * 4, canvas_.height() * 4);
    painter.drawText(bounds, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    // Like a line printer: the next Print goes to the start of the next line.
    currentX_ = 0;
    currentY_ += static_cast<float>(QFontMetrics(font()).height());
}

void PictureBox::PSet(float x, float y, std::optional<ColorValue> color)
{
    QPainter& painter = canvasPainter();
    const QColor shade = toQColor(color.value_or(foreColor_));
    if (drawWidth_ == 1) {
        painter.setPen(shade);
        painter.drawPoint(QPointF(std::floor(x), std::floor(y)));
    } else {
        const qreal half = drawWidth_ / 2.0;
        painter.fillRect(QRectF(x - half, y - half, drawWidth_, drawWidth_), shade);
    }
    currentX_ = x;
    currentY_ = y;
}

void PictureBox::Line(float x1, float y1, float x2, float y2, std::optional<ColorValue> color)
{
    QPainter& painter = canvasPainter();
    painter.setPen(pen(color));
    painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    currentX_ = x2;
    currentY_ = y2;
}

void PictureBox::LineTo(float x2, float y2, std::optional<ColorValue> color)
{
    Line(currentX_, currentY_, x2, y2, color);
}

void PictureBox::Box(float x1, float y1, float x2, float y2, std::optional<ColorValue> color)
{
    QPainter& painter = canvasPainter();
    painter.setPen(pen(color));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(QPointF(std::min(x1, x2), std::min(y1, y2)), QPointF(std::max(x1, x2), std::max(y1, y2))));
    currentX_ = x2;
    currentY_ = y2;
}

ColorValue PictureBox::Point(float x, float y) const
{
    return pixels().point(x, y);
}

image::PixelView PictureBox::pixels() const
{
    settle();
    return image::pixelViewOf(canvas_);
}

void PictureBox::setMousePointer(int pointer)
{
    mousePointer_ = pointer;
    setCursor(pointer == kCrossPointer ? Qt::CrossCursor : Qt::ArrowCursor);
}

LineControl& PictureBox::addLine(float x1, float y1, float x2, float y2, ColorValue color)
{
    auto line = std::make_unique<LineControl>([this] { update(); });
    line->setX1(x1);
    line->setY1(y1);
    line->setX2(x2);
    line->setY2(y2);
    line->setBorderColor(color);
    lines_.push_back(std::move(line));
    return *lines_.back();
}

void PictureBox::setRubberBand(QRect pixels)
{
    if (rubberBand_ == pixels) return;
    if (rubberBand_) update(widgetRectOf(*rubberBand_));
    rubberBand_ = pixels;
    update(widgetRectOf(pixels));
}

void PictureBox::clearRubberBand()
{
    if (!rubberBand_) return;
    update(widgetRectOf(*rubberBand_));
    rubberBand_.reset();
}

QRect PictureBox::widgetRectOf(QRect pixels) const
{
    // A pixel's worth around it covers the band's outline.
    return pixels.translated(contentsRect().topLeft()).adjusted(-1, -1, 1, 1);
}

QPoint PictureBox::screenPosition(QPoint pixel) const
{
    return mapToGlobal(contentsRect().topLeft() + pixel);
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    settle();
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    painter.translate(area.topLeft());
    painter.drawImage(0, 0, canvas_);
    for (const auto& line : lines_) {
        if (!line->Visible()) continue;
        painter.setPen(QPen(toQColor(line->BorderColor()), 1));
        painter.drawLine(QPointF(line->X1(), line->Y1()), QPointF(line->X2(), line->Y2()));
    }
    if (overlay_) {
        painter.save();
        overlay_(painter);
        painter.restore();
    }
    if (rubberBand_) {
        // What will turn white shows lighter, inside a dashed black and white edge.
        const QRectF band = QRectF(*rubberBand_).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.fillRect(*rubberBand_, QColor(255, 255, 255, 120));
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(band);
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(band);
    }
}

void PictureBox::setOverlay(std::function<void(QPainter&)> paint)
{
    overlay_ = std::move(paint);
    update();
}

QPointF PictureBox::toArea(QPointF widgetPosition) const
{
    const QPointF inArea = widgetPosition - contentsRect().topLeft();
    return {std::floor(inArea.x()), std::floor(inArea.y())};
}

void PictureBox::emitMouse(QMouseEvent* event, MouseAction action)
{
    const QPointF at = toArea(event->position());
    const auto x = static_cast<float>(at.x()), y = static_cast<float>(at.y());
    const int shift = vbShift(event->modifiers());
    switch (action) {
    case MouseAction::Down: emit MouseDown(vbButton(event->button()), shift, x, y); break;
    case MouseAction::Up: emit MouseUp(vbButton(event->button()), shift, x, y); break;
    case MouseAction::Move: {
        int buttons = 0;
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            if (event->buttons() & b) buttons |= vbButton(b);
        emit MouseMove(buttons, shift, x, y);
        break;
    }
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emitMouse(event, MouseAction::Down);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emitMouse(event, MouseAction::Move);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    emitMouse(event, MouseAction::Up);
}

void PictureBox::leaveEvent(QEvent* event)
{
    QFrame::leaveEvent(event);
    emit MouseLeave();
}

}  // namespace vastrel::tk

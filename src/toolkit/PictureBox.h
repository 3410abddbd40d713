#pragma once
// A picture box with a persistent drawing area: background, loaded picture
// and everything drawn or printed live in one backing image that survives
// hiding, and Point reads back exactly what that image shows. Line controls
// are painted over it and never read back.

#include "engine/image/PixelView.h"
#include "toolkit/Color.h"
#include "toolkit/LineControl.h"

#include <QFrame>
#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vastrel::tk {

inline constexpr int kArrowPointer = 0;
inline constexpr int kCrossPointer = 2;

// The button codes of the mouse events.
inline constexpr int kRightButton = 2;

class PictureBox : public QFrame {
    Q_OBJECT
public:
    // `outer` is the size with the sunken border; the drawing area is what
    // lies inside it.
    PictureBox(QWidget* parent, QSize outer, ColorValue backColor);
    ~PictureBox() override;

    QSize drawingSize() const { return canvas_.size(); }

    void setPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }

    // Changes what the picture shows, so that the change outlives Cls until
    // the next setPicture. `change` gets the whole drawing area as the
    // picture shows it over the background (Picture() stays the picture that
    // was set) and returns the rectangle it changed, which is shown at once
    // over anything drawn there. `change` must keep the area's size and format.
    void changePicture(const std::function<QRect(QImage&)>& change);

    void Cls();
    void Print(const QString& text);
    void PSet(float x, float y, std::optional<ColorValue> color = std::nullopt);
    void Line(float x1, float y1, float x2, float y2, std::optional<ColorValue> color = std::nullopt);
    void LineTo(float x2, float y2, std::optional<ColorValue> color = std::nullopt);
    void Box(float x1, float y1, float x2, float y2, std::optional<ColorValue> color = std::nullopt);

    // &H00BBGGRR of the pixel shown at (x, y), or -1 outside the drawing area.
    ColorValue Point(float x, float y) const;
    image::PixelView pixels() const;

    float CurrentX() const { return currentX_; }
    float CurrentY() const { return currentY_; }
    void setCurrentX(float x) { currentX_ = x; }
    void setCurrentY(float y) { currentY_ = y; }
    int DrawWidth() const { return drawWidth_; }
    void setDrawWidth(int width) { drawWidth_ = width < 1 ? 1 : width; }
    ColorValue ForeColor() const { return foreColor_; }
    void setForeColor(ColorValue color) { foreColor_ = color; }
    ColorValue BackColor() const { return backColor_; }
    int MousePointer() const { return mousePointer_; }
    void setMousePointer(int pointer);

    LineControl& addLine(float x1, float y1, float x2, float y2, ColorValue color);

    // A rubber-band rectangle of drawing-area pixels (edges included) shown
    // above the picture; like the lines it is never read back.
    void setRubberBand(QRect pixels);
    void clearRubberBand();
    std::optional<QRect> RubberBand() const { return rubberBand_; }

    // Something painted over the picture and the lines, in drawing-area
    // pixels, such as a calibration grid; never read back. Empty for none.
    void setOverlay(std::function<void(QPainter&)> paint);

    // Where drawing-area pixel `pixel` lies on the screen.
    QPoint screenPosition(QPoint pixel) const;

signals:
    // Positions in drawing-area pixels, one image pixel to one logical pixel.
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    // The pointer has left the box.
    void MouseLeave();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void restoreBackground();
    // Drawing calls come in runs of hundreds (a traced curve), so one painter
    // stays open on the canvas until something reads or shows it.
    QPainter& canvasPainter();
    void settle() const;
    QPen pen(std::optional<ColorValue> color) const;
    QPointF toArea(QPointF widgetPosition) const;
    enum class MouseAction { Down, Move, Up };
    void emitMouse(QMouseEvent* event, MouseAction action);
    QRect widgetRectOf(QRect pixels) const;

    QImage picture_;
    // The picture over the background, without any drawing: what Cls shows.
    QImage area_;
    QImage canvas_;
    mutable std::unique_ptr<QPainter> painter_;
    ColorValue backColor_;
    ColorValue foreColor_ = 0;
    float currentX_ = 0, currentY_ = 0;
    int drawWidth_ = 1;
    int mousePointer_ = kArrowPointer;
    std::vector<std::unique_ptr<LineControl>> lines_;
    std::optional<QRect> rubberBand_;
    std::function<void(QPainter&)> overlay_;
};

}  // namespace vastrel::tk

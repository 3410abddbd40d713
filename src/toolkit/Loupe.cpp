#include "toolkit/Loupe.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace vastrel::tk {

namespace {

constexpr int kSide = 2 * Loupe::kRadius + 1;
constexpr int kFrame = 1;
constexpr int kMagnified = kSide * Loupe::kZoom;

}  // namespace

Loupe::Loupe(QWidget* owner)
    : QWidget(owner,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus),
      neighbourhood_(kSide, kSide, QImage::Format_ARGB32)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    neighbourhood_.fill(Qt::transparent);
    setFixedSize(kMagnified + 2 * kFrame, kMagnified + 2 * kFrame + fontMetrics().height() + 6);
}

QRect Loupe::cellOf(int dx, int dy)
{
    return {kFrame + (dx + kRadius) * kZoom, kFrame + (dy + kRadius) * kZoom, kZoom, kZoom};
}

void Loupe::showAround(const image::PixelView& pixels, QPoint centre, const QString& caption, QPoint pointer)
{
    for (int dy = -kRadius; dy <= kRadius; ++dy) {
        auto* row = reinterpret_cast<QRgb*>(neighbourhood_.scanLine(dy + kRadius));
        const int y = centre.y() + dy;
        for (int dx = -kRadius; dx <= kRadius; ++dx) {
            const int x = centre.x() + dx;
            row[dx + kRadius] = pixels.contains(x, y) ? (pixels.pixels[y * pixels.stride + x] | 0xFF000000u) : 0u;
        }
    }
    caption_ = caption;
    const QScreen* screen = QGuiApplication::screenAt(pointer);
    if (!screen) screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    move(besidePointer(pointer, size(), screen ? screen->geometry() : QRect(), kClearance));
    update();
    show();
    // Qt 6.4 on X11 leaves the input region of a newly made window whole (and
    // makes one anew after a hide), so a pointer jumping onto the loupe left
    // the image and its click was lost. Setting the flag anew on each new
    // window makes it hold.
    if (QWindow* window = windowHandle(); window && window->winId() != inputPassesThrough_) {
        window->setFlag(Qt::WindowTransparentForInput, false);
        window->setFlag(Qt::WindowTransparentForInput, true);
        inputPassesThrough_ = window->winId();
    }
}

void Loupe::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect magnified(kFrame, kFrame, kMagnified, kMagnified);
    painter.fillRect(rect(), Qt::white);
    painter.fillRect(magnified, QBrush(QColor(90, 90, 90), Qt::BDiagPattern));
    painter.drawImage(magnified, neighbourhood_);
    // Black around, white inside: the outline shows on any colour.
    const QRect centre = cellOf(0, 0);
    painter.setPen(Qt::black);
    painter.drawRect(centre.adjusted(-1, -1, 0, 0));
    painter.setPen(Qt::white);
    painter.drawRect(centre.adjusted(0, 0, -1, -1));
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, magnified.bottom() + 1, width(), height() - magnified.bottom() - 1), Qt::AlignCenter,
                     caption_);
}

QPoint besidePointer(QPoint pointer, QSize size, QRect screen, int clearance)
{
    QPoint corner(pointer.x() + clearance, pointer.y() + clearance);
    if (screen.isValid()) {
        if (corner.x() + size.width() > screen.right() + 1) corner.setX(pointer.x() - clearance - size.width());
        if (corner.y() + size.height() > screen.bottom() + 1) corner.setY(pointer.y() - clearance - size.height());
    }
    return corner;
}

}  // namespace vastrel::tk

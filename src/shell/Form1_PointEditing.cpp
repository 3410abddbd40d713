// Correcting the listed series on the picture: "系列を画像に表示" draws its
// points over the image (never read by a scan); a click selects the point
// under it and a drag moves it, a drag from the paper selects the points in
// its rubber band, the arrow keys nudge the selection (Shift: a tenth of a
// pixel), Delete deletes it and Ctrl + Shift + click adds a point. Each
// change is one step of the history and shows at once in the result window.

#include "engine/digitize/PixelCalibration.h"
#include "engine/digitize/SeriesEdits.h"
#include "results/Form2.h"
#include "results/SeriesPlot.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QKeyEvent>
#include <QPainter>

namespace vastrel::shell {

namespace {

constexpr int kLeftButton = 1, kShiftMask = 1, kCtrlMask = 2;
constexpr double kGrabRadius = 6.0;

}  // namespace

void Form1::showSeriesOnImage(bool shown)
{
    seriesShown_ = shown;
    selected_.clear();
    if (showSeriesAction) showSeriesAction->setChecked(shown);
    // While shown, a click on the image gives it the keys that edit.
    Picture1->setFocusPolicy(shown ? Qt::StrongFocus : Qt::TabFocus);
    refreshOverlay();
}

void Form1::refreshOverlay()
{
    if (!gridShown_ && !seriesShown_) {
        Picture1->setOverlay({});
        return;
    }
    Picture1->setOverlay([this](QPainter& painter) {
        if (gridShown_) drawGrid(painter);
        if (seriesShown_) drawSeriesMarks(painter);
    });
}

void Form1::forgetStaleSelection()
{
    // Another series chosen in the result window: the selection was of the one before.
    if (selectedListed_ != module_.series.listed) selected_.clear();
    selectedListed_ = module_.series.listed;
}

void Form1::drawSeriesMarks(QPainter& painter)
{
    forgetStaleSelection();
    const results::Series* listed = module_.series.listedSeries();
    if (!listed) return;
    const QColor colour = results::seriesColour(*listed, module_.series.listed);
    // Small see-through squares in the opposite colour, so that they show on
    // the curve's own ink without hiding it; plain, so that a thousand repaint
    // at once after each edit.
    QVector<QRectF> marks;
    marks.reserve(qsizetype(listed->points.size()));
    for (const results::SeriesPoint& p : listed->points) marks.append(QRectF(p.column - 1, p.row - 1, 3, 3));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255 - colour.red(), 255 - colour.green(), 255 - colour.blue(), 150));
    painter.drawRects(marks);
    painter.setPen(QPen(QColor(255, 140, 0), 2));
    painter.setBrush(Qt::NoBrush);
    for (const std::size_t i : selected_)
        if (i < listed->points.size())
            painter.drawRect(QRectF(listed->points[i].column - 3.5, listed->points[i].row - 3.5, 8, 8));
}

bool Form1::editSeries(const std::function<bool(results::Series&, const digitize::PixelCalibration&)>& change)
{
    results::Series* listed = module_.series.listedSeries();
    const digitize::CalibrationOutcome calibrated = digitize::calibrationOf(module_.series.refs, module_.series.more);
    if (!listed || !calibrated.ok()) return false;
    const results::SeriesSet before = module_.series;
    if (!change(*listed, *calibrated.calibration)) return false;
    pointsCorrected(before);
    return true;
}

void Form1::pointsCorrected(const results::SeriesSet& before)
{
    if (module_.series.listed == module_.series.kept.size()) module_.series.latestEdited = true;
    module_.history.push({std::nullopt, before, module_.series});
    if (module_.form2Exists()) module_.form2().pointsEdited();
    Picture1->update();
}

void Form1::seriesChanged()
{
    const results::Series* listed = module_.series.listedSeries();
    const std::size_t count = listed ? listed->points.size() : 0;
    std::erase_if(selected_, [count](std::size_t i) { return i >= count; });
    if (module_.form2Exists()) module_.form2().showSeries(true);
    Picture1->update();
}

bool Form1::beginPointEdit(int Shift, float X, float Y)
{
    forgetStaleSelection();
    results::Series* listed = module_.series.listedSeries();
    if (!listed) return false;
    const digitize::PlanePoint at{X, Y};
    Picture1->setFocus();
    if ((Shift & kCtrlMask) && (Shift & kShiftMask)) {
        editSeries([&](results::Series& series, const digitize::PixelCalibration& calibration) {
            const auto added = digitize::addPoint(series, at, calibration);
            if (added) selected_ = {*added};
            return added.has_value();
        });
        return true;
    }
    if (Shift & kCtrlMask) return false;  // Ctrl alone chooses the curve's colour
    if (const auto near = digitize::pointNear(*listed, at, kGrabRadius)) {
        if (std::find(selected_.begin(), selected_.end(), *near) == selected_.end()) selected_ = {*near};
        dragBefore_ = module_.series;
        dragFrom_ = QPointF(X, Y);
        dragMoved_ = false;
    } else {
        bandFrom_ = QPointF(X, Y);
        selected_.clear();
    }
    Picture1->update();
    return true;
}

void Form1::Picture1_PointEditMove(int, int, float X, float Y)
{
    if (bandFrom_) {
        Picture1->setRubberBand(QRectF(*bandFrom_, QPointF(X, Y)).normalized().toAlignedRect());
        return;
    }
    if (!dragFrom_) return;
    results::Series* listed = module_.series.listedSeries();
    const digitize::CalibrationOutcome calibrated = digitize::calibrationOf(module_.series.refs, module_.series.more);
    if (!listed || !calibrated.ok()) return;
    const QPointF step = QPointF(X, Y) - *dragFrom_;
    if (digitize::movePoints(*listed, selected_, step.x(), step.y(), *calibrated.calibration)) {
        dragFrom_ = QPointF(X, Y);
        dragMoved_ = dragMoved_ || !step.isNull();
        Picture1->update();
    }
}

void Form1::endPointEdit(float X, float Y)
{
    if (bandFrom_) {
        const QRectF band = QRectF(*bandFrom_, QPointF(X, Y)).normalized();
        bandFrom_.reset();
        Picture1->clearRubberBand();
        if (const results::Series* listed = module_.series.listedSeries())
            selected_ = digitize::pointsInside(*listed, band);
        Picture1->update();
        return;
    }
    if (!dragFrom_) return;
    Picture1_PointEditMove(kLeftButton, 0, X, Y);
    dragFrom_.reset();
    // The whole drag is one step.
    if (dragMoved_) pointsCorrected(dragBefore_);
}

bool Form1::pointKey(const QKeyEvent& key)
{
    forgetStaleSelection();
    if (!seriesShown_ || selected_.empty()) return false;
    if (key.key() == Qt::Key_Delete) {
        deleteSelectedPoints();
        return true;
    }
    const double step = key.modifiers() & Qt::ShiftModifier ? 0.1 : 1.0;
    double dx = 0, dy = 0;
    switch (key.key()) {
    case Qt::Key_Left: dx = -step; break;
    case Qt::Key_Right: dx = step; break;
    case Qt::Key_Up: dy = -step; break;
    case Qt::Key_Down: dy = step; break;
    default: return false;
    }
    editSeries([&](results::Series& series, const digitize::PixelCalibration& calibration) {
        return digitize::movePoints(series, selected_, dx, dy, calibration);
    });
    return true;
}

void Form1::deleteSelectedPoints()
{
    const std::vector<std::size_t> which = selected_;
    selected_.clear();
    editSeries([&](results::Series& series, const digitize::PixelCalibration&) {
        digitize::deletePoints(series, which);
        return !which.empty();
    });
}

}  // namespace vastrel::shell

// A series found on a picture: its values are those of "Digitize" and its
// positions are the picture's own, on a square page and a tilted one, so
// that points drawn over the picture and moved there stay where the curve
// and the markers are; markers become one point each, in X order, only
// inside the frame.

#include "engine/digitize/DigitizeMessages.h"
#include "engine/digitize/DigitizeRun.h"
#include "engine/digitize/PixelCalibration.h"
#include "engine/digitize/SeriesRun.h"
#include "engine/image/DrawingArea.h"
#include "engine/results/SeriesSet.h"

#include <QPainter>
#include <QTransform>
#include <gtest/gtest.h>

#include <cmath>

namespace vastrel::digitize {
namespace {

using results::SeriesRule;

// Graph X 0 .. 10 over columns 100 .. 700, Y 0 .. 100 over rows 500 .. 100;
// drawn through `page` onto the picture.
struct Page {
    QTransform page;
    QImage image{1000, 800, QImage::Format_RGB32};

    explicit Page(const QTransform& tilt = {}) : page(tilt) { image.fill(Qt::white); }
    QPointF at(double x, double y) const { return page.map(QPointF(100 + 60 * x, 500 - 4 * y)); }
    void line(QColor ink, double (*f)(double))
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(ink, 2));
        for (int i = 0; i < 600; ++i) p.drawLine(at(i / 60.0, f(i / 60.0)), at((i + 1) / 60.0, f((i + 1) / 60.0)));
    }
    void disc(QColor ink, double x, double y)
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(at(x, y) + QPointF(0.5, 0.5), 5, 5);
    }
    References refs(ScaleMode mode = ScaleMode::LinearLinear) const
    {
        const QPointF s = at(0, 0), e = at(10, 100);
        return References{float(s.x()), float(s.y()), float(e.x()), float(e.y()), 0, 0, 10, 100, mode};
    }
    std::vector<ReferencePoint> corners() const
    {
        const QPointF ul = at(0, 100), lr = at(10, 0);
        return {{ul.x(), ul.y(), 0, 100}, {lr.x(), lr.y(), 10, 0}};
    }
};

double wave(double x)
{
    return 50 + 30 * std::sin(x);
}

TEST(PixelCalibration, ConvertsAsARunAndBackOnSquareAndTiltedPages)
{
    for (const ScaleMode mode : {ScaleMode::LinearLinear, ScaleMode::LinearLog, ScaleMode::LogLog}) {
        References refs{100.f, 500.f, 700.f, 100.f, 1, 1, 1000, 100, mode};
        const CalibrationOutcome made = calibrationOf(refs);
        ASSERT_TRUE(made.ok());
        const PrepareResult conversion = prepare(refs);
        for (const PlanePoint p : {PlanePoint{103, 480.5}, PlanePoint{650.25, 120}}) {
            const GraphValues v = made.calibration->valuesAt(p);
            // Exactly the run's arithmetic: a hand-placed point on a scanned pixel gives the scan's values.
            EXPECT_EQ(v.x, conversion.conversion->columnToX(p.x));
            EXPECT_EQ(v.y, conversion.conversion->rowToY(p.y));
            const PlanePoint back = made.calibration->pixelOf(v);
            EXPECT_NEAR(back.x, p.x, 1e-9);
            EXPECT_NEAR(back.y, p.y, 1e-9);
        }
        if (hasLogarithmicY(mode)) {
            EXPECT_FALSE(std::isfinite(made.calibration->pixelOf({5, -1}).y));
        }
    }
    const Page tilted(QTransform().translate(500, 400).rotate(3).translate(-500, -400));
    const std::vector<ReferencePoint> corners = tilted.corners();
    const CalibrationOutcome made = calibrationOf(tilted.refs(), corners);
    ASSERT_TRUE(made.ok());
    for (const auto& [x, y] : {std::pair{0.0, 100.0}, {10.0, 0.0}, {4.0, 70.0}}) {
        const QPointF expected = tilted.at(x, y);
        const GraphValues v = made.calibration->valuesAt({expected.x(), expected.y()});
        EXPECT_NEAR(v.x, x, 1e-6);
        EXPECT_NEAR(v.y, y, 1e-6);
        const PlanePoint p = made.calibration->pixelOf({x, y});
        // The start and end points are single precision, as the mouse gives them.
        EXPECT_NEAR(p.x, expected.x(), 1e-4);
        EXPECT_NEAR(p.y, expected.y(), 1e-4);
    }
    const QPointF outside = tilted.at(10.5, 50);
    EXPECT_FALSE(made.calibration->insideFrame({outside.x(), outside.y()}));
    EXPECT_TRUE(made.calibration->insideFrame({tilted.at(5, 50).x(), tilted.at(5, 50).y()}));
}

TEST(SeriesRun, ACurveHasTheRunsValuesAtThePicturesOwnPositions)
{
    const QColor ink(200, 30, 30);
    for (const QTransform& tilt : {QTransform(), QTransform().translate(500, 400).rotate(-2.5).translate(-500, -400)}) {
        Page page(tilt);
        page.line(ink, wave);
        const QImage picture = image::composeDrawingArea(page.image);
        const image::PixelView view = image::pixelViewOf(picture);
        const std::vector<ReferencePoint> more = tilt.isIdentity() ? std::vector<ReferencePoint>{} : page.corners();
        const QPointF on = page.at(5, wave(5));
        const CurveColour colour = curveColourAt(view, int(std::lround(on.x())), int(std::lround(on.y())));
        const SeriesFinding found = findSeries(view, page.refs(), more, {SeriesRule::Colour, colour}, "系列 1");
        ASSERT_TRUE(found.ok()) << found.refusal;
        EXPECT_EQ(found.series.name, "系列 1");
        const DigitizeOutcome run = digitize(view, page.refs(), colour, more);
        ASSERT_EQ(found.series.points.size(), run.points.size());
        for (std::size_t i = 0; i < run.points.size(); i += 50) {
            const results::SeriesPoint& p = found.series.points[i];
            EXPECT_EQ(p.x, run.points[i].x);
            EXPECT_EQ(p.y, run.points[i].y);
            // The position shown over the picture lies on the drawn curve's ink,
            // where the calibration puts the point's values.
            int nearest = 1000;  // of the four pixels around the sub-pixel position
            for (const double c : {std::floor(p.column), std::ceil(p.column)})
                for (const double r : {std::floor(p.row), std::ceil(p.row)}) {
                    const QColor shown = picture.pixelColor(int(c), int(r));
                    nearest =
                        std::min(nearest, std::abs(shown.red() - ink.red()) + std::abs(shown.green() - ink.green()));
                }
            EXPECT_LT(nearest, 60) << i << (tilt.isIdentity() ? " square" : " tilted");
            const PlanePoint back = calibrationOf(page.refs(), more).calibration->pixelOf({p.x, p.y});
            EXPECT_NEAR(back.x, p.column, 1e-6);
            EXPECT_NEAR(back.y, p.row, 1e-6);
        }
    }
}

TEST(SeriesRun, MarkersAreOnePointEachInXOrderInsideTheFrame)
{
    const QColor ink(30, 90, 200);
    const QTransform tilt = QTransform().translate(500, 400).rotate(1.5).translate(-500, -400);
    Page page(tilt);
    const std::vector<std::pair<double, double>> truth{{8, 20}, {1, 70}, {4.5, 40}, {6, 90}, {2.5, 10}};
    for (const auto& [x, y] : truth) page.disc(ink, x, y);
    page.disc(ink, 11.5, 50);  // beside the frame, in a legend
    const QImage picture = image::composeDrawingArea(page.image);
    const image::PixelView view = image::pixelViewOf(picture);
    const QPointF click = page.at(4.5, 40) + QPointF(2, -1);
    const CurveColour colour = curveColourAt(view, int(click.x()), int(click.y()));
    const SeriesFinding found = findSeries(view, page.refs(), page.corners(), {SeriesRule::Markers, colour}, "m");
    ASSERT_TRUE(found.ok()) << found.refusal;
    EXPECT_EQ(found.series.rule, SeriesRule::Markers);
    ASSERT_EQ(found.series.points.size(), truth.size());
    std::vector<std::pair<double, double>> sorted = truth;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        EXPECT_NEAR(found.series.points[i].x, sorted[i].first, 0.02);
        EXPECT_NEAR(found.series.points[i].y, sorted[i].second, 0.2);
        const QPointF drawn = page.at(sorted[i].first, sorted[i].second);
        EXPECT_LT(std::hypot(found.series.points[i].column - drawn.x(), found.series.points[i].row - drawn.y()), 0.5);
    }

    // A click beside the frame, or on paper, says why nothing was found.
    const QPointF legend = page.at(11.5, 50);
    const SeriesFinding beside =
        findSeries(view, page.refs(), page.corners(),
                   {SeriesRule::Markers, curveColourAt(view, int(legend.x()), int(legend.y()))}, "m");
    EXPECT_EQ(beside.refusal, msg::kMarkerOutsideFrame);
    const QPointF paper = page.at(5, 60);
    const SeriesFinding blank =
        findSeries(view, page.refs(), page.corners(),
                   {SeriesRule::Markers, curveColourAt(view, int(paper.x()), int(paper.y()))}, "m");
    EXPECT_EQ(blank.refusal, msg::kNoMarkerAtClick);
    EXPECT_TRUE(blank.series.points.empty());
}

TEST(SeriesRun, ARefusedRunIsWordedAsDigitizeWordsIt)
{
    const Page page;
    const QImage picture = image::composeDrawingArea(page.image);
    References refs = page.refs(ScaleMode::LinearLog);
    refs.y1 = 0;
    for (const SeriesRule rule : {SeriesRule::Darkest, SeriesRule::Markers}) {
        const SeriesFinding found = findSeries(image::pixelViewOf(picture), refs, {}, {rule, CurveColour{}}, "x");
        EXPECT_EQ(found.refusal, msg::kLogYStartZero);
        EXPECT_TRUE(found.series.points.empty());
    }
}

TEST(SeriesRun, KeptSeriesTakeNewReferencesFromTheirPlacesOrStayAsTheyWere)
{
    Page page;
    page.line(QColor(0, 0, 0), wave);
    const QImage picture = image::composeDrawingArea(page.image);
    results::SeriesSet set;
    set.latest = findSeries(image::pixelViewOf(picture), page.refs(), {}, {}, results::nextSeriesName(set)).series;
    ASSERT_EQ(set.latest->name, "系列 1");
    ASSERT_TRUE(results::keepLatest(set));
    EXPECT_FALSE(results::keepLatest(set));  // nothing left to keep
    set.kept[0].name = "系列 2";             // renamed: the next name steps over it
    EXPECT_EQ(results::nextSeriesName(set), "系列 3");

    // The axis was typed 0 .. 100 where 0 .. 200 was printed.
    References corrected = page.refs();
    corrected.y2 = 200;
    const std::vector<results::Series> before = set.kept;
    ASSERT_EQ(reconvertSeries(set.kept, corrected, {}), "");
    for (std::size_t i = 0; i < before[0].points.size(); i += 97) {
        EXPECT_EQ(set.kept[0].points[i].x, before[0].points[i].x);
        EXPECT_NEAR(set.kept[0].points[i].y, 2 * before[0].points[i].y, 1e-9);
        EXPECT_EQ(set.kept[0].points[i].row, before[0].points[i].row);
    }
    corrected.mode = ScaleMode::LinearLog;
    corrected.y1 = 0;
    const std::vector<results::Series> kept = set.kept;
    EXPECT_EQ(reconvertSeries(set.kept, corrected, {}), msg::kLogYStartZero);
    EXPECT_EQ(set.kept[0].points, kept[0].points);
}

}  // namespace
}  // namespace vastrel::digitize

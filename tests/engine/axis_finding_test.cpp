// The axes found on drawn graphs whose frame, ticks and labels stand at
// known places: straight and tilted frames, two bare axis lines, the robust
// scale fit, labels cut apart from their raised powers, and the whole
// calibration through a table of label texts in place of OCR.

#include "engine/axes/AxisCalibration.h"
#include "engine/axes/AxisLines.h"
#include "engine/axes/AxisMessages.h"
#include "engine/axes/AxisScale.h"
#include "engine/axes/AxisTicks.h"
#include "engine/axes/TickLabels.h"
#include "engine/image/DrawingArea.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

namespace vastrel::axes {
namespace {

QImage blankPage()
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Black over the pixels x0..x1, y0..y1 inclusive: pixel k is centred on k.
void ink(QImage& image, int x0, int y0, int x1, int y1, QColor colour = Qt::black)
{
    QPainter(&image).fillRect(QRect(QPoint(x0, y0), QPoint(x1, y1)), colour);
}

const std::vector<std::string> kX{"0", "2", "4", "6", "8", "10"};

// The frame 100..700 by 100..500 one pixel thick drawn through `page` and
// smoothed, ticks across the bottom (8 px in, 6 out) at X 0, 2 .. 10 (that
// at 2 `offTick` px to the right, as a renderer's rounding puts it) and
// across the left side (8 in, 5 out) at six Y values: labelled by drawText
// when the Y labels are given, top to bottom.
QImage drawnGraph(const QTransform& page, const std::vector<std::string>& yLabels = {}, double offTick = 0.0)
{
    // Fonts need the application, on no display.
    if (!yLabels.empty() && !QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "axis_finding_test";
        static char* argv[] = {name, nullptr};
        static QGuiApplication fonts(argc, argv);
    }
    QImage image = blankPage();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(page);
    // QPainter's pixel k spans k .. k + 1.
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawRect(QRectF(100.5, 100.5, 600, 400));
    if (!yLabels.empty()) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(14);
        painter.setFont(font);
    }
    for (int i = 0; i < 6; ++i) {
        const double column = 100.5 + 120 * i + (i == 1 ? offTick : 0.0), row = 500.5 - 80 * i;
        painter.drawLine(QPointF(column, 492), QPointF(column, 507));
        painter.drawLine(QPointF(95, row), QPointF(109, row));
        if (yLabels.empty()) continue;
        painter.drawText(QRectF(column - 40, 512, 80, 20), Qt::AlignHCenter | Qt::AlignTop,
                         QString::fromStdString(kX[std::size_t(i)]));
        painter.drawText(QRectF(8, row - 10, 80, 20), Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromStdString(yLabels[std::size_t(5 - i)]));
    }
    return image;
}

TEST(AxisFinding, FrameSidesCornersAndTicksStraightOrTilted)
{
    for (const double degrees : {0.0, 1.5, -2.5}) {
        SCOPED_TRACE(degrees);
        const QTransform page = QTransform().translate(400, 300).rotate(degrees).translate(-400, -300);
        auto truth = [&](double x, double y) {
            const QPointF p = page.map(QPointF(x + 0.5, y + 0.5)) - QPointF(0.5, 0.5);
            return PlanePoint{p.x(), p.y()};
        };
        const InkMap map(image::pixelViewOf(drawnGraph(page)));
        EXPECT_EQ(findLongLines(map, true).size(), 2u);  // the sides only: ticks are short
        const auto found = findFrameLines(map);
        if (!found) {
            ADD_FAILURE() << "no frame";
            continue;
        }
        EXPECT_TRUE(found->top);
        EXPECT_TRUE(found->right);

        // Each side at the tilt through its drawn corners, a drawn corner
        // where two sides cross.
        const double tilt = std::tan(degrees * std::numbers::pi / 180), near = degrees == 0 ? 0.2 : 0.3;
        const PlanePoint ll = truth(100, 500), lr = truth(700, 500), ul = truth(100, 100), ur = truth(700, 100);
        std::vector<std::tuple<const AxisLine*, PlanePoint, PlanePoint>> sides{{&found->bottom, ll, lr},
                                                                               {&found->left, ul, ll}};
        std::vector<std::pair<PlanePoint, PlanePoint>> corners{{crossing(found->bottom, found->left), ll}};
        if (found->top && found->right) {
            sides.insert(sides.end(), {{&*found->top, ul, ur}, {&*found->right, ur, lr}});
            corners.push_back({crossing(*found->top, *found->right), ur});
        }
        for (const auto& [line, a, b] : sides) {
            EXPECT_NEAR(line->slope, line->horizontal ? tilt : -tilt, 1e-3);
            EXPECT_NEAR(line->acrossOf(a), 0, near);
            EXPECT_NEAR(line->acrossOf(b), 0, near);
        }
        for (const auto& [corner, drawn] : corners) {
            EXPECT_NEAR(corner.x, drawn.x, near);
            EXPECT_NEAR(corner.y, drawn.y, near);
        }

        // Ticks where they meet the axes (along a column, a row), on the
        // corners too where the other sides cross.
        std::vector<double> xs, ys;
        for (int i = 0; i < 6; ++i) xs.push_back(truth(100 + 120 * i, 500).x), ys.push_back(truth(100, 100 + 80 * i).y);
        const std::tuple<std::vector<Tick>, std::vector<double>, int> axes[] = {
            {findTicks(map, found->bottom, +1), xs, 6}, {findTicks(map, found->left, -1), ys, 5}};
        for (const auto& [ticks, drawn, outside] : axes) {
            EXPECT_EQ(ticks.size(), drawn.size());
            for (std::size_t i = 0; i < std::min(drawn.size(), ticks.size()); ++i) {
                EXPECT_NEAR(ticks[i].along, drawn[i], 0.3) << i;
                if (i == 0 || i + 1 == drawn.size()) continue;
                EXPECT_NEAR(ticks[i].inside, 8, 1) << i;
                EXPECT_NEAR(ticks[i].outside, outside, 1) << i;
            }
        }
    }
}

TEST(AxisFinding, TwoAxisLinesWithoutFrame)
{
    QImage page = blankPage();
    ink(page, 100, 500, 700, 500), ink(page, 100, 100, 100, 500);
    // A pale grid line and a coloured curve run as long, yet are no axis.
    ink(page, 100, 300, 700, 300, QColor(200, 200, 200));
    ink(page, 100, 200, 700, 201, QColor(230, 0, 0));
    ink(page, 400, 100, 400, 500, QColor(0, 0, 230));
    const auto found = findFrameLines(InkMap(image::pixelViewOf(page)));
    ASSERT_TRUE(found);
    EXPECT_NEAR(found->bottom.offset, 500, 0.2);
    EXPECT_NEAR(found->left.offset, 100, 0.2);
    EXPECT_FALSE(found->top);
    EXPECT_FALSE(found->right);

    // Without a pair of axes meeting at a corner there is no frame.
    EXPECT_FALSE(findFrameLines(InkMap(image::pixelViewOf(blankPage()))));
    QImage one = blankPage();
    ink(one, 100, 500, 700, 500);
    ink(one, 720, 100, 720, 350);  // a vertical line far from the other's ends
    EXPECT_FALSE(findFrameLines(InkMap(image::pixelViewOf(one))));
}

TEST(AxisFinding, PaleGridLinesMarkTicksAScansGreyPaperDoesNot)
{
    QImage page = blankPage();
    // Paper greyed in faint stripes, as a noisy scan's can be.
    for (int x = 450; x < 650; ++x) ink(page, x, 100, x, 499, x % 3 ? QColor(242, 242, 242) : QColor(230, 230, 230));
    ink(page, 100, 500, 700, 500), ink(page, 100, 100, 100, 500);
    ink(page, 220, 492, 220, 506);                         // a black tick
    ink(page, 340, 100, 340, 499, QColor(220, 220, 220));  // a grid line drawn in its place
    const InkMap map(image::pixelViewOf(page));
    const auto found = findFrameLines(map);
    ASSERT_TRUE(found);
    std::vector<double> places;
    for (const Tick& t : findTicks(map, found->bottom, +1)) places.push_back(std::round(t.along));
    EXPECT_EQ(places, (std::vector<double>{100, 220, 340}));
}

// "10" left of a Y axis at `row` (its foot), with a raised power: a small 0
// after a raised minus or alone, or none. A minus `up` px above the foot
// starts at column `minus` (0: none).
void drawTen(QImage& page, int row, bool power, double minus = 0, int up = 14)
{
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(160, row - 13, 2, 13), Qt::black);
    painter.setPen(QPen(Qt::black, 1.6));
    painter.drawEllipse(QRectF(165.5, row - 12.5, 7, 12));
    if (minus > 0) painter.fillRect(QRectF(minus, row - up, 3, 1), Qt::black);
    if (power) painter.drawEllipse(QRectF(179.5, row - 19.5, 4, 7));
}

// A power's raised characters are cut apart from the digits on the line,
// the round of the 0 before them left to the 0, a raised minus told.
TEST(TickLabelCutting, RaisedPowerAndMinusApartFromTheDigitsBefore)
{
    QImage page = blankPage();
    ink(page, 200, 50, 200, 550);
    drawTen(page, 150, true, 174.5), drawTen(page, 250, true), drawTen(page, 350, false);
    drawTen(page, 450, true, 174, 11);  // touching the 0, a little lower
    const AxisLine axis{false, 200, 0, 50, 550, 0.5};
    const std::vector<LabelBox> labels = labelsLeftOf(InkMap(image::pixelViewOf(page)), axis, 3);
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_TRUE(labels[0].power && labels[0].powerNegative);
    EXPECT_TRUE(labels[1].power && !labels[1].powerNegative);
    EXPECT_FALSE(labels[2].power);
    EXPECT_TRUE(labels[3].power && labels[3].powerNegative);
    for (const LabelBox& label : labels) EXPECT_EQ(label.base.width, labels[2].base.width);
}

TEST(AxisScaleFit, MisreadLabelLeftOutLogAxesAndRefusals)
{
    // 0 .. 50 over columns 100 .. 350, the label of 40 read as 10.
    const std::vector<TickValue> linear{{100, 0}, {150, 10}, {200, 20}, {250, 30}, {300, 10}, {350, 50}};
    const auto fit = fitAxisScale(linear, +1);
    ASSERT_TRUE(std::holds_alternative<AxisScale>(fit));
    const AxisScale& scale = std::get<AxisScale>(fit);
    EXPECT_FALSE(scale.logarithmic);
    EXPECT_NEAR(scale.offset, 100, 1e-6);
    EXPECT_NEAR(scale.step, 5, 1e-6);
    EXPECT_EQ(scale.agrees, (std::vector<bool>{true, true, true, true, false, true}));
    EXPECT_NEAR(scale.residuals[4], 150, 1e-6);
    EXPECT_NEAR(scale.valueAt(275), 35, 1e-9);

    // 1 .. 1000 a decade every 100 rows, upwards.
    const std::vector<TickValue> decades{{500, 1}, {400, 10}, {300, 100}, {200, 1000}};
    const auto log = fitAxisScale(decades, -1);
    ASSERT_TRUE(std::holds_alternative<AxisScale>(log));
    const AxisScale& logScale = std::get<AxisScale>(log);
    EXPECT_TRUE(logScale.logarithmic);
    EXPECT_EQ(logScale.agreeing(), 4);
    EXPECT_NEAR(logScale.step, -100, 1e-6);
    EXPECT_NEAR(logScale.alongOf(std::sqrt(10.0)), 450, 1e-6);

    auto refusal = [](const std::vector<TickValue>& ticks, int growing = +1) {
        const auto r = fitAxisScale(ticks, growing);
        return std::holds_alternative<ScaleRefusal>(r) ? std::optional(std::get<ScaleRefusal>(r)) : std::nullopt;
    };
    // Values growing down a Y axis: its decades read without their minus.
    EXPECT_EQ(refusal({{100, 10}, {200, 1}, {300, 10}, {400, 100}, {500, 1000}}, -1), ScaleRefusal::LabelsDisagree);
    EXPECT_EQ(refusal(decades, +1), ScaleRefusal::LabelsDisagree);
    // No three on one linear or logarithmic scale.
    EXPECT_EQ(refusal({{100, 1}, {130, 2}, {400, 3}, {220, 4}}), ScaleRefusal::LabelsDisagree);
    // Three agree, but not more than half of the six read.
    std::vector<TickValue> half{{100, 0}, {200, 10}, {300, 20}, {130, 70}, {410, 35}, {170, 55}};
    EXPECT_EQ(refusal(half), ScaleRefusal::LabelsDisagree);
    half.push_back({400, 30});  // four of seven are most
    EXPECT_EQ(refusal(half), std::nullopt);
    // Ticks at one place, or one value everywhere, fix no scale.
    EXPECT_EQ(refusal({{100, 1}, {200, 1}, {300, 1}}), ScaleRefusal::LabelsDisagree);
    EXPECT_EQ(refusal({{100, 1}, {100, 2}, {100, 3}}), ScaleRefusal::LabelsDisagree);
    EXPECT_EQ(refusal({{100, 0}, {200, 10}}), ScaleRefusal::TooFewLabels);
    EXPECT_EQ(refusal({}), ScaleRefusal::TooFewLabels);
}

// The texts of the labels in the order they are asked for: the X axis's
// left to right, then the Y axis's top to bottom.
struct TableReader : LabelReader {
    TableReader(std::vector<std::string> x, const std::vector<std::string>& y) : texts(std::move(x))
    {
        texts.insert(texts.end(), y.begin(), y.end());
    }
    std::string read(const LabelPicture&) override
    {
        return asked < texts.size() ? texts[asked++] : (++asked, std::string());
    }
    std::vector<std::string> texts;
    std::size_t asked = 0;
};

TEST(AxisCalibration, GraphCalibratesFromItsLabels)
{
    const std::vector<std::string> linearY{"100", "80", "60", "40", "20", "0"};
    const std::vector<std::string> decadesY{"100000", "10000", "1000", "100", "10", "1"};
    struct Graph {
        std::vector<std::string> y, readX;  // Y top to bottom
        bool logY;
        double degrees;
    };
    // The X label 4 misread as 7 is left out.
    const Graph graphs[] = {{linearY, {"0", "2", "7", "6", "8", "10"}, false, 0},
                            {decadesY, kX, true, 0},
                            {linearY, kX, false, 1.2},
                            {decadesY, {"0", "2", "7", "6", "8", "10"}, true, -0.8}};
    for (const Graph& g : graphs) {
        SCOPED_TRACE(g.degrees);
        const QTransform page = QTransform().translate(400, 300).rotate(g.degrees).translate(-400, -300);
        TableReader reader(g.readX, g.y);
        const auto found = calibrateAxes(image::pixelViewOf(drawnGraph(page, g.y)), reader);
        ASSERT_TRUE(std::holds_alternative<AxisCalibration>(found)) << std::get<std::string>(found);
        const AxisCalibration& result = std::get<AxisCalibration>(found);
        EXPECT_EQ(reader.asked, 12u);
        EXPECT_EQ(result.mode, g.logY ? digitize::ScaleMode::LinearLog : digitize::ScaleMode::LinearLinear);
        ASSERT_EQ(result.ticks.size(), 12u);
        for (const ReadTick& t : result.ticks) EXPECT_EQ(t.used, t.text != "7") << t.axis << ' ' << t.text;
        EXPECT_LT(result.largestResidual, 0.5);

        // Values a fraction of each axis along lie where the page puts them.
        const digitize::FitOutcome fit = digitize::fitReferences(result.refs, result.mode);
        ASSERT_TRUE(fit.ok()) << fit.refusal;
        for (const double s : {0.0, 0.3, 0.55, 1.0})
            for (const double t : {0.0, 0.1, 0.75, 1.0}) {
                const double x = 10 * s, y = g.logY ? std::pow(10.0, 5 * t) : 100 * t;
                const PlanePoint at = fit.mapping->pixelOfFrame(fit.mapping->frameOf(x, y));
                const QPointF drawn = page.map(QPointF(100.5 + 600 * s, 500.5 - 400 * t)) - QPointF(0.5, 0.5);
                EXPECT_NEAR(at.x, drawn.x(), 0.5) << x << ", " << y;
                EXPECT_NEAR(at.y, drawn.y(), 0.5) << x << ", " << y;
            }
    }
}

// The corner's own label misread, the corner still takes the value of the
// labels' grid at its tick, not the others' fit carried out to it.
TEST(AxisCalibration, CornerOnAMisreadTickTakesTheGridValue)
{
    const std::vector<std::string> y{"100", "80", "60", "40", "20", "0"};
    TableReader reader({"5", "2", "4", "6", "8", "10"}, y);
    const auto found = calibrateAxes(image::pixelViewOf(drawnGraph({}, y, 1.0)), reader);
    ASSERT_TRUE(std::holds_alternative<AxisCalibration>(found)) << std::get<std::string>(found);
    const digitize::ReferencePoint& start = std::get<AxisCalibration>(found).refs[0];
    EXPECT_EQ(start.x, 0.0);
    EXPECT_EQ(start.y, 0.0);
    EXPECT_NEAR(start.column, 100.0, 0.1);
    EXPECT_NEAR(start.row, 500.0, 0.1);
}

TEST(AxisCalibration, RefusalNamesTheAxis)
{
    const std::vector<std::string> y{"100", "80", "60", "40", "20", "0"};
    const QImage page = drawnGraph({}, y);
    auto refusal = [&](const std::vector<std::string>& readY) {
        TableReader reader(kX, readY);
        const auto found = calibrateAxes(image::pixelViewOf(page), reader);
        return std::holds_alternative<std::string>(found) ? std::get<std::string>(found) : std::string();
    };
    const std::string disagree = refusal({"100", "20", "70", "10", "90", "35"});
    EXPECT_NE(disagree.find("Y軸"), std::string::npos) << disagree;
    EXPECT_EQ(disagree, msg::axisRefusal('y', ScaleRefusal::LabelsDisagree));
    EXPECT_EQ(refusal({"100", "", "", "V", "", "0"}), msg::axisRefusal('y', ScaleRefusal::TooFewLabels));
    EXPECT_EQ(refusal(y), std::string());  // the same page read right calibrates
}

}  // namespace
}  // namespace vastrel::axes

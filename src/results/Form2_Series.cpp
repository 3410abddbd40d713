// The result window's series: the choice above the list, the plot of every
// kept series with its legend, and the list and crosshair of the chosen one.

#include "results/Form2.h"

#include "engine/digitize/PixelCalibration.h"
#include "engine/project/ProjectFile.h"
#include "engine/results/RowText.h"
#include "engine/results/SeriesTable.h"
#include "engine/text/NumberText.h"
#include "results/Form3.h"
#include "results/ResultPlot.h"
#include "results/SeriesPlot.h"
#include "results/StoredPoints.h"
#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QClipboard>
#include <QGuiApplication>

#include <cmath>

namespace vastrel::results {

namespace {

// The list's place and size alone, and below the choice of series.
constexpr QRect kListAlone{1032, 40, 249, 669};
constexpr QRect kListBelowChoice{1032, 74, 249, 635};

QString choiceName(const SeriesSet& set, std::size_t i)
{
    return i < set.kept.size() ? set.at(i).name : QStringLiteral("%1（未追加）").arg(set.at(i).name);
}

}  // namespace

bool Form2::listsSeries() const
{
    return module_.series.listsSeries();
}

bool Form2::tablesHoldCurve() const
{
    // With several series every one, the latest too, is painted in its own colour.
    return !listsSeries();
}

void Form2::showSeriesActions()
{
    for (QAction* action : {keepSeriesAction, renameSeriesAction, saveAllSeriesAction, copyAllSeriesAction})
        List1->removeAction(action);
    if (module_.series.latest) List1->addMenuAction(keepSeriesAction);
    if (listsSeries()) {
        List1->addMenuAction(renameSeriesAction);
        List1->addMenuAction(saveAllSeriesAction);
        List1->addMenuAction(copyAllSeriesAction);
    }
}

void Form2::showSeries(bool redrawPlot)
{
    showSeriesActions();
    if (!listsSeries()) {
        seriesChoice->setVisible(false);
        tk::place(*List1, {kListAlone.x(), kListAlone.y(), kListAlone.width(), kListAlone.height()});
        Picture1->setOverlay({});
        // Back to a single run (an undo): its curve and rows are the tables' again.
        if (redrawPlot) {
            drawResultPlot(*Picture1, module_, module_.series.refs, true);
            listRunPoints();
        }
        return;
    }
    const SeriesSet& set = module_.series;
    if (redrawPlot) drawResultPlot(*Picture1, module_, set.refs, tablesHoldCurve());
    const digitize::CalibrationOutcome calibrated = digitize::calibrationOf(set.refs, set.more);
    if (calibrated.ok())
        Picture1->setOverlay([this, calibration = *calibrated.calibration](QPainter& painter) {
            paintSeries(painter, module_.series, calibration);
        });
    seriesChoice->clear();
    for (std::size_t i = 0; i < set.count(); ++i) seriesChoice->addItem(choiceName(set, i));
    seriesChoice->setCurrentIndex(int(set.listed));
    seriesChoice->setVisible(true);
    tk::place(*List1,
              {kListBelowChoice.x(), kListBelowChoice.y(), kListBelowChoice.width(), kListBelowChoice.height()});
    listSeriesPoints();
}

void Form2::listSeriesPoints()
{
    const Series* listed = module_.series.listedSeries();
    QStringList rows, preview{QString::fromUtf8(previewHeader.data(), qsizetype(previewHeader.size()))};
    if (listed)
        for (const SeriesPoint& p : listed->points) {
            rows.append(QString::fromStdString(resultListRow(p.x, p.y)));
            preview.append(QString::fromStdString(previewRow(p.x, p.y)));
        }
    List1->Clear();
    List1->AddItems(rows);
    listedPoints_ = listed ? listed->points : std::vector<SeriesPoint>{};
    Form3& dialog = module_.form3();
    dialog.List1->Clear();
    dialog.List1->AddItems(preview);
    Line1->setVisible(false);
    Line2->setVisible(false);
}

void Form2::pointsEdited()
{
    if (!listsSeries()) {
        showSeries(true);
        return;
    }
    if (seriesChoice->isHidden()) {
        // The first correction of a single run: the window shows it as a series from now on.
        showSeries(true);
        return;
    }
    const Series* listed = module_.series.listedSeries();
    const std::vector<SeriesPoint> now = listed ? listed->points : std::vector<SeriesPoint>{};
    // Only the rows between the unchanged ends are listed again: an edit
    // touches a few points of up to thousands.
    const std::size_t before = listedPoints_.size(), after = now.size();
    std::size_t head = 0;
    while (head < before && head < after && listedPoints_[head] == now[head]) ++head;
    std::size_t tail = 0;
    while (tail < before - head && tail < after - head && listedPoints_[before - 1 - tail] == now[after - 1 - tail])
        ++tail;
    Form3& dialog = module_.form3();
    for (std::size_t i = before - tail; i-- > head;) {
        delete List1->takeItem(int(i));
        delete dialog.List1->takeItem(int(i) + 1);
    }
    QStringList rows, preview;
    for (std::size_t i = head; i < after - tail; ++i) {
        rows.append(QString::fromStdString(resultListRow(now[i].x, now[i].y)));
        preview.append(QString::fromStdString(previewRow(now[i].x, now[i].y)));
    }
    List1->insertItems(int(head), rows);
    dialog.List1->insertItems(int(head) + 1, preview);
    listedPoints_ = now;
    Picture1->update();
}

void Form2::listRunPoints()
{
    QStringList rows, preview{QString::fromUtf8(previewHeader.data(), qsizetype(previewHeader.size()))};
    for (const GraphPoint& p : storedPoints(module_)) {
        rows.append(QString::fromStdString(resultListRow(p.x, p.y)));
        preview.append(QString::fromStdString(previewRow(p.x, p.y)));
    }
    List1->Clear();
    List1->AddItems(rows);
    module_.form3().List1->Clear();
    module_.form3().List1->AddItems(preview);
    Line1->setVisible(false);
    Line2->setVisible(false);
}

void Form2::keepSeries()
{
    const SeriesSet before = module_.series;
    if (!keepLatest(module_.series)) return;
    module_.history.push({std::nullopt, before, module_.series});
    showSeries(true);
}

void Form2::renameSeries()
{
    tk::Platform& platform = module_.platform();
    const Series* listed = module_.series.listedSeries();
    if (!listed) return;
    const std::optional<QString> typed =
        platform.inputText(QStringLiteral("系列の名前を変更"), QStringLiteral("新しい名前:"), listed->name);
    if (!typed || *typed == listed->name) return;
    if (typed->trimmed().isEmpty() || typed->size() > project::kMaxSeriesName) {
        platform.MsgBox(
            QStringLiteral(" --- 系列の名前は 1 文字以上 %1 文字までにして下さい --- ").arg(project::kMaxSeriesName),
            tk::kExclamationMessage);
        return;
    }
    const SeriesSet before = module_.series;
    module_.series.listedSeries()->name = *typed;
    module_.history.push({std::nullopt, before, module_.series});
    showSeries(false);
    Picture1->update();
}

void Form2::chooseSeries(int index)
{
    if (index < 0 || std::size_t(index) >= module_.series.count()) return;
    module_.series.listed = std::size_t(index);
    listSeriesPoints();
    // The main window shows the points of the listed series.
    module_.form1().Picture1->update();
}

void Form2::listSeriesClick()
{
    const Series* listed = module_.series.listedSeries();
    const int r = List1->ListIndex();
    if (!listed || r < 0 || std::size_t(r) >= listed->points.size()) return;
    const digitize::CalibrationOutcome calibrated = digitize::calibrationOf(module_.series.refs, module_.series.more);
    if (!calibrated.ok()) return;
    const SeriesPoint& p = listed->points[std::size_t(r)];
    const digitize::PlanePoint shown = calibrated.calibration->scannedOf({p.column, p.row});
    Line2->setX1(float(shown.x));
    Line2->setX2(float(shown.x));
    Line1->setY1(float(shown.y));
    Line1->setY2(float(shown.y));
    Line1->setVisible(true);
    Line2->setVisible(true);
}

void Form2::moveOverSeries(float X, float Y)
{
    Line2->setX1(X);
    Line2->setX2(X);
    Line1->setY1(Y);
    Line1->setY2(Y);
    Line1->setVisible(true);
    Line2->setVisible(true);
    // The point nearest the pointer's column, within a few pixels, is listed.
    const Series* listed = module_.series.listedSeries();
    const digitize::CalibrationOutcome calibrated = digitize::calibrationOf(module_.series.refs, module_.series.more);
    if (!listed || !calibrated.ok()) return;
    int nearest = -1;
    double best = 6.0;
    for (std::size_t i = 0; i < listed->points.size(); ++i) {
        const SeriesPoint& p = listed->points[i];
        const digitize::PlanePoint shown = calibrated.calibration->scannedOf({p.column, p.row});
        const double d = std::abs(shown.x - X) + (listed->rule == SeriesRule::Markers ? std::abs(shown.y - Y) : 0.0);
        if (d < best) best = d, nearest = int(i);
    }
    if (nearest >= 0) List1->setCurrentRow(nearest);
}

void Form2::saveAllSeries()
{
    const QDate today = module_.platform().Date();
    module_.form3().saveAllSeries(QString::fromStdString(text::dateText(today.year(), today.month(), today.day())));
}

void Form2::copyAllSeries()
{
    const std::vector<Series> every = module_.series.all();
    QGuiApplication::clipboard()->setText(QString::fromStdString(allSeriesClipboardText(every)));
}

}  // namespace vastrel::results

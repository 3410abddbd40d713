#include "results/Form2.h"

#include "results/Form3.h"
#include "results/StoredPoints.h"
#include "shell/Form1.h"
#include "shell/Module1.h"
#include "engine/results/RowText.h"
#include "engine/text/NumberText.h"

#include <QClipboard>
#include <QShortcut>
#include <QGuiApplication>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>

namespace vastrel::results {

namespace {

// The row as a 16-bit list index: rounded to the nearest whole number, ties
// to even; nothing when it does not fit.
std::optional<std::int16_t> listRow(float r)
{
    const float rounded = std::nearbyint(r);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() && rounded <= std::numeric_limits<std::int16_t>::max()))
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

}  // namespace

Form2::Form2(shell::Module1& module)
    : tk::Form(QStringLiteral("Digitalized Graph"), QSize(1299, 831), Placement::CentreOnScreen, false), module_(module)
{
    createControls();
    setTabOrder();
    connectHandlers();
    Command1->setFocus();
}

void Form2::connectHandlers()
{
    // The close box hides the window, as "Close" does, so that the plot survives.
    connect(this, &tk::Form::Unload, this, &Form2::Command1_Click);
    connect(Command1, &tk::CommandButton::Click, this, &Form2::Command1_Click);
    connect(Command6, &tk::CommandButton::Click, this, &Form2::Command6_Click);
    connect(List1, &tk::ListBox::Click, this, &Form2::List1_Click);
    connect(Picture1, &tk::PictureBox::MouseMove, this, &Form2::Picture1_MouseMove);
    connect(copyAction, &QAction::triggered, this, &Form2::copyPoints);
    connect(keepSeriesAction, &QAction::triggered, this, &Form2::keepSeries);
    connect(saveAllSeriesAction, &QAction::triggered, this, &Form2::saveAllSeries);
    connect(copyAllSeriesAction, &QAction::triggered, this, &Form2::copyAllSeries);
    connect(renameSeriesAction, &QAction::triggered, this, &Form2::renameSeries);
    // The figure's one history, from this window as from the main one.
    connect(new QShortcut(QKeySequence::Undo, this), &QShortcut::activated, this, [this] { module_.form1().undo(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this), &QShortcut::activated, this,
            [this] { module_.form1().redo(); });
    connect(seriesChoice, &QComboBox::activated, this, &Form2::chooseSeries);
}

void Form2::Command1_Click()
{
    module_.form3().Hide();
    Hide();
}

void Form2::Command6_Click()
{
    Form3& dialog = module_.form3();
    dialog.saveListedSeries();
    const QDate today = module_.platform().Date();
    dialog.Text9->setText(QString::fromStdString(text::dateText(today.year(), today.month(), today.day())));
    dialog.Show();
}

void Form2::List1_Click()
{
    if (listsSeries()) {
        listSeriesClick();
        return;
    }
    const int r = List1->ListIndex();
    Line2->setX1(static_cast<float>(r) + module_.firstPointColumn.value_or(module_.StartPixelX + 2.0f));
    Line2->setX2(Line2->X1());
    Line1->setY1(module_.CurvePixelY(r + 1));
    Line1->setY2(Line1->Y1());
    Line2->setVisible(true);
    Line1->setVisible(true);
}

void Form2::Picture1_MouseMove(int /*Button*/, int /*Shift*/, float X, float Y)
{
    if (listsSeries()) {
        moveOverSeries(X, Y);
        return;
    }
    Line2->setX1(X);
    Line2->setX2(X);
    Line1->setY1(Y);
    Line1->setY2(Y);
    if (X < 10 || X > 990) {
        Line1->setVisible(false);
        Line2->setVisible(false);
        return;
    }
    Line2->setVisible(true);
    // A curve that starts or ends inside the window is read over its own columns.
    const float first = module_.firstPointColumn.value_or(module_.StartPixelX + 2.0f);
    const float last = module_.firstPointColumn ? first + float(module_.PointCount - 1) : module_.EndPixelX - 2.0f;
    if (X >= first && X <= last) {
        const float r = X - first;
        // The pointer handling ends quietly at its first failure: a row the
        // list does not have (the reference points were picked again after
        // Digitize), a row beyond the table, or one too large for the index.
        // What the steps before changed stays.
        const std::optional<std::int16_t> row = listRow(r);
        if (!row) return;
        try {
            List1->setListIndex(*row);
            Line1->setY1(module_.CurvePixelY(r + 1.0f));
        } catch (const std::out_of_range&) {
            return;
        }
        Line1->setY2(Line1->Y1());
        Line1->setVisible(true);
    } else {
        Line1->setVisible(false);
    }
}

void Form2::copyPoints()
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(clipboardText(storedPoints(module_))));
}

}  // namespace vastrel::results

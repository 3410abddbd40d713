// The result window's controls, at the positions, sizes, fonts and colours
// of its layout.

#include "results/Form2.h"
#include "toolkit/Fonts.h"
#include "toolkit/LayoutStyle.h"

namespace vastrel::results {

using tk::layoutFont;
using namespace tk::style;

void Form2::createControls()
{
    Picture1 = new tk::PictureBox(this, QSize(1009, 809), kPaleGrey);
    tk::place(*Picture1, {8, 8, 1009, 809});
    Picture1->setFont(layoutFont(kTimes, 20.25));
    Picture1->setForeColor(kBlack);
    Line1 = &Picture1->addLine(0, 400, 1000, 400, kRed);
    Line2 = &Picture1->addLine(100, 0, 100, 800, kRed);

    Label3 = new tk::Label(this, QStringLiteral("X                 Y"), {1088, 8, 127, 28}, layoutFont(kMeiryo, 14.25));
    List1 = new tk::ListBox(this, {1032, 40, 249, 669}, layoutFont(kGothic, 14.25));
    Command6 = new tk::CommandButton(this, QStringLiteral("データ保存"), {1072, 728, 161, 33},
                                     layoutFont(kMeiryo, 14.25), kLightYellow);
    Command1 = new tk::CommandButton(this, QStringLiteral("Close"), {1168, 776, 105, 33}, layoutFont(kTimes, 14.25),
                                     kLightYellow);

    copyAction = new QAction(QStringLiteral("コピー"), this);
    copyAction->setShortcut(QKeySequence::Copy);
    copyAction->setShortcutContext(Qt::WindowShortcut);
    addAction(copyAction);
    List1->addMenuAction(copyAction);

    // Placed over the list's top, which moves down while it shows.
    seriesChoice = new QComboBox(this);
    seriesChoice->setGeometry(1032, 40, 249, 30);
    seriesChoice->setFont(layoutFont(kMeiryo, 11.25));
    seriesChoice->setVisible(false);
    // In the list's menu while they apply (showSeriesActions).
    keepSeriesAction = new QAction(QStringLiteral("系列に追加"), this);
    saveAllSeriesAction = new QAction(QStringLiteral("すべての系列を保存"), this);
    copyAllSeriesAction = new QAction(QStringLiteral("すべての系列をコピー"), this);
    renameSeriesAction = new QAction(QStringLiteral("系列の名前を変更"), this);
}

void Form2::setTabOrder()
{
    Picture1->setFocusPolicy(Qt::StrongFocus);
    QWidget::setTabOrder(Command1, Command6);
    QWidget::setTabOrder(Command6, List1);
    QWidget::setTabOrder(List1, Picture1);
}

}  // namespace vastrel::results

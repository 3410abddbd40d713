// The save dialog's controls, at the positions, sizes, fonts and colours of
// its layout.

#include "results/Form3.h"
#include "toolkit/Fonts.h"
#include "toolkit/LayoutStyle.h"

namespace vastrel::results {

using tk::layoutFont;
using namespace tk::style;

void Form3::createControls()
{
    const auto caption = [this](const QString& text, tk::Placement at) {
        auto* label = new tk::Label(this, text, at, layoutFont(kMeiryo, 12));
        label->setForeColor(kBlue);
        return label;
    };
    Label7 = caption(QStringLiteral("ディジタルデータ保存"), {32, 24, 160, 24});
    Label5 = caption(QStringLiteral("保存ファイル名（拡張子なしで）"), {16, 280, 241, 24});
    Label1 = caption(QStringLiteral("データは、右に示すリストの"), {16, 360, 217, 24});
    Label2 = caption(QStringLiteral("書式（カンマ区切りのテキスト"), {16, 384, 241, 24});
    Label3 = caption(QStringLiteral("形式（csvフォーマット）で"), {16, 408, 217, 24});
    Label4 = caption(QStringLiteral("保存されます。"), {16, 432, 217, 24});
    Label6 = caption(QStringLiteral("保存内容は、Microsoft Excel 又は"), {16, 464, 249, 24});
    Label8 = caption(QStringLiteral("テキストエディタで編集できます。"), {16, 488, 265, 24});
    Label9 = caption(QStringLiteral("保存データ内容"), {352, 8, 112, 24});

    Drive2 = new tk::DriveListBox(this);
    tk::place(*Drive2, {24, 48, 217, 23});
    Drive2->setFont(layoutFont(kPGothic, 11.25));
    Dir2 = new tk::DirListBox(this);
    tk::place(*Dir2, {24, 72, 217, 74});
    Dir2->setFont(layoutFont(kPGothic, 11.25));
    File2 = new tk::FileListBox(this);
    tk::place(*File2, {24, 144, 217, 118});
    File2->setFont(layoutFont(kPGothic, 12));
    File2->setPattern(QStringLiteral("*.csv"));
    QPalette white = File2->palette();
    white.setColor(QPalette::Base, tk::toQColor(kWhite));
    File2->setPalette(white);

    Text9 = new tk::TextBox(this, {24, 312, 217, 25}, layoutFont(kGothic, 12));
    Text9->setText(QStringLiteral("Text9"));

    Command6 = new tk::CommandButton(this, QStringLiteral("File Save"), {24, 528, 217, 41}, layoutFont(kTimes, 14.25),
                                     kLightYellow);
    Command1 = new tk::CommandButton(this, QStringLiteral("Cancel"), {24, 584, 105, 33}, layoutFont(kTimes, 14.25),
                                     kLightYellow);

    List1 = new tk::ListBox(this, {288, 40, 249, 574}, layoutFont(kGothic, 14.25));
}

void Form3::setTabOrder()
{
    const QList<QWidget*> order = {Command6, Drive2, Text9, Dir2, File2, List1, Command1};
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

}  // namespace vastrel::results

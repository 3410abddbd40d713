// The curve's colour: Ctrl + left click on the image takes it from the clicked
// pixel, the image's menu or Reset clear it, and a line above the image area
// shows which rule Digitize will use. Loading another image keeps it, so that
// a series of graphs from one source shares it.

#include "engine/digitize/DigitizeMessages.h"
#include "shell/Form1.h"
#include "shell/Module1.h"
#include "toolkit/LayoutStyle.h"

namespace vastrel::shell {

namespace {

constexpr int kTop = 5;
constexpr int kHeight = 16;
constexpr int kSwatchSize = 12;
constexpr int kGap = 6;

}  // namespace

void Form1::createCurveColourDisplay()
{
    using namespace tk::style;
    // On the line of the size hint, after it and in its look.
    const int left = Label9->geometry().right() + 1 + 2 * kGap;
    curveColourCaption = new tk::Label(this, QString(), {left, kTop, 0, kHeight}, Label9->font());
    curveColourCaption->setForeColor(kBlue);
    curveColourSwatch = new QLabel(this);
    curveColourSwatch->setFrameStyle(QFrame::Box | QFrame::Plain);
    curveColourSwatch->setLineWidth(1);
    curveColourSwatch->setAutoFillBackground(true);
    curveColourValues = new tk::Label(this, QString(), {left, kTop, 0, kHeight}, Label9->font());
    curveColourValues->setForeColor(kBlue);
    showCurveColour();
}

void Form1::showCurveColour()
{
    const auto& colour = module_.curveColour;
    curveColourCaption->setCaption(colour ? QStringLiteral("曲線の色:") : QStringLiteral("曲線: 最も暗い点"));
    curveColourCaption->adjustSize();
    curveColourCaption->resize(curveColourCaption->width(), kHeight);
    curveColourSwatch->setVisible(colour.has_value());
    curveColourValues->setVisible(colour.has_value());
    if (colour) {
        const QRect caption = curveColourCaption->geometry();
        curveColourSwatch->setGeometry(caption.right() + 1 + kGap, kTop + (kHeight - kSwatchSize) / 2, kSwatchSize,
                                       kSwatchSize);
        QPalette shades = curveColourSwatch->palette();
        shades.setColor(QPalette::Window, QColor(colour->red, colour->green, colour->blue));
        shades.setColor(QPalette::WindowText, Qt::black);
        curveColourSwatch->setPalette(shades);
        curveColourValues->setCaption(
            QStringLiteral("%1, %2, %3").arg(colour->red).arg(colour->green).arg(colour->blue));
        curveColourValues->adjustSize();
        curveColourValues->setGeometry(curveColourSwatch->geometry().right() + 1 + kGap, kTop,
                                       curveColourValues->width(), kHeight);
    }
    if (clearCurveColourAction) clearCurveColourAction->setEnabled(colour.has_value());
}

void Form1::chooseCurveColourAt(float x, float y)
{
    const QImage& picture = Picture1->Picture();
    const auto choice = digitize::chooseColourAt(Picture1->pixels(), picture.width(), picture.height(), x, y);
    // The grey margin, or an empty area showing the title, holds no curve: the
    // click is ignored. A click beside a thin line lands on the paper: refused,
    // and the colour chosen before stays.
    if (const auto* refusal = std::get_if<digitize::ColourRefusal>(&choice)) {
        if (*refusal == digitize::ColourRefusal::Paper)
            module_.platform().MsgBox(QString::fromUtf8(digitize::msg::kPaperColour), tk::kExclamationMessage);
        return;
    }
    module_.curveColour = std::get<digitize::CurveColour>(choice);
    showCurveColour();
}

void Form1::clearCurveColour()
{
    module_.curveColour.reset();
    showCurveColour();
}

}  // namespace vastrel::shell

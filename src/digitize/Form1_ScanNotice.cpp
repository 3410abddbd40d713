// A notice at the foot of the image area when a Digitize run read where there
// is no graph: a corner beyond the picture makes the scan read the grey
// margin, and corners swapped or too close together leave it nothing to read.
// The run and its result stay as they are; the notice says so before the
// result is shown, and goes with the next run, the next image or Reset.

#include "shell/Form1.h"
#include "toolkit/LayoutStyle.h"

namespace vastrel::shell {

namespace {

constexpr int kMargin = 4;
constexpr int kHeight = 24;

QString spanText(const std::optional<digitize::Span>& span, const char* unit)
{
    if (!span) return {};
    return QStringLiteral("%1〜%2 %3").arg(span->first).arg(span->last).arg(QString::fromUtf8(unit));
}

QString noticeText(const digitize::ScanReach& reach)
{
    if (reach.noColumn) return QStringLiteral(" --- 始点と終点の間に取り込む列がありません (点は 0 個です) --- ");
    if (reach.noRow)
        return QStringLiteral(" --- 始点と終点の間に取り込む行がありません (どの列も同じ値になります) --- ");
    QStringList parts{spanText(reach.columnsLeft, "列"), spanText(reach.columnsRight, "列"),
                      spanText(reach.rowsAbove, "行"), spanText(reach.rowsBelow, "行")};
    parts.removeAll(QString());
    return QStringLiteral(" --- %1は画像の外です (灰色の余白を読みました) --- ").arg(parts.join(QStringLiteral("、")));
}

}  // namespace

void Form1::createScanNotice()
{
    scanNotice = new tk::Label(Picture1, QString(), {kMargin, 0, 0, kHeight}, Label9->font());
    scanNotice->setBoxed(tk::style::kWhite);
    scanNotice->setForeColor(tk::style::kRed);
    // Over the picture, but never in the way of a pick or an erase there.
    scanNotice->setAttribute(Qt::WA_TransparentForMouseEvents);
    scanNotice->hide();
}

void Form1::showScanNotice(const digitize::ScanReach& reach)
{
    if (!reach.noColumn && !reach.noRow && !reach.beyondPicture()) return clearScanNotice();
    scanNotice->setCaption(noticeText(reach));
    scanNotice->adjustSize();
    scanNotice->setGeometry(kMargin, Picture1->height() - kMargin - kHeight,
                            std::min(scanNotice->width() + 2 * kMargin, Picture1->width() - 2 * kMargin), kHeight);
    scanNotice->show();
    scanNotice->raise();
}

void Form1::clearScanNotice()
{
    scanNotice->hide();
    scanNotice->setCaption(QString());
}

}  // namespace vastrel::shell

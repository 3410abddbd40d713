// The image area's context menu, the keys that do what its entries do, and
// the magnifier and drop target of the image area.

#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QGuiApplication>
#include <QWindow>

namespace vastrel::shell {

void Form1::setUpImageArea()
{
    imageAreaMenu = new QMenu(this);
    pasteImageAction_ = imageAreaMenu->addAction(QStringLiteral("画像を貼り付け"), this, &Form1::pasteImage);
    undoEraseAction_ = imageAreaMenu->addAction(QStringLiteral("元に戻す"), this, &Form1::undo);
    redoAction_ = imageAreaMenu->addAction(QStringLiteral("やり直す"), this, &Form1::redo);
    clearCurveColourAction = imageAreaMenu->addAction(QStringLiteral("曲線の色を解除"), this, &Form1::clearCurveColour);
    clearCurveColourAction->setEnabled(module_.curveColour.has_value());
    findMarkersAction =
        imageAreaMenu->addAction(QStringLiteral("マーカーを検出"), this, [this] { findMarkersAt(menuPixel_); });
    keepSeriesAction = imageAreaMenu->addAction(QStringLiteral("系列に追加"), this, &Form1::keepLatestSeries);
    imageAreaMenu->addSeparator();
    // Window-wide keys, shown in the menu: none of them is a text box's own.
    const auto entry = [this](const char* caption, QKeySequence key, auto handler) {
        QAction* action = imageAreaMenu->addAction(QString::fromUtf8(caption), this, handler);
        action->setShortcut(key);
        addAction(action);
        return action;
    };
    addReferenceAction = entry("基準点を追加", QKeySequence(Qt::CTRL | Qt::Key_R), &Form1::addReferencePoint);
    frameCornersAction = entry("四隅を検出", QKeySequence(Qt::CTRL | Qt::Key_F), &Form1::findFrameCornersOfPicture);
    detectAxesAction = entry("軸を自動検出", QKeySequence(Qt::CTRL | Qt::Key_K), &Form1::detectAxes);
    referenceListAction = entry("基準点の一覧", QKeySequence(Qt::CTRL | Qt::Key_L), &Form1::showReferenceList);
    gridAction = entry("目盛を表示", QKeySequence(Qt::CTRL | Qt::Key_G), [this] { showGrid(!gridShown()); });
    gridAction->setCheckable(true);
    showSeriesAction = entry("系列を画像に表示", QKeySequence(Qt::CTRL | Qt::Key_E),
                             [this] { showSeriesOnImage(!seriesShownOnImage()); });
    showSeriesAction->setCheckable(true);
    imageAreaMenu->addSeparator();
    saveProjectAction = entry("プロジェクトを保存", QKeySequence(Qt::CTRL | Qt::Key_S), &Form1::saveProject);
    openProjectAction = entry("プロジェクトを開く", QKeySequence(Qt::CTRL | Qt::Key_O), &Form1::openProject);

    // A text box with the focus takes these keys first and pastes or undoes
    // its own text, as it always did.
    auto* pasteKey = new QShortcut(QKeySequence::Paste, this);
    connect(pasteKey, &QShortcut::activated, this, &Form1::pasteImage);
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    connect(undoKey, &QShortcut::activated, this, &Form1::undo);
    auto* redoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), this);
    connect(redoKey, &QShortcut::activated, this, &Form1::redo);
    // Only while the right button is held on the image.
    cancelEraseKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    cancelEraseKey_->setEnabled(false);
    connect(cancelEraseKey_, &QShortcut::activated, this, &Form1::cancelErasing);

    loupe = new tk::Loupe(this);
    // A message box or another window in front: the loupe would float above it.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focused) {
        if (focused != windowHandle()) hideLoupe();
    });

    setAcceptDrops(true);
    // The coordinate boxes take dragged text as before; images dropped on
    // them go to the window.
    for (tk::TextBox* box : {Text1, Text2, Text3, Text4}) box->installEventFilter(this);
    // The keys that edit the series shown over the image.
    Picture1->installEventFilter(this);
}

void Form1::openImageAreaMenu(QPoint screenPosition, QPoint pixel)
{
    menuPixel_ = pixel;
    findMarkersAction->setEnabled(!Picture1->Picture().isNull());
    keepSeriesAction->setEnabled(module_.series.latest.has_value());
    pasteImageAction_->setEnabled(clipboardOffersImage());
    undoEraseAction_->setEnabled(module_.history.canUndo());
    redoAction_->setEnabled(module_.history.canRedo());
    clearCurveColourAction->setEnabled(module_.curveColour.has_value());
    imageAreaMenu->popup(screenPosition);
}

}  // namespace vastrel::shell

// Images dropped on the main window, and the loading that dropped and pasted
// images share. A file of a listed type goes through the file box exactly as
// if the user had chosen it there; anything else is decoded with the same
// limits, and on any failure the picture shown stays.

#include "shell/Form1.h"

#include "engine/image/FileDigest.h"
#include "engine/image/ImageDecoding.h"
#include "shell/Module1.h"

#include <QBuffer>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>

namespace vastrel::shell {

namespace {

const QString kCannotReadImage = QStringLiteral(" --- 画像を読み込めません --- \n\n%1\n%2");

}  // namespace

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (image::offersImage(*event->mimeData())) event->acceptProposedAction();
}

void Form1::dragMoveEvent(QDragMoveEvent* event)
{
    if (image::offersImage(*event->mimeData())) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    const image::ImageSource source = image::imageSourceOf(*event->mimeData());
    if (std::holds_alternative<image::NoImage>(source)) return;
    event->acceptProposedAction();
    activateWindow();
    // The drag source waits until the drop returns; a message must not keep it waiting.
    QMetaObject::invokeMethod(
        this, [this, source] { loadImageFrom(source, QStringLiteral("ドロップされた画像")); }, Qt::QueuedConnection);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (watched == Picture1 && type == QEvent::KeyPress && pointKey(*static_cast<QKeyEvent*>(event))) return true;
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (image::offersImage(*drop->mimeData())) {
            if (type == QEvent::Drop)
                dropEvent(drop);
            else
                drop->acceptProposedAction();
            return true;
        }
    }
    return tk::Form::eventFilter(watched, event);
}

void Form1::loadImageFrom(const image::ImageSource& source, const QString& origin)
{
    if (const auto* file = std::get_if<image::ImageFile>(&source)) loadImageFile(file->path);
    if (const auto* bytes = std::get_if<image::ImageBytes>(&source)) loadImageBytes(*bytes, origin);
    if (const auto* other = std::get_if<image::OtherComputersFile>(&source))
        reportUnreadableImageFile(
            other->url,
            QStringLiteral("このコンピューターのファイルではありません (%1 のファイルです)").arg(other->host));
}

void Form1::loadImageFile(const QString& path)
{
    const QFileInfo info(path);
    const bool listable = info.isFile() && !info.isHidden() && File1->matchesPattern(info.fileName());
    if (listable && Dir1->setPath(info.absolutePath())) {
        // Opening the folder refills the file box unless it already shows it.
        if (File1->Path() != Dir1->Path()) File1->setPath(Dir1->Path());
        File1->Refresh();
        Drive1->setDriveOf(Dir1->Path());
        if (File1->selectListed(info.fileName())) {
            File1_Click();
            return;
        }
    }
    auto loaded = image::LoadPicture(path, Picture1->drawingSize());
    if (const auto* failure = std::get_if<image::ImageLoadFailure>(&loaded)) {
        reportUnreadableImageFile(path, failure->reason);
        return;
    }
    showLoadedImage(std::get<QImage>(loaded));
    rememberImage(path, image::sha256OfFile(path).value_or(QString()));
    // No file is selected, so "OK" would refuse: the next step is the start point.
    Command3->setFocus();
}

void Form1::loadImageBytes(const image::ImageBytes& bytes, const QString& origin)
{
    QBuffer buffer;
    buffer.setData(bytes.bytes);
    buffer.open(QIODevice::ReadOnly);
    auto loaded = image::decodePicture(buffer, Picture1->drawingSize());
    if (const auto* failure = std::get_if<image::ImageLoadFailure>(&loaded)) {
        const QString what = QStringLiteral("%1 (%2)").arg(origin, bytes.mimeType);
        module_.platform().MsgBox(kCannotReadImage.arg(what, failure->reason), tk::kExclamationMessage);
        return;
    }
    showLoadedImage(std::get<QImage>(loaded));
    rememberImage(QString(), image::sha256Of(bytes.bytes));
    Command3->setFocus();
}

void Form1::rememberImage(const QString& path, const QString& sha256)
{
    ++imageLoads_;
    module_.imagePath = path;
    module_.imageSha256 = sha256;
}

void Form1::showLoadedImage(const QImage& picture)
{
    cancelErasing();
    hideLoupe();
    Picture1->Cls();
    Picture1->setPicture(picture);
    eraseHistory_.clear();
    erasures_.clear();
    module_.history.clear();
    clearScanNotice();
}

}  // namespace vastrel::shell

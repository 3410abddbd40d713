// Step 1 of the main window: drive, folder and file boxes, and the image.

#include "shell/Form1.h"

#include "engine/image/FileDigest.h"
#include "engine/image/ImageDecoding.h"
#include "shell/Module1.h"
#include "toolkit/FolderMessages.h"

namespace vastrel::shell {

void Form1::Drive1_Change()
{
    const QString target = Drive1->Drive();
    if (!Dir1->setPath(target)) {
        tk::reportCannotOpenFolder(module_.platform(), target, tk::kDriveUnreadable);
        Drive1->setDriveOf(Dir1->Path());
    }
}

void Form1::Dir1_Change()
{
    if (!File1->setPath(Dir1->Path()))
        tk::reportCannotOpenFolder(module_.platform(), Dir1->Path(), tk::kFileListUnreadable);
}

void Form1::Dir1_PathRefused(const QString& path, const QString& reason)
{
    tk::reportCannotOpenFolder(module_.platform(), path, reason);
}

void Form1::File1_Click()
{
    Picture1->Cls();
    // "/" + name also serves the root folder: a doubled separator reads as one.
    const QString path = Dir1->Path() + QLatin1Char('/') + File1->FileName();
    auto loaded = image::LoadPicture(path, Picture1->drawingSize());
    if (const auto* failure = std::get_if<image::ImageLoadFailure>(&loaded)) {
        reportUnreadableImageFile(path, failure->reason);
        return;
    }
    showLoadedImage(std::get<QImage>(loaded));
    rememberImage(path, image::sha256OfFile(path).value_or(QString()));
    Command1->setFocus();
}

void Form1::reportUnreadableImageFile(const QString& path, const QString& reason)
{
    module_.platform().MsgBox(QStringLiteral(" --- 画像ファイルを読み込めません --- \n\n%1\n%2").arg(path, reason),
                              tk::kExclamationMessage);
}

void Form1::Command1_Click()
{
    if (File1->FileName().isEmpty()) {
        module_.platform().MsgBox(QStringLiteral("--- ファイルを選択して下さい ---"));
        return;
    }
    Command3->setFocus();
}

}  // namespace vastrel::shell

// Ctrl+V and "画像を貼り付け": the image on the clipboard, as image data or as
// a copied image file, loads like a dropped one.

#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace vastrel::shell {

void Form1::pasteImage()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const image::ImageSource source = data ? image::imageSourceOf(*data) : image::ImageSource{};
    if (std::holds_alternative<image::NoImage>(source)) {
        module_.platform().MsgBox(QStringLiteral(" --- クリップボードに画像がありません --- "),
                                  tk::kExclamationMessage);
        return;
    }
    loadImageFrom(source, QStringLiteral("クリップボードの画像"));
}

bool Form1::clipboardOffersImage() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && image::offersImage(*data);
}

}  // namespace vastrel::shell

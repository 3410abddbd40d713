// Images from outside the file box: dropped files and image data, and the
// clipboard's image or copied file, with the same refusals as files.

#include "MainWindowFixture.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QImageWriter>
#include <QMimeData>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

// A white 64 x 48 picture with a coloured square filling whole JPEG blocks
// around (24, 24), so that JPEG keeps its colour there.
QByteArray encoded(const char* format, QColor mark)
{
    QImage image = testing::filledImage({64, 48}, Qt::white);
    for (int y = 16; y < 32; ++y)
        for (int x = 16; x < 32; ++x) image.setPixelColor(x, y, mark);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return buffer.data();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool markIs(const tk::PictureBox& picture, QColor colour)
{
    const tk::ColorValue shown = picture.Point(24, 24);
    return qAbs((shown & 0xFF) - colour.red()) < 12 && qAbs(((shown >> 8) & 0xFF) - colour.green()) < 12 &&
           qAbs(((shown >> 16) & 0xFF) - colour.blue()) < 12;
}

QMimeData* mimeData(const QString& file, const QByteArray& imageBytes = {}, const QString& text = {})
{
    auto* data = new QMimeData;
    if (!file.isEmpty()) data->setUrls({QUrl::fromLocalFile(file), QUrl::fromLocalFile(file + ".second")});
    if (!imageBytes.isEmpty())
        data->setData(imageBytes.startsWith("\xFF\xD8") ? "image/jpeg" : "image/png", imageBytes);
    if (!text.isEmpty()) data->setText(text);
    return data;
}

// Drags `data` onto `target` and drops it there; whether the target took it.
bool drop(QWidget* target, QMimeData* data)
{
    const QPoint at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    if (enter.isAccepted()) {
        QDropEvent dropped(at, Qt::CopyAction, data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
    }
    delete data;
    return enter.isAccepted();
}

}  // namespace

class ImageDropPasteTest : public QObject {
    Q_OBJECT
private slots:
    void imagesLoadFromDropsAndTheClipboard_data()
    {
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("file");  // in the folder "other"; empty: image data
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("refusal");  // empty: the image loads
        const QByteArray png = encoded("png", Qt::red), jpeg = encoded("jpeg", Qt::red);
        const QByteArray damaged = png.left(8) + QByteArray(200, '\x5a');
        QTest::newRow("dropped PNG file") << false << "graph.png" << png << "";
        QTest::newRow("dropped JPEG file") << false << "graph.JPEG" << jpeg << "";
        QTest::newRow("dropped PNG data") << false << "" << png << "";
        QTest::newRow("dropped damaged PNG file")
            << false << "bad.png" << damaged << " --- 画像ファイルを読み込めません --- ";
        QTest::newRow("pasted PNG data") << true << "" << png << "";
        QTest::newRow("pasted JPEG data") << true << "" << jpeg << "";
        QTest::newRow("pasted copied file") << true << "copied.png" << png << "";
        QTest::newRow("pasted damaged data") << true << "" << damaged << " --- 画像を読み込めません --- ";
        // Cut off inside its picture data, as an interrupted download or copy
        // leaves it: the decoder alone fills the rest in and calls it a picture.
        const QByteArray cutJpeg = jpeg.left(jpeg.size() - 12);
        QTest::newRow("dropped cut-off JPEG file")
            << false << "cut.jpg" << cutJpeg << " --- 画像ファイルを読み込めません --- ";
        QTest::newRow("pasted cut-off JPEG data") << true << "" << cutJpeg << " --- 画像を読み込めません --- ";
    }

    void imagesLoadFromDropsAndTheClipboard()
    {
        QFETCH(bool, pasted);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, refusal);
        MainWindowFixture app([&](const QDir& folder) {
            write(folder.filePath("start.bmp"), encoded("bmp", Qt::blue));
            QVERIFY(folder.mkdir("other"));
            if (!file.isEmpty()) write(folder.filePath("other/" + file), bytes);
        });
        auto& form = *app.form;
        QVERIFY(app.show() && app.clickFile("start.bmp"));
        const QString startFolder = form.Dir1->Path();
        QMimeData* data = file.isEmpty() ? mimeData({}, bytes) : mimeData(app.path("other/" + file));
        if (pasted) {
            QGuiApplication::clipboard()->setMimeData(data);
            form.File1->setFocus();
            QTest::keyClick(form.File1, Qt::Key_V, Qt::ControlModifier);
        } else {
            QVERIFY(drop(&form, data));
        }

        if (!refusal.isEmpty()) {
            QTRY_COMPARE(app.platform.messages.size(), 1);
            QVERIFY(app.platform.messages[0].text.startsWith(refusal));
            if (QByteArray(QTest::currentDataTag()).contains("cut-off"))
                QVERIFY(app.platform.messages[0].text.contains(QStringLiteral("途中で切れています")));
            QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
            QVERIFY(markIs(*form.Picture1, Qt::blue));
            return;
        }
        QTRY_VERIFY(markIs(*form.Picture1, Qt::red));
        QCOMPARE(form.Picture1->Point(64, 5), 0xC0C0C0);
        QVERIFY(app.platform.messages.isEmpty());
        if (file.isEmpty()) {
            // Image data leaves the boxes alone; the next step is the start point.
            QCOMPARE(form.Dir1->Path(), startFolder);
            QCOMPARE(form.File1->FileName(), QString("start.bmp"));
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.Command3));
        } else {
            // A listed file is chosen in the boxes, as if the user had clicked it.
            QCOMPARE(form.Dir1->Path(), QDir(app.path("other")).canonicalPath());
            QCOMPARE(form.File1->FileName(), file);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form.Command1));
        }
    }

    void aFileUrlOfThisComputerLoadsAndOneOfAnotherIsRefused()
    {
        MainWindowFixture app([](const QDir& folder) {
            write(folder.filePath("start.bmp"), encoded("bmp", Qt::blue));
            write(folder.filePath("graph one.png"), encoded("png", Qt::red));
        });
        auto& form = *app.form;
        QVERIFY(app.show() && app.clickFile("start.bmp"));
        // File managers name this computer's files so too.
        const QUrl here = QUrl::fromLocalFile(app.path("graph one.png"));
        auto* data = new QMimeData;
        data->setUrls({QUrl(QStringLiteral("file://localhost") + here.path(QUrl::FullyEncoded))});
        QVERIFY(drop(&form, data));
        QTRY_VERIFY(markIs(*form.Picture1, Qt::red));
        QCOMPARE(form.File1->FileName(), QString("graph one.png"));

        data = new QMimeData;
        data->setUrls({QUrl(QStringLiteral("file://fileserver/share/graph.png"))});
        QVERIFY(drop(&form, data));
        QTRY_COMPARE(app.platform.messages.size(), 1);
        QCOMPARE(app.platform.messages[0].text,
                 QString(" --- 画像ファイルを読み込めません --- \n\nfile://fileserver/share/graph.png\n"
                         "このコンピューターのファイルではありません (fileserver のファイルです)"));
        QVERIFY(markIs(*form.Picture1, Qt::red));
    }

    void textBoxesKeepTheirTextDropAndPaste()
    {
        MainWindowFixture app(
            [](const QDir& folder) { write(folder.filePath("start.bmp"), encoded("bmp", Qt::blue)); });
        auto& form = *app.form;
        QVERIFY(app.show() && app.clickFile("start.bmp"));
        QVERIFY(drop(form.Text1, mimeData({}, {}, "42")));
        QCOMPARE(form.Text1->Text(), QString("42"));
        // With an image on the clipboard too, Ctrl+V in a box pastes the text.
        QGuiApplication::clipboard()->setMimeData(mimeData({}, encoded("png", Qt::red), "12.5"));
        form.Text3->setFocus();
        QTest::keyClick(form.Text3, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.Text3->Text(), QString("12.5"));
        QVERIFY(markIs(*form.Picture1, Qt::blue));
        // An image dropped on a box still goes to the window.
        QVERIFY(drop(form.Text2, mimeData({}, encoded("png", Qt::red), "7")));
        QTRY_VERIFY(markIs(*form.Picture1, Qt::red));
        QCOMPARE(form.Text2->Text(), QString());
        QVERIFY(app.platform.messages.isEmpty());
    }

    void withoutAnImageThePasteEntryIsDisabledAndCtrlVSaysSo()
    {
        MainWindowFixture app;
        auto& form = *app.form;
        QVERIFY(app.show());
        QGuiApplication::clipboard()->setText("just words");
        app.pressOnPicture(200, 100, Qt::RightButton);
        QTRY_VERIFY(form.imageAreaMenu->isVisible());
        QAction* paste = form.imageAreaMenu->actions().value(0);
        QCOMPARE(paste->text(), QString("画像を貼り付け"));
        QVERIFY(!paste->isEnabled());
        form.imageAreaMenu->hide();
        QTest::keyClick(&form, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(app.platform.texts(), QStringList(" --- クリップボードに画像がありません --- "));

        QGuiApplication::clipboard()->setMimeData(mimeData({}, encoded("png", Qt::red)));
        app.pressOnPicture(200, 100, Qt::RightButton);
        QTRY_VERIFY(form.imageAreaMenu->isVisible());
        QVERIFY(paste->isEnabled());
        paste->trigger();
        form.imageAreaMenu->hide();
        QVERIFY(markIs(*form.Picture1, Qt::red));
    }
};

QTEST_MAIN(ImageDropPasteTest)
#include "image_drop_paste_test.moc"

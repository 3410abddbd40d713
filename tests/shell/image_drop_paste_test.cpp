// Images from outside the file box: dropped files and image data, and the
// clipboard's image or copied file, with the same refusals as files.

#include "MainWindowFixture.h"

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QImageWriter>
#include <QMimeData>

using namespace vastrel;
using testing::filledImage;
using testing::MainWindowFixture;

namespace {

const QString kCannotReadFile = " --- 画像ファイルを読み込めません --- ";
const QString kCannotReadImage = " --- 画像を読み込めません --- ";

// A white 64 x 48 picture with a coloured square around (24, 24), so that a
// loaded image is told apart from the one before; the square fills whole
// JPEG blocks, so that it keeps its colour there.
QByteArray encoded(const char* format, QColor mark)
{
    QImage image = filledImage({64, 48}, Qt::white);
    for (int dy = 0; dy < 16; ++dy)
        for (int dx = 0; dx < 16; ++dx) image.setPixelColor(16 + dx, 16 + dy, mark);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(100);
    if (!writer.write(image)) qFatal("cannot encode %s", format);
    return buffer.data();
}

// A PNG signature followed by nonsense, and a bitmap header claiming 60000 x 60000 pixels.
QByteArray damagedPng()
{
    return encoded("png", Qt::red).left(8) + QByteArray(200, '\x5a');
}

QByteArray hugeClaimBmp()
{
    QByteArray header = encoded("bmp", Qt::red).left(54);
    const qint32 side = 60000;
    header.replace(18, 4, reinterpret_cast<const char*>(&side), 4);
    header.replace(22, 4, reinterpret_cast<const char*>(&side), 4);
    return header;
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The mark's colour: JPEG may shift it by a few steps.
bool markIs(const tk::PictureBox& picture, QColor colour)
{
    const tk::ColorValue shown = picture.Point(24, 24);
    const int red = shown & 0xFF, green = (shown >> 8) & 0xFF, blue = (shown >> 16) & 0xFF;
    return qAbs(red - colour.red()) < 12 && qAbs(green - colour.green()) < 12 && qAbs(blue - colour.blue()) < 12;
}

QMimeData* filesData(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
    data->setUrls(urls);
    return data;
}

QMimeData* imageData(const QString& type, const QByteArray& bytes)
{
    auto* data = new QMimeData;
    data->setData(type, bytes);
    return data;
}

// Drags `data` onto `target` and drops it there, as a file manager would;
// returns whether the target took the drag.
bool drop(QWidget* target, QMimeData* data)
{
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        delete data;
        return false;
    }
    QDropEvent dropped(at, Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &dropped);
    delete data;
    return true;
}

// Starts with a blue-marked BMP loaded from the start folder, and an
// "other" folder holding the images to drop.
struct LoadedWindow {
    MainWindowFixture app{[](const QDir& folder) {
        write(folder.filePath("start.bmp"), encoded("bmp", Qt::blue));
        QVERIFY(folder.mkdir("other"));
    }};
    QString startFolder;

    bool ready()
    {
        if (!app.show() || !app.clickFile("start.bmp")) return false;
        startFolder = app.form->Dir1->Path();
        return markIs(*app.form->Picture1, Qt::blue);
    }
    QString other(const QString& name) const { return app.path("other/" + name); }
};

QWidget* focused()
{
    return QApplication::focusWidget();
}

}  // namespace

class ImageDropPasteTest : public QObject {
    Q_OBJECT
private slots:
    void theFileBoxListsPngAndTheLongSpellingsWhateverTheCase()
    {
        MainWindowFixture app([](const QDir& folder) {
            for (const char* name : {"a.JPEG", "b.tiff", "c.PNG", "d.Png", "e.jpeg.txt", "f.webp"}) write(folder.filePath(name), {});
        });
        QStringList listed;
        for (int row = 0; row < app.form->File1->count(); ++row) listed << app.form->File1->item(row)->text();
        QCOMPARE(listed, QStringList({"a.JPEG", "b.tiff", "c.PNG", "d.Png"}));
    }

    void aDroppedFileLoadsAsIfChosenInTheFileBox_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QString>("name");
        QTest::newRow("PNG") << QByteArray("png") << "graph.png";
        QTest::newRow("JPEG") << QByteArray("jpeg") << "graph.JPEG";
    }

    void aDroppedFileLoadsAsIfChosenInTheFileBox()
    {
        QFETCH(QByteArray, format);
        QFETCH(QString, name);
        LoadedWindow window;
        QVERIFY(window.ready());
        write(window.other(name), encoded(format.constData(), Qt::red));
        write(window.other("second.png"), encoded("png", Qt::green));
        auto& form = *window.app.form;

        QVERIFY(drop(&form, filesData({window.other(name), window.other("second.png")})));
        QTRY_VERIFY(markIs(*form.Picture1, Qt::red));
        QCOMPARE(form.Dir1->Path(), QDir(window.other("")).canonicalPath());
        QCOMPARE(form.File1->Path(), form.Dir1->Path());
        QCOMPARE(form.File1->FileName(), name);
        QCOMPARE(form.Picture1->Point(64, 5), 0xC0C0C0);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(form.Command1));
        QVERIFY(window.app.platform.messages.isEmpty());

        // Dropped on a coordinate box, an image still goes to the window.
        form.Text2->setText("7");
        QVERIFY(drop(form.Text2, filesData({window.other("second.png")})));
        QTRY_VERIFY(markIs(*form.Picture1, Qt::green));
        QCOMPARE(form.Text2->Text(), QString("7"));
        QCOMPARE(form.File1->FileName(), QString("second.png"));
    }

    void droppedImagesOfOtherKindsLeaveTheBoxesAlone()
    {
        LoadedWindow window;
        QVERIFY(window.ready());
        auto& form = *window.app.form;
        // Readable, but of a type the file box does not list.
        write(window.other("graph.ppm"), encoded("ppm", Qt::red));
        QVERIFY(drop(&form, filesData({window.other("graph.ppm")})));
        QTRY_VERIFY(markIs(*form.Picture1, Qt::red));
        QCOMPARE(form.Dir1->Path(), window.startFolder);
        QCOMPARE(form.File1->FileName(), QString("start.bmp"));
        QTRY_COMPARE(focused(), static_cast<QWidget*>(form.Command3));

        QVERIFY(drop(&form, imageData("image/png", encoded("png", Qt::green))));
        QTRY_VERIFY(markIs(*form.Picture1, Qt::green));
        QCOMPARE(form.Dir1->Path(), window.startFolder);
        QVERIFY(window.app.platform.messages.isEmpty());

        // Text and web addresses are no image: the window does not take them.
        auto* text = new QMimeData;
        text->setText("hello");
        text->setUrls({QUrl("https://example.org/graph.png")});
        QVERIFY(!drop(&form, text));
        // A coordinate box still takes dragged text.
        auto* typed = new QMimeData;
        typed->setText("42");
        QVERIFY(drop(form.Text1, typed));
        QCOMPARE(form.Text1->Text(), QString("42"));
    }

    void badDropsAreReportedAndTheOldPictureStays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("asFile");
        QTest::newRow("damaged PNG file") << "bad.png" << damagedPng() << true;
        QTest::newRow("damaged unlisted file") << "bad.ppm" << QByteArray("P6\n64 48\n255\nxx") << true;
        QTest::newRow("damaged PNG data") << "" << damagedPng() << false;
        QTest::newRow("data claiming 60000 x 60000") << "" << hugeClaimBmp() << false;
    }

    void badDropsAreReportedAndTheOldPictureStays()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, asFile);
        LoadedWindow window;
        QVERIFY(window.ready());
        auto& form = *window.app.form;
        if (asFile) write(window.other(name), bytes);
        QVERIFY(drop(&form, asFile ? filesData({window.other(name)}) : imageData("image/png", bytes)));
        QTRY_COMPARE(window.app.platform.messages.size(), 1);
        const auto message = window.app.platform.messages[0];
        QCOMPARE(message.style, tk::kExclamationMessage);
        QVERIFY(message.text.startsWith(asFile ? kCannotReadFile : kCannotReadImage));
        QVERIFY(message.text.contains(asFile ? name : QString("image/png")));
        QVERIFY(markIs(*form.Picture1, Qt::blue));
    }

    void pasteLoadsTheClipboardsImage_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("PNG data") << "image/png" << encoded("png", Qt::red);
        QTest::newRow("JPEG data") << "image/jpeg" << encoded("jpeg", Qt::red);
    }

    void pasteLoadsTheClipboardsImage()
    {
        QFETCH(QString, type);
        QFETCH(QByteArray, bytes);
        LoadedWindow window;
        QVERIFY(window.ready());
        auto& form = *window.app.form;
        QGuiApplication::clipboard()->setMimeData(imageData(type, bytes));
        form.File1->setFocus();
        QTest::keyClick(form.File1, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(markIs(*form.Picture1, Qt::red));
        QCOMPARE(form.File1->FileName(), QString("start.bmp"));
        QCOMPARE(form.Dir1->Path(), window.startFolder);
        QTRY_COMPARE(focused(), static_cast<QWidget*>(form.Command3));
        QVERIFY(window.app.platform.messages.isEmpty());
    }

    void pastingACopiedFileMovesTheBoxesToIt()
    {
        LoadedWindow window;
        QVERIFY(window.ready());
        auto& form = *window.app.form;
        write(window.other("copied.png"), encoded("png", Qt::red));
        QGuiApplication::clipboard()->setMimeData(filesData({window.other("copied.png")}));
        QTest::keyClick(&form, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(markIs(*form.Picture1, Qt::red));
        QCOMPARE(form.File1->FileName(), QString("copied.png"));
        QCOMPARE(form.Dir1->Path(), QDir(window.other("")).canonicalPath());
    }

    void badOrMissingClipboardImagesAreReportedAndTheOldPictureStays()
    {
        LoadedWindow window;
        QVERIFY(window.ready());
        auto& form = *window.app.form;
        QGuiApplication::clipboard()->setMimeData(imageData("image/png", damagedPng()));
        form.Command1->setFocus();
        QTest::keyClick(form.Command1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.app.platform.messages.size(), 1);
        QVERIFY(window.app.platform.messages[0].text.startsWith(kCannotReadImage));
        QVERIFY(window.app.platform.messages[0].text.contains("クリップボードの画像 (image/png)"));

        QGuiApplication::clipboard()->setText("just words");
        QTest::keyClick(form.Command1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.app.platform.messages.size(), 2);
        QCOMPARE(window.app.platform.messages[1].text, QString(" --- クリップボードに画像がありません --- "));
        QCOMPARE(window.app.platform.messages[1].style, tk::kExclamationMessage);
        QVERIFY(markIs(*form.Picture1, Qt::blue));
    }

    void ctrlVInATextBoxStillPastesText()
    {
        LoadedWindow window;
        QVERIFY(window.ready());
        auto& form = *window.app.form;
        auto* both = imageData("image/png", encoded("png", Qt::red));
        both->setText("12.5");
        QGuiApplication::clipboard()->setMimeData(both);
        form.Text3->setFocus();
        QTRY_COMPARE(focused(), static_cast<QWidget*>(form.Text3));
        QTest::keyClick(form.Text3, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.Text3->Text(), QString("12.5"));
        QVERIFY(markIs(*form.Picture1, Qt::blue));
        QVERIFY(window.app.platform.messages.isEmpty());
    }

    void theMenuEntryPastesAndIsDisabledWithoutAnImage()
    {
        LoadedWindow window;
        QVERIFY(window.ready());
        auto& form = *window.app.form;
        QAction* paste = nullptr;
        for (QAction* action : form.imageAreaMenu->actions())
            if (action->text() == "画像を貼り付け") paste = action;
        QVERIFY(paste);

        QGuiApplication::clipboard()->setText("no picture here");
        window.app.pressOnPicture(200, 100, Qt::RightButton);
        QTRY_VERIFY(form.imageAreaMenu->isVisible());
        QVERIFY(!paste->isEnabled());
        form.imageAreaMenu->hide();

        QGuiApplication::clipboard()->setMimeData(imageData("image/png", encoded("png", Qt::red)));
        window.app.pressOnPicture(200, 100, Qt::RightButton);
        QTRY_VERIFY(form.imageAreaMenu->isVisible());
        QVERIFY(paste->isEnabled());
        paste->trigger();
        form.imageAreaMenu->hide();
        QVERIFY(markIs(*form.Picture1, Qt::red));
    }
};

QTEST_MAIN(ImageDropPasteTest)
#include "image_drop_paste_test.moc"

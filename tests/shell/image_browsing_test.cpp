// Choosing a graph image: the boxes, loading each format, and bad files.

#include "MainWindowFixture.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>

using namespace vastrel;
using testing::filledImage;
using testing::MainWindowFixture;

namespace {

constexpr tk::ColorValue kBackground = 0xC0C0C0;

void save(const QImage& image, const QString& path, const char* format)
{
    QImageWriter writer(path, format);
    QVERIFY2(writer.write(image), qPrintable(writer.errorString()));
}

bool titleIsShown(const tk::PictureBox& picture)
{
    for (int x = 300; x < 700; ++x)
        for (int y = 365; y < 420; y += 3)
            if (picture.Point(x, y) == 0x808080) return true;
    return false;
}

}  // namespace

class ImageBrowsingTest : public QObject {
    Q_OBJECT
private slots:
    void startsInTheCurrentFolderListingItsGraphImages()
    {
        MainWindowFixture app([](const QDir& folder) {
            for (const char* name : {"b.jpg", "A.BMP", "c.gif", "d.tif", "e.png", "notes.txt"}) {
                QFile file(folder.filePath(name));
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        });
        QCOMPARE(app.form->Dir1->Path(), QDir(app.folder()).canonicalPath());
        QCOMPARE(app.form->File1->Path(), app.form->Dir1->Path());
        QStringList listed;
        for (int row = 0; row < app.form->File1->count(); ++row) listed << app.form->File1->item(row)->text();
        QCOMPARE(listed, QStringList({"A.BMP", "b.jpg", "c.gif", "d.tif", "e.png"}));
        QCOMPARE(app.form->File1->FileName(), QString());
    }

    void eachFormatLoadsUnscaledAtTheTopLeft_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<int>("imageFormat");
        QTest::newRow("JPEG") << "g.jpg" << QByteArray("jpeg") << int(QImage::Format_RGB32);
        QTest::newRow("BMP 1 bit") << "g1.bmp" << QByteArray("bmp") << int(QImage::Format_Mono);
        QTest::newRow("BMP 8 bit") << "g8.bmp" << QByteArray("bmp") << int(QImage::Format_Indexed8);
        QTest::newRow("BMP 24 bit") << "g24.bmp" << QByteArray("bmp") << int(QImage::Format_RGB888);
        QTest::newRow("BMP 32 bit") << "g32.bmp" << QByteArray("bmp") << int(QImage::Format_ARGB32);
        QTest::newRow("TIFF") << "g.tif" << QByteArray("tiff") << int(QImage::Format_RGB32);
    }

    void eachFormatLoadsUnscaledAtTheTopLeft()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(int, imageFormat);
        MainWindowFixture app([&](const QDir& folder) {
            QImage image = filledImage(QSize(300, 200), Qt::white);
            image.setPixelColor(120, 80, Qt::black);
            image = image.convertToFormat(QImage::Format(imageFormat), Qt::ThresholdDither);
            save(image, folder.filePath(name), format.constData());
        });
        QVERIFY(app.show());
        QVERIFY(titleIsShown(*app.form->Picture1));
        QVERIFY(app.clickFile(name));
        const auto& picture = *app.form->Picture1;
        QCOMPARE(picture.Point(0, 0), 0xFFFFFF);
        QVERIFY((picture.Point(120, 80) & 0xFF) < 0x20);
        QCOMPARE(picture.Point(299, 199), 0xFFFFFF);
        QCOMPARE(picture.Point(300, 10), kBackground);
        QCOMPARE(picture.Point(10, 200), kBackground);
        QVERIFY(!titleIsShown(picture));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.form->Command1));
        QVERIFY(app.platform.messages.isEmpty());
    }

    void gifLoadsAndTransparencyShowsTheBackground()
    {
        MainWindowFixture app([](const QDir& folder) {
            QVERIFY(
                QFile::copy(QStringLiteral(VASTREL_SOURCE_DIR "/samples/linear-log.gif"), folder.filePath("s.gif")));
            QImage clear = filledImage(QSize(40, 40), QColor(0, 0, 0, 0), QImage::Format_ARGB32);
            clear.setPixelColor(0, 0, Qt::black);
            save(clear, folder.filePath("t.tif"), "tiff");
        });
        QVERIFY(app.show());
        QVERIFY(app.clickFile("s.gif"));
        QCOMPARE(app.form->Picture1->Point(5, 5), 0xFFFFFF);
        QCOMPARE(app.form->Picture1->Point(900, 5), kBackground);
        QVERIFY(app.clickFile("t.tif"));
        QCOMPARE(app.form->Picture1->Point(0, 0), 0);
        QCOMPARE(app.form->Picture1->Point(20, 20), kBackground);
    }

    void largeImagesAreCutOffAtTheRightAndBottom()
    {
        MainWindowFixture app([](const QDir& folder) {
            QImage exact = filledImage(QSize(1000, 800), Qt::white);
            exact.setPixelColor(999, 799, Qt::black);
            save(exact, folder.filePath("exact.bmp"), "bmp");
            QImage large = filledImage(QSize(1400, 1100), Qt::white);
            large.setPixelColor(1004, 804, Qt::black);
            save(large, folder.filePath("large.bmp"), "bmp");
        });
        QVERIFY(app.show());
        QVERIFY(app.clickFile("exact.bmp"));
        QCOMPARE(app.form->Picture1->Point(999, 799), 0);
        QCOMPARE(app.form->Picture1->Point(1000, 799), kBackground);
        QVERIFY(app.clickFile("large.bmp"));
        QCOMPARE(app.form->Picture1->Point(1004, 804), 0);
        QCOMPARE(app.form->Picture1->Point(1000, 799), 0xFFFFFF);
        QCOMPARE(app.form->Picture1->Point(1005, 804), -1);
    }

    void arrowKeysLoadEachFileInTurn()
    {
        MainWindowFixture app([](const QDir& folder) {
            save(filledImage(QSize(10, 10), Qt::red), folder.filePath("1.bmp"), "bmp");
            save(filledImage(QSize(10, 10), Qt::blue), folder.filePath("2.bmp"), "bmp");
        });
        QVERIFY(app.show());
        QVERIFY(app.clickFile("1.bmp"));
        QCOMPARE(app.form->Picture1->Point(1, 1), 0x0000FF);
        app.form->File1->setFocus();
        QTest::keyClick(app.form->File1, Qt::Key_Down);
        QCOMPARE(app.form->File1->FileName(), QString("2.bmp"));
        QCOMPARE(app.form->Picture1->Point(1, 1), 0xFF0000);
    }

    void downWithNothingSelectedLoadsTheFirstFile()
    {
        MainWindowFixture app([](const QDir& folder) {
            save(filledImage(QSize(10, 10), Qt::red), folder.filePath("1.bmp"), "bmp");
            save(filledImage(QSize(10, 10), Qt::blue), folder.filePath("2.bmp"), "bmp");
        });
        QVERIFY(app.show());
        app.form->File1->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.form->File1));
        QTest::keyClick(app.form->File1, Qt::Key_Down);
        QCOMPARE(app.form->File1->FileName(), QString("1.bmp"));
        QCOMPARE(app.form->Picture1->Point(1, 1), 0x0000FF);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.form->Command1));
    }

    // Each format cut off (the decoders would fill the rest and show it), and
    // a whole file with bytes after its end, which loads.
    void cutOffFilesAreRefusedAsIncomplete_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<double>("kept");
        QTest::newRow("JPEG cut in the middle") << "cut.jpg" << QByteArray("jpeg") << 0.5;
        QTest::newRow("JPEG without its end marker") << "cut.jpg" << QByteArray("jpeg") << -2.0;
        QTest::newRow("BMP cut near the start") << "cut.bmp" << QByteArray("bmp") << 0.05;
        QTest::newRow("TIFF without its last byte") << "cut.tif" << QByteArray("tiff") << -1.0;
        QTest::newRow("GIF without its trailer") << "cut.gif" << QByteArray("gif") << -1.0;
        QTest::newRow("JPEG with bytes after its end") << "long.jpg" << QByteArray("jpeg") << 0.0;
    }

    void cutOffFilesAreRefusedAsIncomplete()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QFETCH(double, kept);
        MainWindowFixture app([&](const QDir& folder) {
            save(filledImage(QSize(50, 50), Qt::black), folder.filePath("good.bmp"), "bmp");
            QByteArray bytes;
            if (format == "gif") {
                QFile sample(QStringLiteral(VASTREL_SOURCE_DIR "/samples/linear-log.gif"));
                QVERIFY(sample.open(QIODevice::ReadOnly));
                bytes = sample.readAll();
            } else {
                QBuffer buffer(&bytes);
                QVERIFY(buffer.open(QIODevice::WriteOnly));
                QVERIFY(QImageWriter(&buffer, format).write(filledImage(QSize(400, 300), Qt::white)));
            }
            if (kept > 0)
                bytes.truncate(qsizetype(bytes.size() * kept));
            else if (kept < 0)
                bytes.chop(qsizetype(-kept));
            else
                bytes.append("appended by a mail program\n");
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        });
        QVERIFY(app.show());
        QVERIFY(app.clickFile("good.bmp"));
        QVERIFY(app.clickFile(name));
        if (kept == 0) {
            QVERIFY(app.platform.messages.isEmpty());
            QCOMPARE(app.form->Picture1->Point(10, 10), 0xFFFFFF);
            return;
        }
        QCOMPARE(app.platform.messages.size(), 1);
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        const QStringList lines = app.platform.messages[0].text.split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QString(" --- 画像ファイルを読み込めません --- "));
        QVERIFY(lines[2].endsWith('/' + name));
        QVERIFY2(lines[3].contains("途中で切れています"), qPrintable(lines[3]));
        QCOMPARE(app.form->Picture1->Point(10, 10), 0);
        QCOMPARE(app.form->Picture1->Point(60, 60), 0xC0C0C0);
    }

    void unreadableFilesAreReportedAndTheOldPictureStays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("truncated JPEG") << "cut.jpg";
        QTest::newRow("not an image") << "text.bmp";
        QTest::newRow("removed since listed") << "gone.tif";
        QTest::newRow("decompression bomb") << "bomb.bmp";
        QTest::newRow("JPEG of thousands of scans") << "scans.jpg";
    }

    void unreadableFilesAreReportedAndTheOldPictureStays()
    {
        QFETCH(QString, name);
        MainWindowFixture app([](const QDir& folder) {
            save(filledImage(QSize(50, 50), Qt::black), folder.filePath("good.bmp"), "bmp");
            QFile good(folder.filePath("good.bmp"));
            QVERIFY(good.open(QIODevice::ReadOnly));
            QImage jpeg = filledImage(QSize(400, 400), Qt::blue);
            save(jpeg, folder.filePath("full.jpg"), "jpeg");
            QFile full(folder.filePath("full.jpg"));
            QVERIFY(full.open(QIODevice::ReadOnly));
            QFile cut(folder.filePath("cut.jpg"));
            QVERIFY(cut.open(QIODevice::WriteOnly));
            cut.write(full.read(300));
            QFile text(folder.filePath("text.bmp"));
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("this is not a picture\n");
            save(filledImage(QSize(5, 5), Qt::white), folder.filePath("gone.tif"), "tiff");
            QVERIFY(QFile::copy(QStringLiteral(VASTREL_SOURCE_DIR "/fuzz/regressions/fuzz_image_loader/"
                                                                  "progressive-jpeg-2000-scans.jpg"),
                                folder.filePath("scans.jpg")));
            // A 54-byte bitmap header that claims 60000 x 60000 pixels.
            QByteArray bomb = good.read(54);
            const qint32 side = 60000;
            bomb.replace(18, 4, reinterpret_cast<const char*>(&side), 4);
            bomb.replace(22, 4, reinterpret_cast<const char*>(&side), 4);
            QFile bombFile(folder.filePath("bomb.bmp"));
            QVERIFY(bombFile.open(QIODevice::WriteOnly));
            bombFile.write(bomb);
        });
        QVERIFY(app.show());
        QVERIFY(app.clickFile("good.bmp"));
        QVERIFY(QFile::remove(app.path("gone.tif")));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(app.clickFile(name));
        QVERIFY2(clock.elapsed() < 5000, "a bad file must be refused without a long wait");
        QCOMPARE(app.platform.messages.size(), 1);
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        QVERIFY(app.platform.messages[0].text.startsWith(" --- 画像ファイルを読み込めません --- "));
        QVERIFY(app.platform.messages[0].text.contains(name));
        QCOMPARE(app.form->Picture1->Point(10, 10), 0);
        QVERIFY(app.clickFile("good.bmp"));
        QCOMPARE(app.platform.messages.size(), 1);
    }

    void okChecksThatAFileIsSelected()
    {
        MainWindowFixture app([](const QDir& folder) {
            save(filledImage(QSize(10, 10), Qt::white), folder.filePath("a.bmp"), "bmp");
            QVERIFY(folder.mkdir("other"));
        });
        QVERIFY(app.show());
        QTest::mouseClick(app.form->Command1, Qt::LeftButton);
        QCOMPARE(app.platform.texts(), QStringList("--- ファイルを選択して下さい ---"));
        QCOMPARE(app.platform.messages[0].style, tk::kPlainMessage);

        QVERIFY(app.clickFile("a.bmp"));
        QTest::keyClick(app.form->Command1, Qt::Key_Return);
        QCOMPARE(app.platform.messages.size(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(app.form->Command3));

        QVERIFY(app.form->Dir1->setPath(app.path("other")));
        QCOMPARE(app.form->File1->Path(), QDir(app.path("other")).canonicalPath());
        QTest::mouseClick(app.form->Command1, Qt::LeftButton);
        QCOMPARE(app.platform.messages.size(), 2);
        QCOMPARE(app.form->Picture1->Point(1, 1), 0xFFFFFF);
    }

    void aFolderThatCannotBeOpenedIsReported()
    {
        MainWindowFixture app([](const QDir& folder) { QVERIFY(folder.mkdir("vanishing")); });
        QVERIFY(app.show());
        const auto rows = app.form->Dir1->findItems("vanishing", Qt::MatchExactly);
        QCOMPARE(rows.size(), 1);
        app.form->Dir1->scrollToItem(rows.first());
        QVERIFY(QDir(app.path("vanishing")).removeRecursively());
        const QString before = app.form->Dir1->Path();
        const QPoint row = app.form->Dir1->visualItemRect(rows.first()).center();
        QTest::mouseClick(app.form->Dir1->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(app.form->Dir1->viewport(), Qt::LeftButton, {}, row);
        QCOMPARE(app.platform.messages.size(), 1);
        QCOMPARE(app.platform.messages[0].style, tk::kExclamationMessage);
        QVERIFY(app.platform.messages[0].text.contains("vanishing"));
        QCOMPARE(app.form->Dir1->Path(), before);
        QCOMPARE(app.form->File1->Path(), before);
    }

    void loadingKeepsTheMarkersAndTheCalibration()
    {
        MainWindowFixture app(
            [](const QDir& folder) { save(filledImage(QSize(10, 10), Qt::white), folder.filePath("a.bmp"), "bmp"); });
        QVERIFY(app.show());
        app.form->Line1->setVisible(true);
        app.form->Text1->setText("5");
        app.module->StartPixelX = 40.0f;
        QVERIFY(app.clickFile("a.bmp"));
        QVERIFY(app.form->Line1->Visible());
        QCOMPARE(app.form->Text1->Text(), QString("5"));
        QCOMPARE(static_cast<float>(app.module->StartPixelX), 40.0f);
    }
};

QTEST_MAIN(ImageBrowsingTest)
#include "image_browsing_test.moc"

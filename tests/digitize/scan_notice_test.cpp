// A run that reads beyond the picture, or has nothing to read, keeps its
// result and its messages as they are, and a framed notice at the foot of
// the image area says so before the result is shown.

#include "MainWindowFixture.h"

#include <QImageWriter>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

const QString kFinished = QStringLiteral(" --- DIGITIZE が終了しました。--- ");

struct SmallGraph {
    // 400 x 300 pixels of paper with a black line along row 150.
    MainWindowFixture app{[](const QDir& folder) {
        QImage graph = testing::filledImage({400, 300}, Qt::white);
        for (int x = 0; x < 400; ++x) graph.setPixelColor(x, 150, Qt::black);
        QVERIFY(QImageWriter(folder.filePath("graph.png")).write(graph));
        QVERIFY(QImageWriter(folder.filePath("other.png")).write(graph));
    }};
    shell::Form1& form = *app.form;

    // Digitizes between the two corners; the notice as it stood while the
    // completion message was shown, or "(hidden)".
    QString digitize(QPointF start, QPointF end)
    {
        app.module->StartPixelX = float(start.x());
        app.module->StartPixelY = float(start.y());
        app.module->EndPixelX = float(end.x());
        app.module->EndPixelY = float(end.y());
        for (tk::TextBox* box : {form.Text1, form.Text2, form.Text3, form.Text4}) box->setText("1");
        QString notice;
        app.platform.whileMessageShown = [&](const QString&) { notice = shownNotice(); };
        app.platform.messages.clear();
        form.Command5_Click();
        app.platform.whileMessageShown = nullptr;
        return notice;
    }
    QString shownNotice() const
    {
        return form.scanNotice->isVisible() ? form.scanNotice->Caption() : QStringLiteral("(hidden)");
    }
};

}  // namespace

class ScanNoticeTest : public QObject {
    Q_OBJECT
private slots:
    void aWindowBeyondThePictureIsToldAndTheRunStaysAsItWas()
    {
        SmallGraph graph;
        QVERIFY(graph.app.show() && graph.app.clickFile("graph.png"));
        QCOMPARE(graph.digitize({10, 290}, {390, 10}), QString("(hidden)"));
        QCOMPARE(graph.app.platform.texts(), QStringList{kFinished});

        // The end corner beyond the right and the start corner below the
        // picture: the margin's grey is read there, and every column still
        // gives its point.
        QCOMPARE(graph.digitize({10, 320}, {600, 10}),
                 QString(" --- 400〜598 列、300〜305 行は画像の外です (灰色の余白を読みました) --- "));
        QCOMPARE(graph.app.platform.texts(), QStringList{kFinished});
        QCOMPARE(int(graph.app.module->PointCount), 600 - 10 - 3);
        QCOMPARE(float(graph.app.module->CurvePixelY(100)), 150.0f);
        // The notice lies over the image area, never in its pixels nor in
        // the way of a pick.
        QCOMPARE(graph.form.Picture1->Point(20, 792), tk::ColorValue(0xC0C0C0));
        graph.form.Command3_Click();
        graph.app.pressOnPicture(20, 792);
        QCOMPARE(graph.app.module->StartPixelX, 20.0f);
        QVERIFY(graph.form.scanNotice->isVisible());

        // Another image, or Reset, and the notice goes.
        QVERIFY(graph.app.clickFile("other.png"));
        QCOMPARE(graph.shownNotice(), QString("(hidden)"));
        QVERIFY(!graph.digitize({-20, 290}, {390, 10}).contains("(hidden)"));
        graph.form.Command2_Click();
        QCOMPARE(graph.shownNotice(), QString("(hidden)"));
    }

    void cornersThatLeaveNothingToReadAreTold()
    {
        SmallGraph graph;
        QVERIFY(graph.app.show() && graph.app.clickFile("graph.png"));
        // Swapped left and right: the run has no point, as before.
        QCOMPARE(graph.digitize({390, 290}, {10, 10}),
                 QString(" --- 始点と終点の間に取り込む列がありません (点は 0 個です) --- "));
        QCOMPARE(graph.app.platform.texts(), QStringList{kFinished});
        QCOMPARE(int(graph.app.module->PointCount), 0);
        // Swapped top and bottom: every column repeats the same row.
        QCOMPARE(graph.digitize({10, 10}, {390, 290}),
                 QString(" --- 始点と終点の間に取り込む行がありません (どの列も同じ値になります) --- "));
        QCOMPARE(int(graph.app.module->PointCount), 390 - 10 - 3);
        // A refused run says why in its own message; no notice then.
        graph.form.Text4->setText("1e999");
        graph.app.platform.messages.clear();
        graph.form.Command5_Click();
        QCOMPARE(graph.app.platform.messages.size(), 1);
        QCOMPARE(graph.shownNotice(), QString("(hidden)"));
    }
};

QTEST_MAIN(ScanNoticeTest)
#include "scan_notice_test.moc"

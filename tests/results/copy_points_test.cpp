// Copying the shown result from the result window: Ctrl+C wherever the focus
// is, and "コピー" in the list's menu, put every point on the clipboard as
// tab-separated lines and leave the window exactly as it was.

#include "MainWindowFixture.h"
#include "StoredRun.h"
#include "digitize/ShowDigitizedResult.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTimer>

using namespace vastrel;
using testing::MainWindowFixture;

namespace {

float curveRow(int i)
{
    return 100.0f + static_cast<float>(i % 500);
}

results::Form2& shownRun(MainWindowFixture& app, float sx, float ex)
{
    testing::storeRun(*app.module, *app.form, {sx, 750, ex, 50}, curveRow);
    digitize::ShowDigitizedResult(*app.module);
    results::Form2& window = app.module->form2();
    if (window.List1->ListCount() > 7) window.List1->setListIndex(7);
    return window;
}

// What the user sees in the list, as the lines a spreadsheet would get.
QString listAsLines(const tk::ListBox& list)
{
    QString text = "X\tY\n";
    for (int row = 0; row < list.ListCount(); ++row)
        text += list.List(row).split(' ', Qt::SkipEmptyParts).join('\t') + '\n';
    return text;
}

struct WindowState {
    int selected;
    float crossX, crossY;
    bool horizontal, vertical;
    QWidget* focus;
    QImage look;

    static WindowState of(results::Form2& window)
    {
        return {window.List1->ListIndex(), window.Line2->X1(),          window.Line1->Y1(),     window.Line1->Visible(),
                window.Line2->Visible(),   QApplication::focusWidget(), window.grab().toImage()};
    }
    bool operator==(const WindowState&) const = default;
};

}  // namespace

class CopyPointsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QGuiApplication::clipboard()->setText("before"); }

    void ctrlCCopiesWhereverTheFocusIs_data()
    {
        QTest::addColumn<int>("focus");
        QTest::newRow("list") << 2;
        QTest::newRow("plot") << 3;
    }

    void ctrlCCopiesWhereverTheFocusIs()
    {
        QFETCH(int, focus);
        MainWindowFixture app;
        results::Form2& window = shownRun(app, 100, 600);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget* target = QList<QWidget*>{window.Command1, window.Command6, window.List1, window.Picture1}[focus];
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QVERIFY(testing::moveOverPlot(window, 300 + 10 * focus, 400));
        const WindowState before = WindowState::of(window);

        QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QCOMPARE(copied.count('\n'), 498);
        QVERIFY(copied.startsWith("X\tY\n1.000E+00\t-5.000E-01\n2.000E+00\t-1.000E+00\n"));
        QVERIFY(copied.endsWith("\n4.970E+02\t-2.485E+02\n"));
        QCOMPARE(copied, listAsLines(*window.List1));
        QVERIFY(WindowState::of(window) == before);
        QVERIFY(app.platform.messages.isEmpty());
    }

    // The right button opens the menu over a row without selecting it.
    void theListMenuCopiesAndSelectsNothing()
    {
        MainWindowFixture app;
        results::Form2& window = shownRun(app, 100, 105);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.List1->ListIndex(), -1);
        window.List1->setListIndex(1);
        const float crossX = window.Line2->X1();
        const QPoint firstRow = window.List1->visualItemRect(window.List1->item(0)).center();
        QTest::mouseClick(window.List1->viewport(), Qt::RightButton, {}, firstRow);
        QCOMPARE(window.List1->ListIndex(), 1);

        QStringList offered;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            for (const QAction* action : menu->actions()) offered.append(action->text());
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QContextMenuEvent request(QContextMenuEvent::Mouse, firstRow, window.List1->viewport()->mapToGlobal(firstRow));
        QApplication::sendEvent(window.List1->viewport(), &request);

        QCOMPARE(offered, QStringList{"コピー"});
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("X\tY\n1.000E+00\t-5.000E-01\n2.000E+00\t-1.000E+00\n"));
        QCOMPARE(window.List1->ListIndex(), 1);
        QCOMPARE(window.Line2->X1(), crossX);
    }
};

QTEST_MAIN(CopyPointsTest)
#include "copy_points_test.moc"

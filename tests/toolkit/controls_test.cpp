// The small controls: the events the handlers rely on.

#include "toolkit/Controls.h"
#include "toolkit/Fonts.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace vastrel::tk;

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void optionButtonRaisesClickOnlyWhenNewlySelected()
    {
        QWidget group;
        OptionButton first(&group, "A", {0, 0, 80, 20}, QFont());
        OptionButton second(&group, "B", {0, 20, 80, 20}, QFont());
        first.setChecked(true);
        QSignalSpy firstClicks(&first, &OptionButton::Click);
        QSignalSpy secondClicks(&second, &OptionButton::Click);

        first.setValue(true);
        QCOMPARE(firstClicks.count(), 0);
        second.setValue(true);
        QCOMPARE(secondClicks.count(), 1);
        QVERIFY(!first.Value());
        first.setValue(true);
        QCOMPARE(firstClicks.count(), 1);
    }

    // However the button is chosen, a Click handler's move of the focus stands.
    void optionClickHandlerKeepsItsFocusMove()
    {
        QWidget window;
        window.resize(300, 100);
        QWidget frame(&window);
        frame.setGeometry(0, 0, 100, 80);
        OptionButton first(&frame, "&Alpha", {0, 0, 80, 20}, QFont());
        OptionButton second(&frame, "&Beta", {0, 20, 80, 20}, QFont());
        OptionButton third(&frame, "&Gamma", {0, 40, 80, 20}, QFont());
        QPushButton nextStep("Next", &window);
        nextStep.setGeometry(150, 0, 80, 30);
        first.setChecked(true);
        for (OptionButton* option : {&first, &second, &third})
            connect(option, &OptionButton::Click, &nextStep, [&] { nextStep.setFocus(); });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const auto pressOn = [](OptionButton& option, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            option.setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&option));
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        };

        pressOn(first, Qt::Key_Down);
        QVERIFY(second.Value());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&nextStep));
        pressOn(second, Qt::Key_Right);
        QVERIFY(third.Value());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&nextStep));
        pressOn(third, Qt::Key_Down);  // round from the last to the first
        QVERIFY(first.Value());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&nextStep));
        pressOn(first, Qt::Key_Up);
        QVERIFY(third.Value());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&nextStep));

        pressOn(second, Qt::Key_Space);
        QVERIFY(second.Value());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&nextStep));
        QTest::keyClick(&nextStep, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(first.Value());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&nextStep));
        QTest::mouseClick(&third, Qt::LeftButton);
        QVERIFY(third.Value());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(&nextStep));
    }

    void listIndexSelectsAndRaisesClickBeforeReturning()
    {
        ListBox list(nullptr, {0, 0, 100, 100}, QFont());
        for (const char* row : {"a", "b", "c"}) list.AddItem(row);
        int seenRow = -2;
        connect(&list, &ListBox::Click, [&] { seenRow = list.ListIndex(); });
        list.setListIndex(2);
        QCOMPARE(seenRow, 2);
        QCOMPARE(list.currentItem()->text(), QString("c"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.setListIndex(3));
        QCOMPARE(list.ListIndex(), 2);
    }

    void userSelectionRaisesListClick()
    {
        ListBox list(nullptr, {0, 0, 100, 100}, QFont());
        for (const char* row : {"a", "b", "c"}) list.AddItem(row);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy clicks(&list, &ListBox::Click);
        const QRect second = list.visualItemRect(list.item(1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(list.ListIndex(), 1);
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(clicks.count(), 2);
        QCOMPARE(list.ListIndex(), 2);
    }

    void textBoxReportsEnterAsKeyCode13WithTheShiftState()
    {
        TextBox box(nullptr, {0, 0, 80, 25}, QFont());
        QSignalSpy keys(&box, &TextBox::KeyDown);
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClick(&box, Qt::Key_Enter, Qt::ShiftModifier);
        QTest::keyClick(&box, Qt::Key_A);
        // Shift itself arrives first as its own key, as on the original platform.
        QList<QPair<int, int>> codes;
        for (const auto& key : keys) codes.append({key[0].toInt(), key[1].toInt()});
        const QList<QPair<int, int>> expected = {{13, 0}, {16, 1}, {13, 1}, {int('A'), 0}};
        QCOMPARE(codes, expected);
        QCOMPARE(box.Text(), QString("a"));
    }

    void commandButtonClicksOnEnterSpaceAndMouse()
    {
        CommandButton button(nullptr, "OK", {0, 0, 80, 30}, QFont(), 0xC0FFFF);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QSignalSpy clicks(&button, &CommandButton::Click);
        QTest::keyClick(&button, Qt::Key_Return);
        QTest::keyClick(&button, Qt::Key_Space);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 3);
    }

    void layoutFontsAreSizedInPixelsAt96Dpi()
    {
        QCOMPARE(layoutFont("Times New Roman", 14.25).pixelSize(), 19);
        QCOMPARE(layoutFont("Times New Roman", 36, true).pixelSize(), 48);
        QVERIFY(layoutFont("Times New Roman", 36, true).italic());
    }
};

QTEST_MAIN(ControlsTest)
#include "controls_test.moc"

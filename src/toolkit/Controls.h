#pragma once
// The small controls of the window layouts, each a thin Qt widget placed at a
// fixed position with the events the handlers are written against.

#include "toolkit/Color.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace vastrel::tk {

struct Placement {
    int left, top, width, height;
};

void place(QWidget& control, Placement at);

class CommandButton : public QPushButton {
    Q_OBJECT
public:
    CommandButton(QWidget* parent, const QString& caption, Placement at, const QFont& font, ColorValue backColor);
    void setToolTipText(const QString& text) { setToolTip(text); }
signals:
    // Mouse click, Space, or Enter while the button has the focus.
    void Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class Label : public QLabel {
    Q_OBJECT
public:
    Label(QWidget* parent, const QString& caption, Placement at, const QFont& font);
    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    void setForeColor(ColorValue color);
    // White box with a single border and centred text, as the value labels are.
    void setBoxed(ColorValue backColor);
};

class TextBox : public QLineEdit {
    Q_OBJECT
public:
    TextBox(QWidget* parent, Placement at, const QFont& font);
    QString Text() const { return text(); }
    // The focus moved here by the program, not by the user: the text is
    // selected, so that typing replaces a value left from before.
    void focusWithTextSelected();
signals:
    // Key code of the pressed key (13 for Enter) and the shift state.
    void KeyDown(int keyCode, int shift);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class Frame : public QGroupBox {
    Q_OBJECT
public:
    Frame(QWidget* parent, const QString& caption, Placement at, const QFont& font, ColorValue captionColor);
};

class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    OptionButton(QWidget* parent, const QString& caption, Placement at, const QFont& font);
    bool Value() const { return isChecked(); }
    // Selecting an unselected button raises Click at once; selecting the
    // selected one raises nothing.
    void setValue(bool selected) { setChecked(selected); }
signals:
    void Click();

protected:
    // The arrow keys move through the group, round from the last button to
    // the first, and select the button they move to.
    void keyPressEvent(QKeyEvent* event) override;

private:
    OptionButton* neighbour(int step) const;
};

class ListBox : public QListWidget {
    Q_OBJECT
public:
    ListBox(QWidget* parent, Placement at, const QFont& font);
    void Clear() { clear(); }
    void AddItem(const QString& item) { addItem(item); }
    // Appends many rows in one step: a result list holds up to 1001 of them.
    void AddItems(const QStringList& items) { addItems(items); }
    int ListCount() const { return count(); }
    QString List(int row) const;
    int ListIndex() const { return currentRow(); }
    // Selects the row (-1: none) and raises Click at once, before returning;
    // a row the list does not have throws std::out_of_range.
    void setListIndex(int row);
    // Offers `action` in a menu on the right button; the right button then
    // only opens that menu and leaves the selection alone.
    void addMenuAction(QAction* action);
signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool opensMenu(const QMouseEvent* event) const;
};

}  // namespace vastrel::tk

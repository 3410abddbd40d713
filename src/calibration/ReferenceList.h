#pragma once
// The window "基準点": every reference point, its pixel on the image, the
// graph values typed for it and, once the mapping is fitted, how far in
// pixels the mapping puts its values from it. Rows 1 and 2 are the start and
// end points, tied both ways to the coordinate boxes and the pixel labels;
// the rows after them are typed into here, picked again or deleted.

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QWidget>

namespace vastrel::shell {

class Form1;
class Module1;

class ReferenceList : public QWidget {
    Q_OBJECT
public:
    enum Column { Number, PixelX, PixelY, ValueX, ValueY, Residual };

    ReferenceList(Form1& form, Module1& module);

    // Shows the points as the state and the boxes hold them now.
    void refresh();
    // Shows the window with the focus on a row's X value, for typing.
    void editRow(int row);

    QTableWidget* table;
    QPushButton *addButton, *pickAgainButton, *deleteButton, *closeButton;
    // The largest residual, or why no mapping fits the points.
    QLabel* fitNote;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void valueEdited(int row, int column);
    void pickAgain();
    void deleteSelected();
    void showFit();

    Form1& form_;
    Module1& module_;
    bool refreshing_ = false;
};

}  // namespace vastrel::shell

#include "toolkit/Controls.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <stdexcept>
#include <utility>

namespace vastrel::tk {

namespace {

QString cssColor(ColorValue color)
{
    return toQColor(color).name();
}

int vbShift(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

int vbKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    default: return qtKey >= 0x20 && qtKey <= 0x7E ? qtKey : 0;
    }
}

}  // namespace

void place(QWidget& control, Placement at)
{
    control.setGeometry(at.left, at.top, at.width, at.height);
}

CommandButton::CommandButton(QWidget* parent, const QString& caption, Placement at, const QFont& font,
                             ColorValue backColor)
    : QPushButton(caption, parent)
{
    place(*this, at);
    setFont(font);
    // A styled button, so that the layout's background colour shows.
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: black; border: 1px solid #808080; "
                                 "border-radius: 2px; padding: 0px; }"
                                 "QPushButton:focus { border: 2px solid #404040; }"
                                 "QPushButton:pressed { background-color: %2; }")
                      .arg(cssColor(backColor), toQColor(backColor).darker(115).name()));
    connect(this, &QPushButton::clicked, this, &CommandButton::Click);
}

void CommandButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit Click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

Label::Label(QWidget* parent, const QString& caption, Placement at, const QFont& font) : QLabel(caption, parent)
{
    place(*this, at);
    setFont(font);
    setTextFormat(Qt::PlainText);
    // Japanese fonts have tall line boxes; centring keeps the glyphs inside
    // the small label heights of the layout.
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void Label::setForeColor(ColorValue color)
{
    QPalette shades = palette();
    shades.setColor(QPalette::WindowText, toQColor(color));
    setPalette(shades);
}

void Label::setBoxed(ColorValue backColor)
{
    setAutoFillBackground(true);
    QPalette shades = palette();
    shades.setColor(QPalette::Window, toQColor(backColor));
    setPalette(shades);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
}

TextBox::TextBox(QWidget* parent, Placement at, const QFont& font) : QLineEdit(parent)
{
    place(*this, at);
    setFont(font);
}

void TextBox::focusWithTextSelected()
{
    setFocus();
    selectAll();
}

void TextBox::keyPressEvent(QKeyEvent* event)
{
    emit KeyDown(vbKeyCode(event->key()), vbShift(event->modifiers()));
    QLineEdit::keyPressEvent(event);
}

Frame::Frame(QWidget* parent, const QString& caption, Placement at, const QFont& font, ColorValue captionColor)
    : QGroupBox(caption, parent)
{
    place(*this, at);
    setFont(font);
    setStyleSheet(
        QStringLiteral("QGroupBox { border: 1px solid #a0a0a0; margin-top: 10px; }"
                       "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 2px; color: %1; }")
            .arg(cssColor(captionColor)));
}

OptionButton::OptionButton(QWidget* parent, const QString& caption, Placement at, const QFont& font)
    : QRadioButton(caption, parent)
{
    place(*this, at);
    setFont(font);
    connect(this, &QRadioButton::toggled, this, [this](bool selected) {
        if (selected) emit Click();
    });
}

void OptionButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool back = key == Qt::Key_Up || key == Qt::Key_Left;
    if (!back && key != Qt::Key_Down && key != Qt::Key_Right) {
        QRadioButton::keyPressEvent(event);
        return;
    }
    OptionButton* next = neighbour(back ? -1 : 1);
    if (!next) {
        event->ignore();
        return;
    }
    event->accept();
    // Qt selects the neighbour first and moves the focus onto it afterwards,
    // which would undo a move of the focus made by the Click handler. Here
    // the focus moves first, so the handler has the last word.
    next->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
    if (isChecked()) next->click();
}

OptionButton* OptionButton::neighbour(int step) const
{
    if (!parentWidget()) return nullptr;
    QList<OptionButton*> group;
    for (OptionButton* button : parentWidget()->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly))
        if (!button->isHidden() && button->isEnabled()) group.append(button);
    if (group.size() < 2) return nullptr;
    // In the order they are laid out, top to bottom, then left to right.
    std::sort(group.begin(), group.end(), [](const OptionButton* a, const OptionButton* b) {
        return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
    });
    const qsizetype at = group.indexOf(this);
    return group[(at + step + group.size()) % group.size()];
}

ListBox::ListBox(QWidget* parent, Placement at, const QFont& font) : QListWidget(parent)
{
    place(*this, at);
    setFont(font);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) emit Click();
    });
}

QString ListBox::List(int row) const
{
    const QListWidgetItem* entry = item(row);
    return entry ? entry->text() : QString();
}

void ListBox::setListIndex(int row)
{
    if (row < -1 || row >= count()) throw std::out_of_range("list row " + std::to_string(row));
    {
        const QSignalBlocker quiet(this);
        setCurrentRow(row);
    }
    emit Click();
}

void ListBox::addMenuAction(QAction* action)
{
    addAction(action);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

bool ListBox::opensMenu(const QMouseEvent* event) const
{
    return event->button() == Qt::RightButton && contextMenuPolicy() == Qt::ActionsContextMenu;
}

void ListBox::mousePressEvent(QMouseEvent* event)
{
    if (opensMenu(event))
        event->accept();
    else
        QListWidget::mousePressEvent(event);
}

void ListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (opensMenu(event))
        event->accept();
    else
        QListWidget::mouseReleaseEvent(event);
}

void ListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (opensMenu(event))
        event->accept();
    else
        QListWidget::mouseDoubleClickEvent(event);
}

}  // namespace vastrel::tk

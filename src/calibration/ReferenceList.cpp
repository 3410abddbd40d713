#include "calibration/ReferenceList.h"

#include "shell/Form1.h"
#include "shell/Module1.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <cmath>

namespace vastrel::shell {

namespace {

// A picked pixel as whole numbers show it, a found one to a hundredth.
QString pixelText(double value)
{
    return value == std::floor(value) ? QString::number(value, 'f', 0) : QString::number(value, 'f', 2);
}

// Sets a cell's text, keeping its item: the list refreshes while one of its
// own cells tells of an edit, and that item must outlive the telling.
void setCell(QTableWidget& table, int row, int column, const QString& text, bool editable)
{
    QTableWidgetItem* item = table.item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        table.setItem(row, column, item);
    }
    if (item->text() != text) item->setText(text);
    const Qt::ItemFlags flags =
        Qt::ItemIsSelectable | Qt::ItemIsEnabled | (editable ? Qt::ItemIsEditable : Qt::NoItemFlags);
    if (item->flags() != flags) item->setFlags(flags);
    if (!editable) item->setTextAlignment(Qt::AlignCenter);
}

}  // namespace

ReferenceList::ReferenceList(Form1& form, Module1& module) : QWidget(&form, Qt::Tool), form_(form), module_(module)
{
    setWindowTitle(QStringLiteral("基準点"));
    table = new QTableWidget(0, 6, this);
    table->setHorizontalHeaderLabels({QStringLiteral("番号"), QStringLiteral("列 (px)"), QStringLiteral("行 (px)"),
                                      QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("残差 (px)")});
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    addButton = new QPushButton(QStringLiteral("基準点を追加"), this);
    pickAgainButton = new QPushButton(QStringLiteral("再指定"), this);
    deleteButton = new QPushButton(QStringLiteral("削除"), this);
    closeButton = new QPushButton(QStringLiteral("閉じる"), this);
    fitNote = new QLabel(this);
    fitNote->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {addButton, pickAgainButton, deleteButton}) buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addWidget(fitNote);
    layout->addLayout(buttons);
    resize(620, 300);

    connect(table, &QTableWidget::cellChanged, this, &ReferenceList::valueEdited);
    connect(table, &QTableWidget::itemSelectionChanged, this, [this] {
        const int row = table->currentRow();
        deleteButton->setEnabled(row >= 2);
        pickAgainButton->setEnabled(row >= 0);
    });
    connect(addButton, &QPushButton::clicked, &form_, &Form1::addReferencePoint);
    connect(pickAgainButton, &QPushButton::clicked, this, &ReferenceList::pickAgain);
    connect(deleteButton, &QPushButton::clicked, this, &ReferenceList::deleteSelected);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::hide);
    refresh();
}

void ReferenceList::refresh()
{
    refreshing_ = true;
    const int selected = table->currentRow();
    const auto& added = module_.addedReferences;
    table->setRowCount(int(2 + added.size()));
    const auto fixed = [this](int row, int column, const QString& text) { setCell(*table, row, column, text, false); };
    const auto typed = [this](int row, int column, const QString& text) { setCell(*table, row, column, text, true); };
    const struct {
        tk::Label *pixelX, *pixelY;
        tk::TextBox *valueX, *valueY;
    } picks[2] = {{form_.Label11, form_.Label12, form_.Text1, form_.Text2},
                  {form_.Label13, form_.Label14, form_.Text3, form_.Text4}};
    for (int row = 0; row < 2; ++row) {
        fixed(row, Number, row == 0 ? QStringLiteral("1 始点") : QStringLiteral("2 終点"));
        fixed(row, PixelX, picks[row].pixelX->Caption());
        fixed(row, PixelY, picks[row].pixelY->Caption());
        typed(row, ValueX, picks[row].valueX->Text());
        typed(row, ValueY, picks[row].valueY->Text());
    }
    for (std::size_t i = 0; i < added.size(); ++i) {
        const int row = int(2 + i);
        const QString number = QString::number(row + 1) + (added[i].found ? QStringLiteral(" 検出") : QString());
        fixed(row, Number, number);
        fixed(row, PixelX, pixelText(added[i].x));
        fixed(row, PixelY, pixelText(added[i].y));
        typed(row, ValueX, added[i].typedX);
        typed(row, ValueY, added[i].typedY);
    }
    showFit();
    if (selected >= 0 && selected < table->rowCount()) table->selectRow(selected);
    deleteButton->setEnabled(table->currentRow() >= 2);
    pickAgainButton->setEnabled(table->currentRow() >= 0);
    refreshing_ = false;
}

void ReferenceList::showFit()
{
    const auto fit = form_.fittedReferences();
    for (int row = 0; row < table->rowCount(); ++row) {
        const bool known = fit.ok() && std::size_t(row) < fit.mapping->residuals().size() && table->rowCount() > 2;
        setCell(*table, row, Residual,
                known ? QString::number(fit.mapping->residuals()[std::size_t(row)], 'f', 2) : QString(), false);
    }
    if (table->rowCount() <= 2)
        fitNote->setText(
            QStringLiteral("始点と終点だけで読み取ります。傾いた画像は「基準点を追加」で角を加えて下さい。"));
    else if (fit.ok())
        fitNote->setText(QStringLiteral("最大の残差: %1 px").arg(fit.mapping->largestResidual(), 0, 'f', 2));
    else
        fitNote->setText(QString::fromStdString(fit.refusal));
}

void ReferenceList::editRow(int row)
{
    show();
    raise();
    activateWindow();
    table->setCurrentCell(row, ValueX);
    table->editItem(table->item(row, ValueX));
}

void ReferenceList::valueEdited(int row, int column)
{
    if (refreshing_ || (column != ValueX && column != ValueY)) return;
    const QString text = table->item(row, column)->text();
    if (row < 2) {
        tk::TextBox* box =
            row == 0 ? (column == ValueX ? form_.Text1 : form_.Text2) : (column == ValueX ? form_.Text3 : form_.Text4);
        box->setText(text);  // the box tells the list again, which then shows the fit
        return;
    }
    AddedReference& point = module_.addedReferences[std::size_t(row - 2)];
    (column == ValueX ? point.typedX : point.typedY) = text;
    form_.referencesChanged();
}

void ReferenceList::pickAgain()
{
    const int row = table->currentRow();
    if (row == 0) form_.Command3_Click();
    if (row == 1) form_.Command4_Click();
    if (row >= 2) form_.pickReferenceAgain(std::size_t(row - 2));
}

void ReferenceList::deleteSelected()
{
    const int row = table->currentRow();
    if (row >= 2) form_.deleteReferencePoint(std::size_t(row - 2));
}

void ReferenceList::keyPressEvent(QKeyEvent* event)
{
    // An editor open in a cell takes Delete for its own text first.
    if (event->key() == Qt::Key_Delete) {
        deleteSelected();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace vastrel::shell

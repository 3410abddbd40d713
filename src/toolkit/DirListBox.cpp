#include "toolkit/DirListBox.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace vastrel::tk {
namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int DepthRole = Qt::UserRole + 1;

// Indents each row by its depth so the chain reads as a tree.
class DepthIndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(shifted.rect.left() + indent(option, index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(option, index), 0);
    }

private:
    static int indent(const QStyleOptionViewItem& option, const QModelIndex& index)
    {
        // Three quarters of an icon per level keeps deep paths inside a narrow box.
        const int step = std::max(option.decorationSize.width() * 3 / 4, 8);
        return index.data(DepthRole).toInt() * step;
    }
};

}  // namespace

QString folderRefusal(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) return QStringLiteral("フォルダーが存在しません");
    if (!info.isDir()) return QStringLiteral("フォルダーではありません");
    // Listing needs read permission, looking at the entries needs search permission.
    if (!info.isReadable() || !info.isExecutable()) return QStringLiteral("フォルダーを読み取れません");
    return {};
}

void sortByName(QStringList& names)
{
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = QString::compare(a, b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new DepthIndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, &DirListBox::openRow);
    if (!setPath(QDir::currentPath())) setPath(QDir::rootPath());
}

QString DirListBox::Path() const
{
    return path_;
}

bool DirListBox::setPath(const QString& path)
{
    return open(path).isEmpty();
}

void DirListBox::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentItem() != nullptr) {
        openRow(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

QString DirListBox::open(const QString& path)
{
    const QString target = path.isEmpty() ? QString() : QDir::cleanPath(QDir(path_).absoluteFilePath(path));
    QString refusal = folderRefusal(target);
    if (!refusal.isEmpty()) return refusal;
    const bool moved = target != path_;
    path_ = target;
    fill();
    if (moved) emit Change();
    return {};
}

void DirListBox::openRow(const QListWidgetItem* item)
{
    // Copied first: the refill deletes the item.
    const QString path = item->data(PathRole).toString();
    const QString refusal = open(path);
    if (!refusal.isEmpty()) emit PathRefused(path, refusal);
}

void DirListBox::fill()
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon, nullptr, this);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon, nullptr, this);

    addRow(QStringLiteral("/"), QStringLiteral("/"), 0, openIcon);
    QString chain;
    int depth = 0;
    for (const QString& part : path_.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        chain += QLatin1Char('/') + part;
        addRow(part, chain, ++depth, openIcon);
    }
    setCurrentRow(depth);

    // Without QDir::Hidden the names starting with '.' stay out.
    const QDir folder(path_);
    QStringList names = folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    sortByName(names);
    for (const QString& name : names) addRow(name, folder.filePath(name), depth + 1, closedIcon);
    scrollToItem(currentItem());
}

void DirListBox::addRow(const QString& text, const QString& path, int depth, const QIcon& icon)
{
    auto* row = new QListWidgetItem(icon, text, this);
    row->setData(PathRole, path);
    row->setData(DepthRole, depth);
    row->setToolTip(path);
}

}  // namespace vastrel::tk

#include "controls/folder_list_editor.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QResizeEvent>
#include <QStyledItemDelegate>

namespace {
// Commits an edit only when its text is not empty: clearing a folder's name
// by accident must not lose the folder.
class KeepNonEmptyDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line && line->text().trimmed().isEmpty())
            return;
        QStyledItemDelegate::setModelData(editor, model, index);
    }
};

constexpr Qt::ItemFlags kItemFlags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable |
                                     Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
} // namespace

CFolderListEditor::CFolderListEditor(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setSortingEnabled(false);
    setItemDelegate(new KeepNonEmptyDelegate(this));
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The selection stays visible in the active colours when the list loses focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { emit FolderDoubleClicked(indexOfTopLevelItem(item)); });
}

void CFolderListEditor::SetColumnTitle(const QString& title)
{
    setHeaderLabels({title});
    setAccessibleName(title);
    FitColumn();
}

void CFolderListEditor::CommitEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        if (QWidget* editor = indexWidget(indexFromItem(topLevelItem(row)))) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
            return;
        }
    }
}

QString CFolderListEditor::Text(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(0) : QString();
}

bool CFolderListEditor::IsEnabledAt(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item && item->checkState(0) != Qt::Unchecked;
}

void CFolderListEditor::SetText(int row, const QString& text)
{
    if (QTreeWidgetItem* item = topLevelItem(row))
        item->setText(0, text);
}

void CFolderListEditor::SetEnabledAt(int row, bool enabled)
{
    if (QTreeWidgetItem* item = topLevelItem(row))
        item->setCheckState(0, enabled ? Qt::Checked : Qt::Unchecked);
}

int CFolderListEditor::Append(const QString& text, bool enabled)
{
    auto* item = new QTreeWidgetItem(this);   // owned by the list
    item->setFlags(kItemFlags);
    item->setText(0, text);
    item->setCheckState(0, enabled ? Qt::Checked : Qt::Unchecked);
    return indexOfTopLevelItem(item);
}

std::vector<int> CFolderListEditor::SelectedRows() const
{
    std::vector<int> rows;
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->isSelected())
            rows.push_back(i);
    return rows;
}

int CFolderListEditor::FirstSelectedRow() const
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->isSelected())
            return i;
    return -1;
}

void CFolderListEditor::SelectAllItems()
{
    selectAll();
}

void CFolderListEditor::DeselectAllItems()
{
    clearSelection();
}

void CFolderListEditor::EnableAllItems()
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        topLevelItem(i)->setCheckState(0, Qt::Checked);
}

void CFolderListEditor::RemoveSelectedItems()
{
    std::vector<int> rows = SelectedRows();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        delete takeTopLevelItem(*it);
}

void CFolderListEditor::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    FitColumn();
}

bool CFolderListEditor::viewportEvent(QEvent* event)
{
    // The viewport narrows when the vertical scroll bar appears.
    if (event->type() == QEvent::Resize)
        FitColumn();
    return QTreeWidget::viewportEvent(event);
}

void CFolderListEditor::FitColumn()
{
    header()->resizeSection(0, viewport()->width());
}

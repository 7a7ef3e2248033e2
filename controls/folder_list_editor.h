#pragma once
// The folder-list editor: one column as wide as the list, one item per
// folder with a check box (on = enabled), full-row selection that stays
// visible when the list loses focus, several items selectable, and in-place
// editing where an empty or cancelled edit keeps the old text.
#include <QTreeWidget>

#include <string>
#include <vector>

class CFolderListEditor : public QTreeWidget {
    Q_OBJECT
public:
    explicit CFolderListEditor(QWidget* parent = nullptr);

    // The column's title, which also names the list for a screen reader.
    void SetColumnTitle(const QString& title);
    // Ends an in-place edit that is still open as Enter would (an empty text
    // keeps the old one), so whoever reads the list next sees what is shown.
    void CommitEdit();

    int Count() const { return topLevelItemCount(); }
    QString Text(int row) const;
    bool IsEnabledAt(int row) const;
    void SetText(int row, const QString& text);
    void SetEnabledAt(int row, bool enabled);
    // Appends an item and answers its row.
    int Append(const QString& text, bool enabled);
    void Clear() { clear(); }

    // Rows of the selected items, in display order.
    std::vector<int> SelectedRows() const;
    int FirstSelectedRow() const;   // -1 when nothing is selected
    void SelectAllItems();
    void DeselectAllItems();
    void EnableAllItems();
    void RemoveSelectedItems();

signals:
    // A double click on an item (not on empty space below the items).
    void FolderDoubleClicked(int row);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void FitColumn();
};

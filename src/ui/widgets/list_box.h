#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>

namespace aquarium {

// The rows of a list box: texts, all of one height. Replacing them changes only the rows
// that differ, so a list of a hundred thousand entries costs what an edit changes.
class ListRows : public QAbstractListModel
{
    Q_OBJECT
public:
    // rowHeight: pixels per row, or 0 for the height the view's font gives.
    explicit ListRows(int rowHeight, QObject* parent = nullptr)
        : QAbstractListModel(parent)
        , m_rowHeight(rowHeight)
    {
    }

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

    // The rows become entries: the common beginning and end stay, the rows between are
    // removed, inserted or changed.
    void Replace(const QStringList& entries);
    [[nodiscard]] const QStringList& Rows() const { return m_rows; }

private:
    QStringList m_rows;
    int m_rowHeight;
};

// A list box of the pages: a QListView over ListRows with uniform rows, one selected row.
class ListBox : public QListView
{
    Q_OBJECT
public:
    ListBox(int rowHeight, QWidget* parent);

    // Shows entries and the selected row (-1: none) without emitting anything.
    void Show(const QStringList& entries, int selected);

    [[nodiscard]] int Count() const { return int(m_rows->Rows().size()); }
    [[nodiscard]] QString Text(int row) const { return m_rows->Rows().value(row); }
    [[nodiscard]] const QStringList& Entries() const { return m_rows->Rows(); }
    // The row of the current item, -1 when there is none.
    [[nodiscard]] int CurrentRow() const;
    // The selected row's text; empty when no row is selected.
    [[nodiscard]] QString SelectedText() const;
    // The first row showing text, -1 when none does; the rectangle of a row in the viewport.
    [[nodiscard]] int FindRow(const QString& text) const { return int(Entries().indexOf(text)); }
    [[nodiscard]] QRect RowRect(int row) const;

Q_SIGNALS:
    // The user moved the current row (not Show()).
    void CurrentRowChanged(int row);
    // The user clicked a row.
    void RowClicked(int row);
    // The selection changed, by the user or by Show().
    void SelectionChanged();

private:
    ListRows* m_rows;
    bool m_showing = false;
};

} // namespace aquarium

#include "ui/widgets/list_box.h"

#include <QItemSelectionModel>

#include <algorithm>

namespace aquarium {

int ListRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ListRows::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_rows[index.row()];
    if (role == Qt::SizeHintRole && m_rowHeight > 0)
        return QSize(0, m_rowHeight);
    return {};
}

void ListRows::Replace(const QStringList& entries)
{
    if (entries.size() == m_rows.size()
        && (entries.constData() == m_rows.constData() || entries == m_rows))
        return;
    const qsizetype oldSize = m_rows.size();
    const qsizetype newSize = entries.size();
    qsizetype head = 0;
    while (head < oldSize && head < newSize && m_rows[head] == entries[head])
        ++head;
    qsizetype tail = 0;
    while (tail < oldSize - head && tail < newSize - head
        && m_rows[oldSize - 1 - tail] == entries[newSize - 1 - tail])
        ++tail;
    // Rows head .. oldSize - tail become entries head .. newSize - tail.
    const qsizetype oldMiddle = oldSize - head - tail;
    const qsizetype newMiddle = newSize - head - tail;
    const qsizetype common = std::min(oldMiddle, newMiddle);
    for (qsizetype i = 0; i < common; ++i)
        m_rows[head + i] = entries[head + i];
    if (common > 0)
        Q_EMIT dataChanged(index(int(head)), index(int(head + common - 1)));
    if (oldMiddle > newMiddle) {
        beginRemoveRows({}, int(head + common), int(head + oldMiddle - 1));
        m_rows.remove(head + common, oldMiddle - newMiddle);
        endRemoveRows();
    } else if (newMiddle > oldMiddle) {
        beginInsertRows({}, int(head + common), int(head + newMiddle - 1));
        m_rows.insert(head + common, newMiddle - oldMiddle, QString());
        for (qsizetype i = common; i < newMiddle; ++i)
            m_rows[head + i] = entries[head + i];
        endInsertRows();
    }
    if (m_rows.size() == entries.size())
        m_rows = entries; // share the entries' data: the next unchanged Show is instant
}

ListBox::ListBox(int rowHeight, QWidget* parent)
    : QListView(parent)
    , m_rows(new ListRows(rowHeight, this))
{
    setModel(m_rows);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) {
            if (!m_showing)
                Q_EMIT CurrentRowChanged(current.isValid() ? current.row() : -1);
        });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
        [this] { Q_EMIT SelectionChanged(); });
    connect(this, &QListView::clicked, this,
        [this](const QModelIndex& index) { Q_EMIT RowClicked(index.row()); });
}

void ListBox::Show(const QStringList& entries, int selected)
{
    m_showing = true;
    m_rows->Replace(entries);
    if (selected >= 0 && selected < Count()) {
        if (CurrentRow() != selected || !selectionModel()->isSelected(currentIndex()))
            setCurrentIndex(m_rows->index(selected));
    } else if (currentIndex().isValid() || selectionModel()->hasSelection()) {
        selectionModel()->clear();
    }
    m_showing = false;
}

int ListBox::CurrentRow() const
{
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

QString ListBox::SelectedText() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? Text(current.row())
                                                                      : QString();
}

QRect ListBox::RowRect(int row) const
{
    return visualRect(m_rows->index(row));
}

} // namespace aquarium

#include "ui/widgets/file_list_box.h"

#include "core/platform/files.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

namespace aquarium {

FileListBox::FileListBox(const Files& files, QString masks, QWidget* parent, int rowHeight)
    : ListBox(rowHeight, parent), m_files(files), m_masks(std::move(masks))
{
}

void FileListBox::SetDirectory(const QString& windowsFolder)
{
    m_folder = windowsFolder;
    Show(m_files.ListFiles(windowsFolder, m_masks), -1);
}

void FileListBox::Relist()
{
    const QString selected = SelectedName();
    const int scrolled = verticalScrollBar()->value();
    const QStringList names = m_files.ListFiles(m_folder, m_masks);
    Show(names, selected.isEmpty() ? -1 : int(names.indexOf(selected)));
    verticalScrollBar()->setValue(scrolled);
}

QString FileListBox::SelectedName() const
{
    return SelectedText();
}

void FileListBox::mousePressEvent(QMouseEvent* event)
{
    ListBox::mousePressEvent(event);
    const QModelIndex pressed = indexAt(event->position().toPoint());
    m_pressed = event->button() == Qt::LeftButton && pressed.isValid();
    m_pressedRow = pressed.isValid() ? pressed.row() : -1;
    m_dragging = false;
    m_pressPosition = event->position().toPoint();
}

void FileListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed && (event->buttons() & Qt::LeftButton)) {
        if (!m_dragging
            && (event->position().toPoint() - m_pressPosition).manhattanLength()
                       >= QApplication::startDragDistance()) {
            m_dragging = true;
            viewport()->setCursor(Qt::DragCopyCursor);
        }
        if (m_dragging)
            return; // the selection stays on the file being dragged
    }
    ListBox::mouseMoveEvent(event);
}

void FileListBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool dropped = m_dragging;
    m_pressed = false;
    m_dragging = false;
    viewport()->unsetCursor();
    ListBox::mouseReleaseEvent(event);
    if (!dropped || m_pressedRow < 0)
        return;
    // The file dragged is the one pressed, whether it was selected before or not, and it
    // stays selected (a release on a selected row would unselect it).
    const QString name = Text(m_pressedRow);
    setCurrentIndex(model()->index(m_pressedRow, 0));
    const QPoint global = viewport()->mapToGlobal(event->position().toPoint());
    for (const DropHandler& handler : m_dropHandlers) {
        if (handler(*this, name, global))
            break;
    }
}

} // namespace aquarium

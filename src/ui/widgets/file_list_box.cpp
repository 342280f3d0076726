#include "ui/widgets/file_list_box.h"

#include "core/platform/files.h"

#include <QApplication>
#include <QMouseEvent>

namespace aquarium {

FileListBox::FileListBox(const Files& files, QString masks, QWidget* parent)
    : QListWidget(parent), m_files(files), m_masks(std::move(masks))
{
}

void FileListBox::SetDirectory(const QString& windowsFolder)
{
    m_folder = windowsFolder;
    clear();
    addItems(m_files.ListFiles(windowsFolder, m_masks));
}

QString FileListBox::SelectedName() const
{
    const QListWidgetItem* item = currentItem();
    return (item && item->isSelected()) ? item->text() : QString();
}

void FileListBox::mousePressEvent(QMouseEvent* event)
{
    QListWidget::mousePressEvent(event);
    m_pressed = event->button() == Qt::LeftButton && itemAt(event->position().toPoint());
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
    QListWidget::mouseMoveEvent(event);
}

void FileListBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool dropped = m_dragging;
    m_pressed = false;
    m_dragging = false;
    viewport()->unsetCursor();
    QListWidget::mouseReleaseEvent(event);
    if (!dropped)
        return;
    const QPoint global = viewport()->mapToGlobal(event->position().toPoint());
    for (const DropHandler& handler : m_dropHandlers) {
        if (handler(*this, global))
            break;
    }
}

QStringList FileListBox::Names() const
{
    QStringList names;
    for (int i = 0; i < count(); ++i)
        names << item(i)->text();
    return names;
}

} // namespace aquarium

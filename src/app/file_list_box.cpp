#include "app/file_list_box.h"

#include "platform/files.h"

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

QStringList FileListBox::Names() const
{
    QStringList names;
    for (int i = 0; i < count(); ++i)
        names << item(i)->text();
    return names;
}

} // namespace aquarium

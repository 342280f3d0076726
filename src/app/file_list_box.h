#pragma once

#include <QListWidget>

namespace aquarium {

class Files;

// A list of the files of one folder that match a mask ("*.bmp", "*.mid;*.rmi"), sorted by
// name, shown without folder. Pointing it at another folder lists that folder.
class FileListBox : public QListWidget
{
    Q_OBJECT
public:
    FileListBox(const Files& files, QString masks, QWidget* parent);

    // Lists folder (a Windows path) anew.
    void SetDirectory(const QString& windowsFolder);
    const QString& Directory() const { return m_folder; }
    // The selected file name, or empty when none.
    [[nodiscard]] QString SelectedName() const;
    [[nodiscard]] QStringList Names() const;

private:
    const Files& m_files;
    QString m_masks;
    QString m_folder;
};

} // namespace aquarium

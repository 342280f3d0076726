#pragma once

#include "ui/widgets/list_box.h"

#include <functional>
#include <vector>

namespace aquarium {

class Files;

// A list of the files of one folder that match a mask ("*.bmp", "*.mid;*.rmi"), sorted by
// name, shown without folder. Pointing it at another folder lists that folder.
class FileListBox : public ListBox
{
    Q_OBJECT
public:
    // rowHeight: pixels per row, or 0 for the height the font gives.
    FileListBox(const Files& files, QString masks, QWidget* parent, int rowHeight = 0);

    // Lists folder (a Windows path) anew.
    void SetDirectory(const QString& windowsFolder);
    // Lists its folder again (another program changed it), keeping the selected file and
    // the scroll position when the file is still there. Emits nothing.
    void Relist();
    const QString& Directory() const { return m_folder; }
    // The selected file name, or empty when none.
    [[nodiscard]] QString SelectedName() const;
    [[nodiscard]] QStringList Names() const { return Entries(); }

    // Dragging a file starts when an item is pressed and the pointer moves; on release the
    // handlers are asked in turn, with the file and the release point on the screen, until
    // one takes it.
    using DropHandler =
            std::function<bool(FileListBox& source, const QString& fileName, QPoint globalPosition)>;
    void OnDrop(DropHandler handler) { m_dropHandlers.push_back(std::move(handler)); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const Files& m_files;
    QString m_masks;
    QString m_folder;
    std::vector<DropHandler> m_dropHandlers;
    QPoint m_pressPosition;
    bool m_pressed = false;
    int m_pressedRow = -1;
    bool m_dragging = false;
};

} // namespace aquarium

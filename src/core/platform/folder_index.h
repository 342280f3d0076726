#pragma once

#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <unordered_map>

namespace aquarium {

// One listing per host folder, its names compared without regard to case, kept while the
// folder's modification time is unchanged: every lookup of a name in another letter case
// and every file list of the program reads it instead of listing the folder again.
// A listing taken within the coarsest file-system clock tick (2 seconds, FAT's) of the
// folder's last change is not trusted, so a change that left the time as it was is never
// missed; a notification can forget a listing at once. Safe across threads.
class FolderIndex
{
public:
    struct Listing
    {
        QStringList Files; // sorted without regard to case, as the program shows them
        QStringList Folders; // likewise, without "." and ".."
        QSet<QString> Names; // every entry as on disk
        QHash<QString, QString> ByLowerName; // every entry, lower-cased -> as on disk
    };

    // The entry of folder whose name equals name: name itself when it exists as written,
    // else the first entry that matches without regard to case; empty when none does.
    [[nodiscard]] QString Find(const QString& hostFolder, const QString& name) const;
    // The folder's listing; empty when it cannot be listed.
    [[nodiscard]] std::shared_ptr<const Listing> Of(const QString& hostFolder) const;
    // The folder changed (a notification says so): its listing is made anew when next asked.
    void Forget(const QString& hostFolder) const;

private:
    struct Kept
    {
        qint64 Modified = -1; // nanoseconds
        qint64 ListedAt = 0; // nanoseconds, the wall clock
        std::shared_ptr<const Listing> Entries;
    };
    mutable QMutex m_mutex;
    mutable std::unordered_map<QString, Kept> m_folders;
};

} // namespace aquarium

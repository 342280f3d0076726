#include "core/platform/folder_index.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QMutexLocker>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#else
#include <QFileInfo>
#endif

namespace aquarium {

namespace {

// Nanoseconds since the epoch of the folder's last change; -1 when it does not exist.
qint64 ModifiedOf(const QString& hostFolder)
{
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(hostFolder).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return -1;
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
#else
    const QFileInfo info(hostFolder);
    return info.isDir() ? info.lastModified().toMSecsSinceEpoch() * 1000000 : -1;
#endif
}

// How long after a change a listing must be taken to be trusted: more than the coarsest
// clock a file system stamps folders with (FAT's two seconds).
constexpr qint64 kSettledNs = 2'500'000'000;

void SortWithoutCase(QStringList& names)
{
    std::stable_sort(names.begin(), names.end(),
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
}

std::shared_ptr<const FolderIndex::Listing> List(const QString& hostFolder)
{
    auto listing = std::make_shared<FolderIndex::Listing>();
    QDirIterator it(
        hostFolder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        (it.fileInfo().isDir() ? listing->Folders : listing->Files) << name;
        listing->Names.insert(name);
    }
    SortWithoutCase(listing->Files);
    SortWithoutCase(listing->Folders);
    // Where several entries differ only in case, the first in sorted order is found.
    for (const QStringList* names : {&listing->Folders, &listing->Files}) {
        for (auto n = names->crbegin(); n != names->crend(); ++n)
            listing->ByLowerName.insert(n->toLower(), *n);
    }
    return listing;
}

} // namespace

std::shared_ptr<const FolderIndex::Listing> FolderIndex::Of(const QString& hostFolder) const
{
    const qint64 modified = ModifiedOf(hostFolder);
    if (modified < 0)
        return std::make_shared<Listing>();
    {
        QMutexLocker lock(&m_mutex);
        const auto kept = m_folders.find(hostFolder);
        if (kept != m_folders.end() && kept->second.Modified == modified
            && kept->second.ListedAt - modified > kSettledNs)
            return kept->second.Entries;
    }
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000000;
    std::shared_ptr<const Listing> listing = List(hostFolder);
    QMutexLocker lock(&m_mutex);
    m_folders[hostFolder] = {modified, now, listing};
    return listing;
}

void FolderIndex::Forget(const QString& hostFolder) const
{
    QMutexLocker lock(&m_mutex);
    m_folders.erase(hostFolder);
}

QString FolderIndex::Find(const QString& hostFolder, const QString& name) const
{
    const std::shared_ptr<const Listing> listing = Of(hostFolder);
    if (listing->Names.contains(name))
        return name;
    const QString exact = hostFolder + (hostFolder.endsWith(u'/') ? "" : "/") + name;
    if (listing->Names.isEmpty() && QFile::exists(exact))
        return name; // a folder that cannot be listed may still be entered
    return listing->ByLowerName.value(name.toLower());
}

} // namespace aquarium

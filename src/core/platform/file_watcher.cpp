#include "core/platform/file_watcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace aquarium {

FileWatcher::FileWatcher(PathMap paths, int coalesceMs, QObject* parent)
    : QObject(parent), m_paths(std::move(paths))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(coalesceMs);
    connect(&m_timer, &QTimer::timeout, this, &FileWatcher::Report);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileWatcher::Noted);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileWatcher::Noted);
}

FileWatcher::Look FileWatcher::LookAt(const QString& hostPath) const
{
    Look look;
#ifdef Q_OS_UNIX
    struct stat info;
    if (::stat(QFile::encodeName(hostPath).constData(), &info) != 0)
        return look;
    look.Exists = true;
    look.Size = S_ISDIR(info.st_mode) ? -1 : qint64(info.st_size);
    look.Modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    look.Identity = quint64(info.st_ino);
#else
    const QFileInfo info(hostPath);
    if (!info.exists())
        return look;
    look.Exists = true;
    look.Size = info.isDir() ? -1 : info.size();
    look.Modified = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return look;
}

void FileWatcher::Watch(const QStringList& folders, const QStringList& files)
{
    if (folders == m_folders && files == m_files)
        return;
    m_folders = folders;
    m_files = files;
    QHash<QString, QString> byHost;
    const auto host = [this](const QString& windows) {
        const QString path = m_paths.ToHost(windows);
        return path.isEmpty() ? path : QDir::cleanPath(path);
    };
    for (const QString& folder : folders) {
        if (const QString h = host(folder); !h.isEmpty())
            byHost.insert(h, folder);
    }
    for (const QString& file : files) {
        if (const QString h = host(file); !h.isEmpty())
            byHost.insert(h, file);
    }
    // What is no longer wanted goes; what is new is looked at now, to compare with later.
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    QStringList gone;
    for (const QString& path : watched) {
        if (!byHost.contains(path))
            gone << path;
    }
    if (!gone.isEmpty())
        m_watcher.removePaths(gone);
    QHash<QString, Look> seen;
    for (auto it = byHost.cbegin(); it != byHost.cend(); ++it)
        seen.insert(it.key(), m_seen.contains(it.key()) ? m_seen.value(it.key()) : LookAt(it.key()));
    m_byHost = std::move(byHost);
    m_seen = std::move(seen);
    m_pending.clear();
    Arm();
}

void FileWatcher::Arm()
{
    // The folders that hold the watched files are watched too: a file created, removed or
    // replaced by renaming shows there, whatever happened to its own watch.
    QSet<QString> wanted;
    for (auto it = m_byHost.cbegin(); it != m_byHost.cend(); ++it) {
        wanted.insert(it.key());
        wanted.insert(QFileInfo(it.key()).absolutePath());
    }
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    QStringList add;
    for (const QString& path : wanted) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            add << path;
    }
    m_unwatched.clear();
    if (!add.isEmpty()) {
        for (const QString& failed : m_watcher.addPaths(add))
            m_unwatched.insert(failed);
    }
    for (auto it = m_byHost.cbegin(); it != m_byHost.cend(); ++it) {
        if (!QFileInfo::exists(it.key()))
            m_unwatched.insert(it.key());
    }
}

void FileWatcher::Noted(const QString& hostPath)
{
    m_pending.insert(QDir::cleanPath(hostPath));
    m_timer.start(); // again: the report waits for the changes to stop
}

void FileWatcher::Report()
{
    QStringList folders, files;
    QSet<QString> checked;
    const auto compare = [&](const QString& path, bool evidence) {
        if (checked.contains(path) || !m_byHost.contains(path))
            return;
        checked.insert(path);
        const Look now = LookAt(path);
        const bool folder = m_folders.contains(m_byHost.value(path));
        // A file that says it changed did, whatever its time says: file systems with a
        // coarse clock keep the time of a file rewritten within the same tick.
        if (now == m_seen.value(path) && !(evidence && !folder))
            return;
        m_seen.insert(path, now);
        (folder ? folders : files) << m_byHost.value(path);
    };
    const QSet<QString> pending = std::exchange(m_pending, {});
    for (const QString& path : pending) {
        if (m_byHost.contains(path)) {
            const bool folder = m_folders.contains(m_byHost.value(path));
            if (folder) {
                checked.insert(path);
                m_seen.insert(path, LookAt(path));
                folders << m_byHost.value(path);
            } else {
                compare(path, true);
            }
        }
        // What a folder's change may mean for the files watched in it.
        for (auto it = m_byHost.cbegin(); it != m_byHost.cend(); ++it) {
            if (QFileInfo(it.key()).absolutePath() == path)
                compare(it.key(), false);
        }
    }
    Arm();
    if (!folders.isEmpty() || !files.isEmpty())
        Q_EMIT Changed(folders, files);
}

void FileWatcher::CheckNow(bool all)
{
    for (auto it = m_byHost.cbegin(); it != m_byHost.cend(); ++it) {
        if (all || m_unwatched.contains(it.key())
            || m_unwatched.contains(QFileInfo(it.key()).absolutePath())) {
            if (LookAt(it.key()) != m_seen.value(it.key()))
                m_pending.insert(it.key());
        }
    }
    if (!m_pending.isEmpty())
        Report();
}

} // namespace aquarium

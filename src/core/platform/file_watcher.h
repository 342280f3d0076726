#pragma once

#include "core/platform/windows_path.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

namespace aquarium {

// The one watch the program keeps over other programs' changes: one QFileSystemWatcher
// (each costs an inotify instance, and users have few) over the folders whose entries the
// file lists show and the files whose contents the program shows or holds open. Changes
// are reported together, a while after the last one; a file another program replaced by
// renaming a new one over it is watched again. Where no watch can be had (the system's
// limit, a file system without notification), CheckNow compares what it saw last with
// what is there, when the window becomes active again. Nothing is polled.
class FileWatcher : public QObject
{
    Q_OBJECT
public:
    static constexpr int kCoalesceMs = 200;

    explicit FileWatcher(PathMap paths, int coalesceMs = kCoalesceMs, QObject* parent = nullptr);

    // What to watch, as Windows paths: replaces what was watched before. A file that does
    // not exist is watched from the moment its folder shows it.
    void Watch(const QStringList& folders, const QStringList& files);
    // Reports what changed since it last looked at the paths no notification covers (all of
    // them when all is set).
    void CheckNow(bool all = false);

    [[nodiscard]] const QStringList& Folders() const { return m_folders; }
    [[nodiscard]] const QStringList& Files() const { return m_files; }

Q_SIGNALS:
    // The folders whose entries changed and the files that changed (written, replaced,
    // removed or created), Windows paths as they were given to Watch.
    void Changed(const QStringList& folders, const QStringList& files);

private:
    // What a path looked like: whether it exists, its size, time and identity.
    struct Look
    {
        bool Exists = false;
        qint64 Size = -1;
        qint64 Modified = -1; // nanoseconds
        quint64 Identity = 0; // the inode: a file replaced by another is another
        bool operator==(const Look&) const = default;
    };
    [[nodiscard]] Look LookAt(const QString& hostPath) const;
    void Noted(const QString& hostPath);
    void Report();
    void Arm();

    PathMap m_paths;
    QFileSystemWatcher m_watcher;
    QTimer m_timer;
    QStringList m_folders, m_files;     // Windows paths
    QHash<QString, QString> m_byHost;   // host path -> Windows path
    QHash<QString, Look> m_seen;        // host path -> what it looked like last
    QSet<QString> m_pending;            // host paths with news
    QSet<QString> m_unwatched;          // host paths no notification covers
};

} // namespace aquarium

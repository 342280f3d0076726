#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace aquarium {

// Where recovery copies of unsaved work live: under a base folder (the user's
// $XDG_DATA_HOME/aquarium-maker/recovery), one folder per running instance, held by a lock
// for the instance's life. Files in it are written atomically. A folder whose lock is
// stale belongs to an instance that ended without removing it: an orphan. Folders that
// cannot be read are set aside in damaged/, never deleted. Host paths throughout.
class RecoveryStore
{
public:
    explicit RecoveryStore(QString baseFolder);
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    // The user's recovery folder.
    [[nodiscard]] static QString DefaultBase();

    // A file of this instance's copy (its folder made and locked on first use). Errors
    // throw as every write does.
    void Write(const QString& name, const QByteArray& bytes);
    // A file of this instance's copy goes, or the whole copy.
    void RemoveFile(const QString& name);
    void Remove();
    [[nodiscard]] bool HasCopy() const { return m_written; }
    [[nodiscard]] const QString& Folder() const { return m_folder; }

    // The copies of instances that no longer run, newest first. The copies of running
    // instances are never among them.
    [[nodiscard]] QStringList Orphans() const;
    // A file of a copy; nothing when it is not there or cannot be read.
    [[nodiscard]] static std::optional<QByteArray> Read(const QString& folder, const QString& name);
    // A copy the user let go, or one that cannot be read: removed, or moved into damaged/
    // under its name (the new path is returned).
    static void Discard(const QString& folder);
    [[nodiscard]] QString SetAside(const QString& folder) const;

private:
    QString m_base;
    QString m_folder; // this instance's, once made
    std::unique_ptr<QLockFile> m_lock;
    bool m_written = false;
};

} // namespace aquarium

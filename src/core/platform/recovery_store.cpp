#include "core/platform/recovery_store.h"

#include "core/platform/platform_error.h"
#include "core/platform/text_file.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>

namespace aquarium {

namespace {

const QString kLockName = QStringLiteral("lock");
const QString kDamaged = QStringLiteral("damaged");

} // namespace

RecoveryStore::RecoveryStore(QString baseFolder) : m_base(std::move(baseFolder)) { }

RecoveryStore::~RecoveryStore()
{
    if (m_lock)
        m_lock->unlock(); // the copy stays when it was not removed: an orphan to offer
}

QString RecoveryStore::DefaultBase()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/aquarium-maker/recovery");
}

void RecoveryStore::Write(const QString& name, const QByteArray& bytes)
{
    if (m_folder.isEmpty()) {
        const QString id = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid())
                               .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        const QString folder = m_base + u'/' + id;
        if (!QDir().mkpath(folder))
            throw PlatformError::CannotCreate(folder);
        auto lock = std::make_unique<QLockFile>(folder + u'/' + kLockName);
        if (!lock->tryLock(0))
            throw PlatformError::CannotCreate(folder + u'/' + kLockName);
        m_folder = folder;
        m_lock = std::move(lock);
    }
    WriteHostFileAtomic(m_folder + u'/' + name, bytes, m_folder + u'/' + name);
    m_written = true;
}

void RecoveryStore::RemoveFile(const QString& name)
{
    if (!m_folder.isEmpty())
        QFile::remove(m_folder + u'/' + name);
}

void RecoveryStore::Remove()
{
    if (m_folder.isEmpty())
        return;
    m_lock->unlock();
    m_lock.reset();
    QDir(m_folder).removeRecursively();
    m_folder.clear();
    m_written = false;
}

QStringList RecoveryStore::Orphans() const
{
    struct Found
    {
        QString Folder;
        QDateTime Time;
    };
    std::vector<Found> found;
    const QDir base(m_base);
    for (const QFileInfo& entry : base.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = entry.absoluteFilePath();
        if (entry.fileName() == kDamaged || folder == m_folder)
            continue;
        // A lock that can be taken belongs to no running instance.
        QLockFile lock(folder + u'/' + kLockName);
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        found.push_back({folder, entry.lastModified()});
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.Time > b.Time; });
    QStringList folders;
    for (const Found& f : found)
        folders << f.Folder;
    return folders;
}

std::optional<QByteArray> RecoveryStore::Read(const QString& folder, const QString& name)
{
    const QString path = folder + u'/' + name;
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    try {
        return ReadHostFile(path, path, qint64(64) << 20);
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

void RecoveryStore::Discard(const QString& folder)
{
    QDir(folder).removeRecursively();
}

QString RecoveryStore::SetAside(const QString& folder) const
{
    const QString damaged = m_base + u'/' + kDamaged;
    QDir().mkpath(damaged);
    QString target = damaged + u'/' + QFileInfo(folder).fileName();
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = damaged + u'/' + QFileInfo(folder).fileName() + QStringLiteral("-%1").arg(n);
    QDir().rename(folder, target);
    return target;
}

} // namespace aquarium

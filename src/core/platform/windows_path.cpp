#include "core/platform/windows_path.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace aquarium {

namespace {

QString CleanHostFolder(const QString& path)
{
    QString clean = QDir::cleanPath(path);
    if (clean.size() > 1 && clean.endsWith(u'/'))
        clean.chop(1);
    return clean;
}

} // namespace

PathMap PathMap::FromEnvironment()
{
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::homePath() + QStringLiteral("/.wine");
    return PathMap(prefix);
}

PathMap::PathMap(const QString& prefixFolder)
    : m_prefix(prefixFolder), m_index(std::make_shared<FolderIndex>())
{
#ifndef Q_OS_WIN
    const QDir devices(prefixFolder + QStringLiteral("/dosdevices"));
    const QFileInfoList entries = devices.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                        | QDir::System | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name.size() != 2 || name[1] != u':' || !name[0].isLetter())
            continue;
        const QString target = entry.canonicalFilePath();
        if (target.isEmpty() || !QFileInfo(target).isDir())
            continue;
        m_drives[name[0].toUpper()] = CleanHostFolder(target);
    }
    if (m_drives.find(u'Z') == m_drives.end())
        m_drives[u'Z'] = QStringLiteral("/");
    m_uncFolder = CleanHostFolder(QFileInfo(prefixFolder).absoluteFilePath()
                                  + QStringLiteral("/dosdevices/unc"));
#endif
}

bool PathMap::IsAbsolute(const QString& windowsPath)
{
    return (windowsPath.size() >= 2 && windowsPath[1] == u':' && windowsPath[0].isLetter())
           || IsUnc(windowsPath);
}

bool PathMap::IsUnc(const QString& windowsPath)
{
    return windowsPath.startsWith(QStringLiteral("\\\\"));
}

namespace {

const QRegularExpression& Separators()
{
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    return separators;
}

// The components of a path below its root, with "." dropped and ".." applied.
QStringList Components(const QString& rest)
{
    QStringList parts;
    for (const QString& component : rest.split(Separators(), Qt::SkipEmptyParts)) {
        if (component == u".")
            continue;
        if (component == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts << component;
    }
    return parts;
}

// The root of a Windows path: "C:" or "\\server\share".
QString RootOf(const QString& path)
{
    if (!PathMap::IsUnc(path))
        return path.left(2);
    const QStringList parts = path.mid(2).split(Separators(), Qt::SkipEmptyParts);
    return QStringLiteral("\\\\") + parts.mid(0, 2).join(u'\\');
}

} // namespace

QString PathMap::ToHost(const QString& windowsPath, const QString& currentFolder) const
{
    QString path = windowsPath;
    if (!IsAbsolute(path)) {
        if (currentFolder.isEmpty())
            return QString();
        QString base = currentFolder;
        if (!base.endsWith(u'\\'))
            base += u'\\';
        path = path.startsWith(u'\\') ? RootOf(base) + path : base + path;
    }
#ifdef Q_OS_WIN
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
#else
    QString host;
    QStringList parts;
    if (IsUnc(path)) {
        // \\server\share\... lies in <prefix>/dosdevices/unc/server/share/..., as in Wine.
        parts = path.mid(2).split(Separators(), Qt::SkipEmptyParts);
        if (parts.size() < 2)
            return QString();
        host = m_uncFolder;
        parts = parts.mid(0, 2) + Components(parts.mid(2).join(u'/'));
    } else {
        const auto drive = m_drives.find(path[0].toUpper());
        if (drive == m_drives.end())
            return QString();
        host = drive->second;
        parts = Components(path.mid(2));
    }
    for (const QString& part : parts) {
        const QString entry = m_index->Find(host, part);
        host += (host.endsWith(u'/') ? "" : "/") + (entry.isEmpty() ? part : entry);
    }
    return host;
#endif
}

QString PathMap::ToWindows(const QString& hostPath) const
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(QDir::cleanPath(hostPath));
#else
    // Drives are matched on the path as given, as Wine does: a folder reached through a
    // link inside a drive keeps its name on that drive. Walking up from the path itself,
    // the first folder that is a drive's folder (the same folder on disk) names the drive.
    const QString host = QDir::cleanPath(QFileInfo(hostPath).absoluteFilePath());
    std::map<QString, QChar> byTarget; // the first letter wins where several share a folder
    for (const auto& [letter, target] : m_drives)
        byTarget.emplace(target, letter);

    const auto canonical = [](const QString& path) { return QFileInfo(path).canonicalFilePath(); };
    const auto parentOf = [](const QString& path) { return QFileInfo(path).absolutePath(); };
    const QString uncFolder = canonical(m_uncFolder);

    QChar drive = u'Z';
    QString rest = host; // outside every drive: written on Z: as it stands
    for (QString folder = host;; folder = parentOf(folder)) {
        const QString real = canonical(folder);
        if (const auto found = byTarget.find(real); !real.isEmpty() && found != byTarget.end()) {
            drive = found->second;
            rest = host.mid(folder.size());
            break;
        }
        // <prefix>/dosdevices/unc/server/share is the share \\server\share.
        const QString server = parentOf(folder);
        if (!uncFolder.isEmpty() && !real.isEmpty() && server != folder
            && parentOf(server) != server && canonical(parentOf(server)) == uncFolder) {
            QString unc = QStringLiteral("\\\\") + QFileInfo(server).fileName() + u'\\'
                          + QFileInfo(folder).fileName() + host.mid(folder.size());
            return unc.replace(u'/', u'\\');
        }
        if (folder == u"/" || folder.isEmpty())
            break;
    }
    if (!rest.startsWith(u'/'))
        rest.prepend(u'/');
    rest.replace(u'/', u'\\');
    return QString(drive) + u':' + rest;
#endif
}

QString PathMap::ArgumentToWindows(const QString& hostPath) const
{
    return ToWindows(QFileInfo(hostPath).absoluteFilePath());
}

QString PathMap::WindowsFolder() const
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(qEnvironmentVariable("WINDIR", QStringLiteral("C:\\Windows")));
#else
    return QStringLiteral("C:\\windows");
#endif
}

} // namespace aquarium

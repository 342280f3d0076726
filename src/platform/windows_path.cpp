#include "platform/windows_path.h"

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

// The entry of folder whose name equals name without regard to case; name itself when
// there is an exact match or none at all.
QString FindEntry(const QString& folder, const QString& name)
{
    const QString exact = folder + (folder.endsWith(u'/') ? "" : "/") + name;
    if (QFileInfo::exists(exact))
        return name;
    const QStringList entries =
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return name;
}

} // namespace

PathMap PathMap::FromEnvironment()
{
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::homePath() + QStringLiteral("/.wine");
    return PathMap(prefix);
}

PathMap::PathMap(const QString& prefixFolder) : m_prefix(prefixFolder)
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
#endif
}

bool PathMap::IsAbsolute(const QString& windowsPath)
{
    return windowsPath.size() >= 2 && windowsPath[1] == u':' && windowsPath[0].isLetter();
}

QString PathMap::ToHost(const QString& windowsPath, const QString& currentFolder) const
{
    QString path = windowsPath;
    if (!IsAbsolute(path)) {
        if (currentFolder.isEmpty())
            return QString();
        QString base = currentFolder;
        if (!base.endsWith(u'\\'))
            base += u'\\';
        path = path.startsWith(u'\\') ? base.left(2) + path : base + path;
    }
#ifdef Q_OS_WIN
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
#else
    const auto drive = m_drives.find(path[0].toUpper());
    if (drive == m_drives.end())
        return QString();
    QStringList parts;
    const QStringList components = path.mid(2).split(QRegularExpression(QStringLiteral("[\\\\/]")),
                                                     Qt::SkipEmptyParts);
    for (const QString& component : components) {
        if (component == u".")
            continue;
        if (component == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts << component;
    }
    QString host = drive->second;
    for (const QString& part : parts) {
        const QString entry = FindEntry(host, part);
        host += (host.endsWith(u'/') ? "" : "/") + entry;
    }
    return host;
#endif
}

QString PathMap::ToWindows(const QString& hostPath) const
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(QDir::cleanPath(hostPath));
#else
    QString host = QFileInfo(hostPath).absoluteFilePath();
    const QString canonical = QFileInfo(host).canonicalFilePath();
    if (!canonical.isEmpty())
        host = canonical;
    else {
        // A file not yet written: resolve its folder, keep its name.
        const QFileInfo info(host);
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        if (!folder.isEmpty())
            host = folder + (folder.endsWith(u'/') ? "" : "/") + info.fileName();
    }
    host = QDir::cleanPath(host);

    QChar bestDrive = u'Z';
    qsizetype bestLength = -1;
    for (const auto& [letter, target] : m_drives) {
        const bool inside = target == u"/" || host == target
                            || host.startsWith(target + u'/');
        if (inside && target.size() > bestLength) {
            bestDrive = letter;
            bestLength = target.size();
        }
    }
    QString rest = host;
    if (bestLength > 1)
        rest = host.mid(bestLength);
    else if (bestLength < 0)
        rest = host; // outside every drive: written on Z: as it stands
    if (!rest.startsWith(u'/'))
        rest.prepend(u'/');
    rest.replace(u'/', u'\\');
    return QString(bestDrive) + u':' + rest;
#endif
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

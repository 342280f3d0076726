#include "core/platform/files.h"

#include "core/platform/platform_error.h"
#include "core/platform/text_file.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>

#include <algorithm>

namespace aquarium {

namespace {

void SortWithoutCase(QStringList& names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

} // namespace

QString Files::ToHost(const QString& windowsPath) const
{
    if (PathMap::IsAbsolute(windowsPath))
        return m_paths.ToHost(windowsPath);
    return m_paths.ToHost(windowsPath, CurrentFolder());
}

bool Files::FileExists(const QString& windowsPath) const
{
    if (windowsPath.isEmpty())
        return false;
    const QFileInfo info(ToHost(windowsPath));
    return !info.filePath().isEmpty() && info.exists() && !info.isDir();
}

bool Files::FolderExists(const QString& windowsPath) const
{
    if (windowsPath.isEmpty())
        return false;
    const QFileInfo info(ToHost(windowsPath));
    return !info.filePath().isEmpty() && info.isDir();
}

bool Files::SameFile(const QString& a, const QString& b) const
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (a.compare(b, Qt::CaseInsensitive) == 0)
        return true;
    const auto canonical = [this](const QString& windowsPath) {
        const QFileInfo info(ToHost(windowsPath));
        if (info.filePath().isEmpty())
            return QString();
        if (info.exists())
            return info.canonicalFilePath();
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        return folder.isEmpty() ? info.absoluteFilePath() : folder + u'/' + info.fileName();
    };
    const QString hostA = canonical(a);
    return !hostA.isEmpty() && hostA == canonical(b);
}

QStringList Files::ListFiles(const QString& windowsFolder, const QString& masks) const
{
    QList<QRegularExpression> patterns;
    for (const QString& mask : masks.split(u';', Qt::SkipEmptyParts)) {
        patterns << QRegularExpression(QRegularExpression::wildcardToRegularExpression(mask.trimmed()),
                                       QRegularExpression::CaseInsensitiveOption);
    }
    const QString host = ToHost(windowsFolder);
    if (host.isEmpty())
        return {};
    QStringList names;
    const QStringList entries = QDir(host).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        for (const QRegularExpression& pattern : patterns) {
            if (pattern.match(entry).hasMatch()) {
                names << entry;
                break;
            }
        }
    }
    SortWithoutCase(names);
    return names;
}

QStringList Files::ListFolders(const QString& windowsFolder) const
{
    const QString host = ToHost(windowsFolder);
    if (host.isEmpty())
        return {};
    QStringList names = QDir(host).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    SortWithoutCase(names);
    return names;
}

QStringList Files::ReadLines(const QString& windowsPath) const
{
    return SplitLines(DecodeShiftJis(ReadHostFile(ToHost(windowsPath), windowsPath,
                                                  kMaxTextFileBytes)),
                      false);
}

QStringList Files::ReadListFile(const QString& windowsPath) const
{
    return SplitLines(DecodeShiftJis(ReadHostFile(ToHost(windowsPath), windowsPath,
                                                  kMaxTextFileBytes)),
                      true);
}

void Files::WriteLines(const QString& windowsPath, const QStringList& lines) const
{
    (void)EncodeShiftJis(windowsPath);
    const QByteArray bytes = JoinLinesCrLf(lines);
    WriteHostFileAtomic(ToHost(windowsPath), bytes, windowsPath);
}

QImage Files::LoadPicture(const QString& windowsPath) const
{
    const QString host = ToHost(windowsPath);
    const QFileInfo info(host);
    if (host.isEmpty() || !info.isFile())
        throw PlatformError::CannotOpen(windowsPath);
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    for (auto it = m_pictureCache.begin(); it != m_pictureCache.end(); ++it) {
        if (it->HostPath == host && it->Size == info.size() && it->Modified == modified) {
            std::rotate(m_pictureCache.begin(), it, it + 1); // most recent first
            return m_pictureCache.front().Picture;
        }
    }
    QImageReader reader(host, "bmp");
    reader.setAllocationLimit(kPictureAllocationLimitMb);
    // A top-down picture reports its height negative; Qt reads it the right way up.
    const QSize size = reader.size();
    const qint64 height = qAbs(qint64(size.height()));
    if (size.width() <= 0 || height == 0 || size.width() > kMaxPictureSide
        || height > kMaxPictureSide)
        throw PlatformError::InvalidBitmap();
    QImage image = reader.read();
    if (image.isNull() || image.size() != QSize(size.width(), int(height)))
        throw PlatformError::InvalidBitmap();
    image = image.convertToFormat(QImage::Format_RGB32);
    m_pictureCache.insert(m_pictureCache.begin(), {host, info.size(), modified, image});
    if (m_pictureCache.size() > kPictureCacheSize)
        m_pictureCache.pop_back();
    return image;
}

void Files::SavePng(const QString& hostPath, const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        throw PlatformError::IoError(kIoErrorWriteFault);
    WriteHostFileAtomic(hostPath, bytes, hostPath);
}

QString Files::CurrentFolder() const
{
    QString folder = m_paths.ToWindows(QDir::currentPath());
    if (folder.size() > 3 && folder.endsWith(u'\\'))
        folder.chop(1);
    return folder;
}

void Files::SetCurrentFolder(const QString& windowsFolder) const
{
    const QString host = m_paths.ToHost(windowsFolder, CurrentFolder());
    if (!host.isEmpty())
        QDir::setCurrent(host);
}

} // namespace aquarium

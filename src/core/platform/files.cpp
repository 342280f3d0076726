#include "core/platform/files.h"

#include "core/platform/bmp_reader.h"
#include "core/platform/platform_error.h"
#include "core/platform/text_file.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>

#include <algorithm>
#include <atomic>
#include <list>
#include <optional>
#include <thread>

namespace aquarium {

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
    // The listing is shared with the index; hold it while walking its names.
    const auto listing = m_paths.Index().Of(host);
    QStringList names;
    for (const QString& entry : listing->Files) {
        for (const QRegularExpression& pattern : patterns) {
            if (pattern.match(entry).hasMatch()) {
                names << entry;
                break;
            }
        }
    }
    return names;
}

QStringList Files::ListFolders(const QString& windowsFolder) const
{
    const QString host = ToHost(windowsFolder);
    if (host.isEmpty())
        return {};
    return m_paths.Index().Of(host)->Folders;
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

QByteArray Files::ReadBytes(const QString& windowsPath, qint64 maxBytes) const
{
    return ReadHostFile(ToHost(windowsPath), windowsPath, maxBytes);
}

void Files::WriteLines(const QString& windowsPath, const QStringList& lines) const
{
    (void)EncodeShiftJis(windowsPath);
    const QByteArray bytes = JoinLinesCrLf(lines);
    WriteHostFileAtomic(ToHost(windowsPath), bytes, windowsPath);
}

// The kept pictures, the most recent first, and the bytes they take.
struct Files::PictureCache
{
    struct Kept
    {
        PictureFile File;
        QImage Picture;
    };
    // A picture read within this long of its file's last change may have changed again
    // unseen (the file system's clock is coarse, FAT's ticks in 2 seconds): it is not kept.
    static constexpr qint64 kSettledMs = 2500;
    QMutex Mutex;
    std::list<Kept> Pictures;
    qint64 Bytes = 0;

    std::optional<QImage> Find(const PictureFile& file)
    {
        QMutexLocker lock(&Mutex);
        for (auto it = Pictures.begin(); it != Pictures.end(); ++it) {
            if (it->File.HostPath == file.HostPath && it->File.Size == file.Size
                && it->File.Modified == file.Modified) {
                Pictures.splice(Pictures.begin(), Pictures, it);
                return Pictures.front().Picture;
            }
        }
        return std::nullopt;
    }

    void Forget(const QString& hostPath)
    {
        QMutexLocker lock(&Mutex);
        for (auto it = Pictures.begin(); it != Pictures.end();) {
            if (it->File.HostPath == hostPath) {
                Bytes -= it->Picture.sizeInBytes();
                it = Pictures.erase(it);
            } else {
                ++it;
            }
        }
    }

    void Keep(const PictureFile& file, const QImage& picture)
    {
        const qint64 bytes = picture.sizeInBytes();
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        if (bytes > kMaxKeptPictureBytes || now - file.Modified <= kSettledMs)
            return;
        QMutexLocker lock(&Mutex);
        Pictures.push_front({file, picture});
        Bytes += bytes;
        while (Bytes > kPictureCacheBytes) {
            Bytes -= Pictures.back().Picture.sizeInBytes();
            Pictures.pop_back();
        }
    }
};

namespace {

// Decodes the picture file at host. Safe on any thread.
QImage DecodePictureFile(const QString& host, const QString& shownPath)
{
    QFile file;
    OpenRegularHostFile(file, host, shownPath);
    return Files::DecodePicture(file);
}

} // namespace

QImage Files::DecodePicture(QIODevice& file)
{
    if (std::optional<QImage> plain = ReadPlainBmp(file, Files::kMaxPictureSide,
                                                   qint64(Files::kPictureAllocationLimitMb) << 20))
        return *plain;
    if (!file.seek(0) || file.size() > Files::kMaxPictureFileBytes)
        throw PlatformError::InvalidBitmap();
    QByteArray bytes = file.readAll();
    // Qt's reader leaves the rows a short file lacks as the memory held them: a picture
    // whose pixels are not all in the file is refused.
    const std::optional<BmpLayout> layout = ReadBmpLayout(bytes);
    if (!layout || !layout->Complete || layout->Width > Files::kMaxPictureSide
        || layout->Height > Files::kMaxPictureSide)
        throw PlatformError::InvalidBitmap();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAllocationLimit(Files::kPictureAllocationLimitMb);
    const QSize size(layout->Width, layout->Height);
    QImage image;
    if (layout->RunLength) {
        // Qt reads runs into the picture it is given, as it is: what the codes skip
        // stays colour 0, as Windows shows it.
        image = QImage(size, QImage::Format_Indexed8);
        if (image.isNull())
            throw PlatformError::InvalidBitmap();
        image.fill(0);
    }
    if (!reader.read(&image) || image.size() != size)
        throw PlatformError::InvalidBitmap();
    return image.convertToFormat(QImage::Format_RGB32);
}

Files::Files(PathMap paths)
    : m_paths(std::move(paths)), m_pictures(std::make_shared<PictureCache>())
{
}

Files::PictureFile Files::Locate(const QString& windowsPath) const
{
    const QString host = ToHost(windowsPath);
    const QFileInfo info(host);
    if (host.isEmpty() || !info.isFile())
        throw PlatformError::CannotOpen(windowsPath);
    return {host, info.size(), info.lastModified().toMSecsSinceEpoch()};
}

QImage Files::Read(const PictureFile& file, const QString& windowsPath) const
{
    if (std::optional<QImage> kept = m_pictures->Find(file))
        return *kept;
    const QImage picture = DecodePictureFile(file.HostPath, windowsPath);
    m_pictures->Keep(file, picture);
    return picture;
}

QImage Files::LoadPicture(const QString& windowsPath) const
{
    return Read(Locate(windowsPath), windowsPath);
}

void Files::ForEachPicture(const QStringList& windowsPaths,
                           const std::function<void(int, const QImage&)>& use) const
{
    const int count = int(windowsPaths.size());
    // Paths are resolved here, on the caller's thread; only reading, decoding and use
    // run on the workers.
    std::vector<std::optional<PictureFile>> files(static_cast<size_t>(count));
    std::vector<std::optional<PlatformError>> errors(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        try {
            files[size_t(i)] = Locate(windowsPaths[i]);
        } catch (const PlatformError& error) {
            errors[size_t(i)] = error;
        }
    }
    std::atomic<int> next{0};
    const auto work = [&] {
        for (int i = next++; i < count; i = next++) {
            if (!files[size_t(i)])
                continue;
            try {
                use(i, Read(*files[size_t(i)], windowsPaths[i]));
            } catch (const PlatformError& error) {
                errors[size_t(i)] = error;
            } catch (const std::bad_alloc&) {
                errors[size_t(i)] = PlatformError::OutOfMemory();
            }
        }
    };
    const int workers = std::clamp(int(std::thread::hardware_concurrency()), 1, std::max(count, 1));
    std::vector<std::thread> threads;
    for (int w = 1; w < workers; ++w)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();
    for (const std::optional<PlatformError>& error : errors) {
        if (error)
            throw *error;
    }
}

Files::FileStamp Files::Stamp(const QString& windowsPath) const
{
    const QString host = ToHost(windowsPath);
    const QFileInfo info(host);
    if (host.isEmpty() || !info.isFile())
        return {};
    try {
        return {info.size(), info.lastModified().toMSecsSinceEpoch(),
                QCryptographicHash::hash(ReadHostFile(host, windowsPath, kMaxTextFileBytes),
                                         QCryptographicHash::Sha1)};
    } catch (const PlatformError&) {
        return {};
    }
}

void Files::Forget(const QStringList& windowsFolders, const QStringList& windowsFiles) const
{
    const FolderIndex& index = m_paths.Index();
    for (const QString& folder : windowsFolders) {
        const QString host = ToHost(folder);
        if (!host.isEmpty())
            index.Forget(QDir::cleanPath(host));
    }
    for (const QString& file : windowsFiles) {
        const QString host = ToHost(file);
        if (host.isEmpty())
            continue;
        index.Forget(QFileInfo(host).absolutePath());
        m_pictures->Forget(host);
    }
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

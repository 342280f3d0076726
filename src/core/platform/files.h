#pragma once

#include "core/platform/windows_path.h"

#include <QIODevice>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace aquarium {

// The file services the program uses, on Windows paths: existence tests, folder listings,
// text files (Shift-JIS, CR LF) and pictures. Every failure is a PlatformError.
class Files
{
public:
    explicit Files(PathMap paths);

    const PathMap& Paths() const { return m_paths; }
    [[nodiscard]] QString ToHost(const QString& windowsPath) const;

    [[nodiscard]] bool FileExists(const QString& windowsPath) const;
    [[nodiscard]] bool FolderExists(const QString& windowsPath) const;
    // Whether two Windows paths name the same file, existing or not (letter case, drives
    // that lead to one folder and links are seen through).
    [[nodiscard]] bool SameFile(const QString& a, const QString& b) const;

    // Names (without folder) of the files in folder matching one of the masks
    // ("*.bmp"; "*.mid;*.rmi"), compared without regard to case, sorted likewise.
    [[nodiscard]] QStringList ListFiles(const QString& windowsFolder,
                                        const QString& masks) const;
    // Names of the sub-folders of folder, without "." and "..", sorted without regard to case.
    [[nodiscard]] QStringList ListFolders(const QString& windowsFolder) const;

    // The lines of a data file (aquarium, fish character): Shift-JIS, any line ends.
    // Throws CannotOpen when the file cannot be read or is far too large for one.
    [[nodiscard]] QStringList ReadLines(const QString& windowsPath) const;
    // The lines of a list file: as ReadLines, but the text ends at a NUL character.
    [[nodiscard]] QStringList ReadListFile(const QString& windowsPath) const;
    // Replaces the file by the lines, each followed by CR LF, atomically. A path or a line
    // that Shift-JIS cannot hold throws CannotEncode before anything is written: the
    // screen saver could not open such a file.
    void WriteLines(const QString& windowsPath, const QStringList& lines) const;
    // The bytes of a regular file (a sound, a piece of music) of at most maxBytes.
    [[nodiscard]] QByteArray ReadBytes(const QString& windowsPath, qint64 maxBytes) const;

    // Loads a BMP picture as RGB32. Missing file: CannotOpen; anything that is not a
    // readable picture of sane size: InvalidBitmap. Pictures read are kept (see below).
    [[nodiscard]] QImage LoadPicture(const QString& windowsPath) const;
    // The picture in a device open for reading (a file, bytes in memory): the direct
    // reader for the common plain BMP files, Qt's reader for every other BMP whose pixels
    // are all there. Anything else throws InvalidBitmap. Safe on any thread.
    [[nodiscard]] static QImage DecodePicture(QIODevice& device);
    // Loads several pictures on the available cores and hands each to use(index, picture)
    // on the thread that loaded it, several at once: use must touch only what belongs to
    // its index. When pictures cannot be loaded, the error of the first of them in the
    // order given is thrown after all others were handed on.
    void ForEachPicture(const QStringList& windowsPaths,
                        const std::function<void(int, const QImage&)>& use) const;

    // What a file holds now, to tell later whether another program changed it: its size,
    // time (ms since the epoch) and a hash of its bytes; the hash is empty when the file
    // is not there or cannot be read.
    struct FileStamp
    {
        qint64 Size = -1;
        qint64 Modified = 0;
        QByteArray Hash;
    };
    [[nodiscard]] FileStamp Stamp(const QString& windowsPath) const;

    // Folders and files (Windows paths) that changed on disk: their listings and kept
    // pictures are made anew when next asked.
    void Forget(const QStringList& windowsFolders, const QStringList& windowsFiles) const;

    // Writes a picture as PNG to a host path (the command-line tool's output), atomically.
    static void SavePng(const QString& hostPath, const QImage& picture);

    // The process's current folder, in Windows form, without trailing backslash
    // (but "C:\" for a root).
    [[nodiscard]] QString CurrentFolder() const;
    void SetCurrentFolder(const QString& windowsFolder) const;
    [[nodiscard]] QString WindowsFolder() const { return m_paths.WindowsFolder(); }

    // Upper bounds on what a file may make the program read.
    static constexpr qint64 kMaxTextFileBytes = 16 * 1024 * 1024;
    static constexpr int kMaxPictureSide = 16384;
    static constexpr int kPictureAllocationLimitMb = 256;
    static constexpr qint64 kMaxPictureFileBytes = (qint64(kPictureAllocationLimitMb) + 1) << 20;
    // The pictures read last are kept, by host path, size and modification time, up to
    // this many bytes: a change of screen resolution scales them again without reading.
    // A picture larger than an eighth of it is not kept.
    static constexpr qint64 kPictureCacheBytes = qint64(256) << 20;
    static constexpr qint64 kMaxKeptPictureBytes = kPictureCacheBytes / 8;

private:
    struct PictureCache;
    // Where a picture is on the host and when it last changed, looked up on this thread.
    struct PictureFile
    {
        QString HostPath;
        qint64 Size = -1;
        qint64 Modified = 0;
    };
    [[nodiscard]] PictureFile Locate(const QString& windowsPath) const;
    // The kept picture of a located file, or the file decoded and kept. Safe on any thread.
    [[nodiscard]] QImage Read(const PictureFile& file, const QString& windowsPath) const;

    PathMap m_paths;
    std::shared_ptr<PictureCache> m_pictures; // shared by the copies of one Files
};

} // namespace aquarium

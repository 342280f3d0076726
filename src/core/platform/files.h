#pragma once

#include "core/platform/windows_path.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace aquarium {

// The file services the program uses, on Windows paths: existence tests, folder listings,
// text files (Shift-JIS, CR LF) and pictures. Every failure is a PlatformError.
class Files
{
public:
    explicit Files(PathMap paths) : m_paths(std::move(paths)) { }

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

    // Loads a BMP picture as RGB32. Missing file: CannotOpen; anything that is not a
    // readable picture of sane size: InvalidBitmap.
    [[nodiscard]] QImage LoadPicture(const QString& windowsPath) const;

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

private:
    // The last pictures read, by host path, size and modification time: the tank preview
    // reads its sand picture on every redraw.
    struct CachedPicture
    {
        QString HostPath;
        qint64 Size = -1;
        qint64 Modified = 0;
        QImage Picture;
    };
    static constexpr int kPictureCacheSize = 8;

    PathMap m_paths;
    mutable std::vector<CachedPicture> m_pictureCache;
};

} // namespace aquarium

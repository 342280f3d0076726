#pragma once

#include "core/platform/files.h"
#include "core/platform/raster.h"
#include "core/platform/windows_path.h"

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

namespace aquarium::test {

// A world of its own for one test: a Wine prefix in a temporary folder with drive C:
// (dosdevices/c: -> ../drive_c) and Z: (-> /), a user.reg, and files written on C:.
class TestWorld
{
public:
    TestWorld();

    // The prefix folder on the host.
    QString Prefix() const { return m_dir.path(); }
    PathMap Paths() const { return PathMap(Prefix()); }
    Files MakeFiles() const { return Files(Paths()); }

    // Host path of a path on drive C: ("C:\work\a.uld" or "work\a.uld").
    QString Host(const QString& windowsPath) const;

    // Writes the user.reg with these values under Software\Kesso Soft\Ulvaro.
    void WriteRegistry(const QMap<QString, QString>& values) const;
    // Creates a folder (and its parents) on drive C:.
    void MakeFolder(const QString& windowsPath) const;
    // Writes bytes to a file on drive C:, creating its folder.
    void WriteFile(const QString& windowsPath, const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& windowsPath) const;
    // Writes a BMP picture.
    void WritePicture(const QString& windowsPath, const QImage& picture) const;
    // Makes drive C:'s folder the process's current folder.
    void EnterFolder(const QString& windowsPath) const;
    // The sample as make run lays it out: its folder as C:\aquarium (the MIDI list in
    // C:\aquarium\midi), the registry naming tetra.uld and the list.
    void WriteSample() const;
    // A small world to edit in: C:\aq\tetra.uld and sea.uld (neon and guppy, sand, bubble,
    // food, sound and one accessory kusa), random.uld naming tetra.uld, and the pictures
    // sand, neon and kusa in C:\aq\data and C:\aq\pics, iwa in data.
    void WriteEditingWorld() const;

private:
    QTemporaryDir m_dir;
};

// While it lives, the operating system refuses to let this process make any file larger
// than bytes (RLIMIT_FSIZE, SIGXFSZ ignored): writes fail as on a full disk, for real.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long long m_previous = 0;
};

// A small tmpfs mounted over a folder while it lives (root only; Mounted() tells), to
// make the disk really full.
class FullFileSystem
{
public:
    explicit FullFileSystem(const QString& hostFolder);
    ~FullFileSystem();
    FullFileSystem(const FullFileSystem&) = delete;
    FullFileSystem& operator=(const FullFileSystem&) = delete;

    [[nodiscard]] bool Mounted() const { return m_mounted; }
    // Takes all the space left with a file of its own.
    void Fill() const;

private:
    QString m_folder;
    bool m_mounted = false;
};

// A picture of the given size filled with colour (a Windows colour value).
[[nodiscard]] QImage SolidPicture(int width, int height, ColorRef colour);

// The Wine form of a registry value text: backslashes doubled, quotes escaped,
// characters outside ASCII as \x followed by four hex digits.
[[nodiscard]] QString EscapeRegistryText(const QString& text);

} // namespace aquarium::test

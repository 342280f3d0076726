#pragma once

#include <QString>

#include <map>

namespace aquarium {

// Maps the Windows paths the program thinks in (C:\aq\tetra.uld) to host paths and back.
// On Windows the mapping is the identity. Elsewhere it follows Wine: the drives are the
// entries of <prefix>/dosdevices ("c:" -> ../drive_c), Z: is the host root unless the
// prefix says otherwise, and names are looked up without regard to case per component.
class PathMap
{
public:
    // The prefix named by $WINEPREFIX, or ~/.wine.
    [[nodiscard]] static PathMap FromEnvironment();
    // A prefix folder on the host; it need not exist (then only Z: is mapped).
    explicit PathMap(const QString& prefixFolder);

    const QString& PrefixFolder() const { return m_prefix; }

    // Host path of a Windows path. A relative path is taken relative to currentFolder
    // (itself a Windows path). Components that exist under another letter case are
    // found; the rest is kept as written. Empty when the drive is not mapped.
    [[nodiscard]] QString ToHost(const QString& windowsPath,
                                 const QString& currentFolder = QString()) const;
    // Windows path of a host path: the drive whose target is the longest prefix wins;
    // a path outside every drive is written on Z:.
    [[nodiscard]] QString ToWindows(const QString& hostPath) const;
    // The Windows folder ("C:\windows" under Wine).
    [[nodiscard]] QString WindowsFolder() const;

    // Whether a Windows path names a drive root or starts with a drive letter.
    [[nodiscard]] static bool IsAbsolute(const QString& windowsPath);

private:
    QString m_prefix;
    std::map<QChar, QString> m_drives; // upper-case letter -> canonical host folder
};

} // namespace aquarium

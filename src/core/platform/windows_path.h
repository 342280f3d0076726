#pragma once

#include "core/platform/folder_index.h"

#include <QString>

#include <map>
#include <memory>

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
    // (itself a Windows path); \\server\share\... maps into <prefix>/dosdevices/unc/.
    // Components that exist under another letter case are found; the rest is kept as
    // written. Empty when the drive is not mapped.
    [[nodiscard]] QString ToHost(const QString& windowsPath,
                                 const QString& currentFolder = QString()) const;
    // Windows path of a host path, as Wine names it: drives are matched on the path as
    // given (a link inside a drive keeps its name there), the deepest folder that is a
    // drive's folder wins; <prefix>/dosdevices/unc/server/share is \\server\share; a path
    // outside every drive is written on Z:.
    [[nodiscard]] QString ToWindows(const QString& hostPath) const;
    // Windows path of a host path given on a command line: a relative one is taken in the
    // process's current folder.
    [[nodiscard]] QString ArgumentToWindows(const QString& hostPath) const;
    // The Windows folder ("C:\windows" under Wine).
    [[nodiscard]] QString WindowsFolder() const;

    // Whether a Windows path starts with a drive letter or is a UNC name.
    [[nodiscard]] static bool IsAbsolute(const QString& windowsPath);
    // Whether it is a UNC name (\\server\share\...).
    [[nodiscard]] static bool IsUnc(const QString& windowsPath);

    // The listings of the host folders the map has looked into.
    [[nodiscard]] const FolderIndex& Index() const { return *m_index; }

private:
    QString m_prefix;
    std::map<QChar, QString> m_drives; // upper-case letter -> canonical host folder
    QString m_uncFolder;               // <prefix>/dosdevices/unc
    std::shared_ptr<FolderIndex> m_index; // shared by the copies of one map
};

} // namespace aquarium

#pragma once

#include "core/platform/files.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace aquarium::fuzz {

// A world for one fuzzing process: a Wine prefix in a temporary folder with drive C:, a
// data folder C:\aq with a sub-folder data\ holding a few small pictures and a fish
// character; and a GUI application on the offscreen platform (fonts, pictures).
class FuzzWorld
{
public:
    static FuzzWorld& Get();

    const Files& FileSystem() const { return *m_files; }
    // Writes bytes to a file of C:\aq and returns its Windows path.
    QString Write(const QString& name, const QByteArray& bytes) const;

private:
    FuzzWorld();
    QString m_root;
    std::unique_ptr<Files> m_files;
};

} // namespace aquarium::fuzz

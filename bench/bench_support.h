#pragma once

#include <QDirIterator>
#include <QFile>

#include <ctime>

#include <utime.h>

// A folder tree as it is at rest: every file and folder under root last changed an hour
// ago. Listings and pictures read within a file system's clock tick of a change are not
// kept (a change in the same tick would go unseen), so a tree written just now would be
// read anew on every lookup: the benchmarks measure the editor's data at rest.
inline void AtRest(const QString& root)
{
    const time_t hourAgo = time(nullptr) - 3600;
    const utimbuf times {hourAgo, hourAgo};
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        ::utime(QFile::encodeName(it.next()).constData(), &times);
    ::utime(QFile::encodeName(root).constData(), &times);
}

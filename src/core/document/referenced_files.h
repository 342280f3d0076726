#pragma once

#include "core/document/aquarium.h"

#include <QString>

#include <vector>

namespace aquarium {

class Files;

// What a file an aquarium names is for.
enum class FileRole { Sand, Bubble, Food, Sound, Background, FishBitmap, FishCharacter, Home, Accessory };

struct ReferencedFile
{
    FileRole Role;
    int Index = -1; // the fish slot (bitmap, character, home) or the accessory entry
    QString Name;   // as the file names it, with the extension the program adds
    QString Path;   // Windows path
    QString Owner;  // the fish character file that names it (a home); empty: the aquarium
};

// The paths the names of an aquarium stand for: DataFolder + name + extension; the
// background picture's own path when it has a drive, else in DataFolder.
[[nodiscard]] QString DataFilePath(const QString& dataFolder, const QString& name,
                                   const QString& extension);
[[nodiscard]] QString BackgroundPath(const Aquarium& doc);

// Every file the aquarium and its fish characters name, in the order the check reports
// them: sand, bubble, food, sound, the background picture (unless a colour fills), then
// per fish slot its bitmap, its character file and the accessory picture the character
// gathers at, then the accessory pictures. Names that are empty or "null" name nothing.
// Character files are read leniently: one that cannot be read names no accessory.
[[nodiscard]] std::vector<ReferencedFile> ReferencedFiles(const Files& files, const Aquarium& doc);

// The entry of role (and index) in files, or nothing.
[[nodiscard]] const ReferencedFile* FindReferenced(const std::vector<ReferencedFile>& files,
                                                   FileRole role, int index = -1);

} // namespace aquarium

#include "core/document/referenced_files.h"

#include "core/document/fish_character.h"
#include "core/document/vocabulary.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/windows_path.h"

namespace aquarium {

QString DataFilePath(const QString& dataFolder, const QString& name, const QString& extension)
{
    return dataFolder + name + extension;
}

QString BackgroundPath(const Aquarium& doc)
{
    return PathMap::IsAbsolute(doc.BackgroundSource) ? doc.BackgroundSource
                                                     : doc.DataFolder + doc.BackgroundSource;
}

std::vector<ReferencedFile> ReferencedFiles(const Files& files, const Aquarium& doc)
{
    std::vector<ReferencedFile> list;
    const auto add = [&](FileRole role, int index, const QString& name, const QString& extension) {
        if (IsNamed(name))
            list.push_back({role, index, name + extension,
                            DataFilePath(doc.DataFolder, name, extension), QString()});
    };
    add(FileRole::Sand, -1, doc.SandName, kBitmapExtension);
    add(FileRole::Bubble, -1, doc.BubbleName, kBitmapExtension);
    add(FileRole::Food, -1, doc.FoodName, kBitmapExtension);
    add(FileRole::Sound, -1, doc.SoundName, kSoundExtension);
    if (!doc.BackgroundColourFill && doc.BackgroundSource != kNone)
        list.push_back({FileRole::Background, -1, doc.BackgroundSource, BackgroundPath(doc),
                        QString()});
    for (int k = 0; k < kFishSlotCount; ++k) {
        const QString& name = doc.Fish[size_t(k)].CharacterName;
        if (name.isEmpty())
            continue;
        add(FileRole::FishBitmap, k, name, kBitmapExtension);
        add(FileRole::FishCharacter, k, name, kCharacterExtension);
        const QString character = DataFilePath(doc.DataFolder, name, QString());
        if (!files.FileExists(character + kCharacterExtension))
            continue;
        FishCharacter fish;
        try {
            LoadFishCharacter(files, character, fish);
        } catch (const PlatformError&) {
            continue;
        }
        if (fish.GatherAtAccessory && !fish.HomePosition.isEmpty())
            list.push_back({FileRole::Home, k, fish.HomePosition,
                            doc.DataFolder + fish.HomePosition, character + kCharacterExtension});
    }
    for (int e = 0; e <= doc.LastObjectBmp && e < kMaxObjectBmps; ++e)
        add(FileRole::Accessory, e, doc.ObjectBmpTable[size_t(e)].BmpName, kBitmapExtension);
    return list;
}

const ReferencedFile* FindReferenced(const std::vector<ReferencedFile>& files, FileRole role,
                                     int index)
{
    for (const ReferencedFile& f : files) {
        if (f.Role == role && f.Index == index)
            return &f;
    }
    return nullptr;
}

} // namespace aquarium

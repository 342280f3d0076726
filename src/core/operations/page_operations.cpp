#include "core/operations/page_operations.h"

#include "core/document/fish_picture.h"
#include "core/document/object_bmp.h"
#include "core/platform/files.h"
#include "core/platform/numbers.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"

namespace aquarium {

namespace {

// The base name of a chosen file: after its last backslash, cut at its last dot.
QString BaseName(const QString& path)
{
    return StripExtension(FileNamePart(path));
}

std::optional<QString> AskForFile(AppState& state, const QString& filter)
{
    FileDialogRequest request;
    request.Filter = filter;
    request.InitialFolder = state.Doc.DataFolder + state.Doc.DataSubFolder;
    return state.UserPrompts.OpenFileName(request);
}

QString& ItemText(Aquarium& doc, FileItem item)
{
    switch (item) {
    case FileItem::Sand: return doc.SandName;
    case FileItem::Bubble: return doc.BubbleName;
    case FileItem::Sound: return doc.SoundName;
    case FileItem::Food: return doc.FoodName;
    case FileItem::Background: break;
    }
    return doc.BackgroundSource;
}

} // namespace

void ChooseFishFile(AppState& state, int slot)
{
    const std::optional<QString> chosen = AskForFile(state, kBitmapFilter);
    if (!chosen)
        return;
    FishSlot& fish = state.Doc.Fish[size_t(slot)];
    fish.CharacterName = state.Doc.DataSubFolder + BaseName(*chosen);
    fish.FishDataNo = QStringLiteral("1");
    fish.FishAmount = QStringLiteral("1");
    ShowFishPicture(state, slot);
}

void ClearFishSlot(AppState& state, int slot)
{
    state.Doc.Fish[size_t(slot)].CharacterName.clear();
    state.View.FishPictures[size_t(slot)] =
            MakePicture(kFishPictureWidth, kFishPictureHeight, kBlack);
    state.View.FishDrawnFrom[size_t(slot)].clear();
}

void RefreshFishSlot(AppState& state, int slot)
{
    if (!state.Doc.Fish[size_t(slot)].CharacterName.isEmpty())
        ShowFishPicture(state, slot);
}

std::optional<EditorRequest> OpenCharacterEditor(AppState& state, int slot)
{
    const FishSlot& fish = state.Doc.Fish[size_t(slot)];
    const int fishDataNo = StrToInt(fish.FishDataNo);
    if (fish.CharacterName.isEmpty()) {
        ChooseFishFile(state, slot);
        return std::nullopt;
    }
    return EditorRequest{state.Doc.DataFolder + fish.CharacterName, fishDataNo};
}

void ChooseFileItem(AppState& state, FileItem item)
{
    const bool sound = item == FileItem::Sound;
    const std::optional<QString> chosen = AskForFile(state, sound ? kWaveFilter : kBitmapFilter);
    if (!chosen)
        return;
    QString& text = ItemText(state.Doc, item);
    text = state.Doc.DataSubFolder + BaseName(*chosen);
    if (item == FileItem::Food)
        return;
    const QString extension = sound ? kSoundExtension : kBitmapExtension;
    if (!state.FileSystem.FileExists(state.Doc.DataFolder + text + extension)) {
        text = item == FileItem::Sand     ? QStringLiteral("data\\sand")
               : item == FileItem::Bubble ? QStringLiteral("data\\bubble")
                                          : QStringLiteral("data\\boo-n");
    }
}

void ChooseBackground(AppState& state)
{
    Aquarium& doc = state.Doc;
    FileDialogRequest request;
    request.Filter = kBitmapFilter;
    const QString current = PathMap::IsAbsolute(doc.BackgroundSource)
                                    ? doc.BackgroundSource
                                    : doc.DataFolder + doc.BackgroundSource;
    if (doc.BackgroundSource != kNone && state.FileSystem.FileExists(current)) {
        request.FileName = current;
        if (current.contains(u'\\'))
            request.InitialFolder = current.left(current.lastIndexOf(u'\\') + 1);
    }
    const std::optional<QString> chosen = state.UserPrompts.OpenFileName(request);
    if (chosen)
        doc.BackgroundSource = *chosen;
}

void ClearFileItem(AppState& state, FileItem item)
{
    ItemText(state.Doc, item) = kNone;
}

QString RebaseFileName(const AppState& state, const QString& name, const QString& extension)
{
    if (name.isEmpty())
        return name;
    QString moved = name;
    const qsizetype slash = moved.indexOf(u'\\');
    if (slash >= 0)
        moved = state.Doc.DataSubFolder + moved.mid(slash + 1);
    if (!state.FileSystem.FileExists(state.Doc.DataFolder + moved + extension))
        moved.clear();
    return moved;
}

void ChooseSubFolder(AppState& state, int index)
{
    if (index < 0 || index >= state.SubFolderEntries.size())
        return;
    Aquarium& doc = state.Doc;
    const QString& entry = state.SubFolderEntries[index];
    state.SubFolderIndex = index;
    doc.DataSubFolder = entry.mid(1, entry.size() - 2) + u'\\';
    const QString bmp = kBitmapExtension;
    doc.SandName = RebaseFileName(state, doc.SandName, bmp);
    doc.BubbleName = RebaseFileName(state, doc.BubbleName, bmp);
    doc.SoundName = RebaseFileName(state, doc.SoundName, kSoundExtension);
    for (FishSlot& fish : doc.Fish)
        fish.CharacterName = RebaseFileName(state, fish.CharacterName, bmp);
    doc.FoodName = RebaseFileName(state, doc.FoodName, bmp);
    for (ObjectBmp& entryBmp : doc.ObjectBmpTable) {
        if (entryBmp.BmpName.isEmpty())
            continue;
        const qsizetype slash = entryBmp.BmpName.indexOf(u'\\');
        entryBmp.BmpName = doc.DataSubFolder + entryBmp.BmpName.mid(slash + 1);
    }
    SyncAccessoryFolder(state);
}

QImage ColourSwatch(const Aquarium& doc)
{
    return MakePicture(kColourSwatchSide, kColourSwatchSide, doc.BackgroundColourValue());
}

void SetBackgroundColour(AppState& state, int red, int green, int blue)
{
    Aquarium& doc = state.Doc;
    doc.BackgroundRed = std::clamp(red, 0, 255);
    doc.BackgroundGreen = std::clamp(green, 0, 255);
    doc.BackgroundBlue = std::clamp(blue, 0, 255);
    doc.BackgroundSource = ColourDigits(doc.BackgroundColourValue());
}

void SetColourFill(AppState& state, bool on)
{
    state.Doc.BackgroundColourFill = on;
    SetBackgroundColour(state, state.Doc.BackgroundRed, state.Doc.BackgroundGreen,
                        state.Doc.BackgroundBlue);
}

QString IntervalText(int position)
{
    // Tenths of a second, rounded to two significant digits (halves up), one decimal.
    if (position < 100)
        return QStringLiteral("%1.%2").arg(position / 10).arg(position % 10);
    return QStringLiteral("%1.0").arg((position + 5) / 10);
}

void ChangeScreenResolution(AppState& state, const QString& text)
{
    for (const ScreenResolution& size : kScreenResolutions) {
        if (text == QStringView(size.Text)) {
            state.ScreenWidth = size.Width;
            state.ScreenHeight = size.Height;
        }
    }
    (void)LoadObjectBmps(state.FileSystem, state.Doc, state.Screen(), state.View.Sprites,
                         ObjectBmpsToLoad::All);
    DrawTankPreview(state);
}

} // namespace aquarium

#include "core/state/recovery.h"

#include "core/document/aquarium_file.h"
#include "core/document/object_bmp.h"
#include "core/document/vocabulary.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/platform/recovery_store.h"
#include "core/platform/text_file.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"

namespace aquarium {

namespace {

// The copy's files: a header of our own (UTF-8, one "Key=value" a line), and the aquarium
// file, the lists and the fish character as the program's writers write them.
const QString kHeader = QStringLiteral("header");
const QString kAquariumCopy = QStringLiteral("aquarium.uld");
const QString kRandomCopy = QStringLiteral("random.uld");
const QString kMidiCopy = QStringLiteral("midi.lst");
const QString kCharacterCopy = QStringLiteral("character.ulc");
const QString kMagic = QStringLiteral("AquariumMakerRecovery=1");

QString StampText(const Files::FileStamp& stamp)
{
    return QStringLiteral("%1|%2|%3")
        .arg(stamp.Size)
        .arg(stamp.Modified)
        .arg(QString::fromLatin1(stamp.Hash.toHex()));
}

Files::FileStamp StampOf(const QString& text)
{
    const QStringList parts = text.split(u'|');
    Files::FileStamp stamp;
    if (parts.size() == 3) {
        stamp.Size = parts[0].toLongLong();
        stamp.Modified = parts[1].toLongLong();
        stamp.Hash = QByteArray::fromHex(parts[2].toLatin1());
    }
    return stamp;
}

// The lines of a text as the program's writers write them; nothing when Shift-JIS cannot
// hold them (the copy then keeps the rest).
std::optional<QByteArray> Encoded(const QStringList& lines)
{
    try {
        return JoinLinesCrLf(lines);
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

QStringList Decoded(const QByteArray& bytes)
{
    return SplitLines(DecodeShiftJis(bytes), false);
}

} // namespace

QStringList RecoveryCopy::FilesHeld() const
{
    QStringList files;
    files << (File.isEmpty() ? QStringLiteral("(名前のない水槽)") : File);
    if (!RandomList.isEmpty())
        files << RandomListFile;
    if (!MidiList.isEmpty())
        files << MidiListFile;
    if (Character)
        files << Character->CharacterPath + kCharacterExtension;
    return files;
}

void Recovery::Keep(const std::optional<CharacterCopy>& character)
{
    AppState& s = m_state;
    if (!s.Edits.Modified() && !character) {
        Remove();
        return;
    }
    const auto stampOf = [&](const QString& file) {
        return s.OnDisk.value(file.toUpper());
    };
    const QString randomFile = s.Doc.DataFolder + kRandomListName;
    QStringList header = {
        kMagic,
        u"Time="_qs + QDateTime::currentDateTimeUtc().toString(Qt::ISODate),
        u"File="_qs + s.CurrentFile,
        u"FileOnDisk="_qs + StampText(stampOf(s.CurrentFile)),
        u"DataFolder="_qs + s.Doc.DataFolder,
        u"RandomListFile="_qs + randomFile,
        u"RandomListOnDisk="_qs + StampText(stampOf(randomFile)),
        u"MidiListFile="_qs + s.MidiListFile,
        u"MidiFolder="_qs + s.MidiFolder,
        u"MidiListShown="_qs + s.MidiListShown,
        u"MidiListOnDisk="_qs + StampText(stampOf(s.MidiListFile)),
    };
    if (character) {
        header << u"Character="_qs + character->CharacterPath
               << u"FishDataNo="_qs + QString::number(character->FishDataNo)
               << u"CharacterOnDisk="_qs + StampText(character->OnDisk);
    }
    try {
        Aquarium doc = s.Doc; // the writer compacts: the copy, not the state
        const std::pair<QString, std::optional<QByteArray>> files[] = {
            {kAquariumCopy, Encoded(AquariumFileLines(s.FileSystem, doc))},
            {kRandomCopy, Encoded(s.RandomList)},
            {kMidiCopy, Encoded(s.MidiList)},
            {kCharacterCopy,
             character ? Encoded(FishCharacterLines(character->Fields)) : std::nullopt},
        };
        for (const auto& [name, bytes] : files) {
            if (bytes)
                m_store.Write(name, *bytes);
            else
                m_store.RemoveFile(name);
        }
        // The header last: a copy is whole once it is there.
        m_store.Write(kHeader, header.join(u'\n').toUtf8() + '\n');
    } catch (const PlatformError&) {
    }
}

void Recovery::Remove()
{
    m_store.Remove();
}

std::optional<RecoveryCopy> Recovery::Read(const QString& folder)
{
    return Parse(folder, [&](const QString& name) { return RecoveryStore::Read(folder, name); });
}

std::optional<RecoveryCopy> Recovery::Parse(
        const QString& folder, const std::function<std::optional<QByteArray>(const QString&)>& part)
{
    const std::optional<QByteArray> headerBytes = part(kHeader);
    if (!headerBytes)
        return std::nullopt;
    const QStringList header = QString::fromUtf8(*headerBytes).split(u'\n', Qt::SkipEmptyParts);
    if (header.isEmpty() || header.first() != kMagic)
        return std::nullopt;
    QHash<QString, QString> values;
    for (const QString& line : header) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0)
            values.insert(line.left(equals), line.mid(equals + 1));
    }
    RecoveryCopy copy;
    copy.Folder = folder;
    copy.Time = QDateTime::fromString(values.value(u"Time"_qs), Qt::ISODate);
    copy.File = values.value(u"File"_qs);
    copy.FileOnDisk = StampOf(values.value(u"FileOnDisk"_qs));
    copy.DataFolder = values.value(u"DataFolder"_qs);
    copy.RandomListFile = values.value(u"RandomListFile"_qs);
    copy.RandomListOnDisk = StampOf(values.value(u"RandomListOnDisk"_qs));
    copy.MidiListFile = values.value(u"MidiListFile"_qs);
    copy.MidiFolder = values.value(u"MidiFolder"_qs);
    copy.MidiListShown = values.value(u"MidiListShown"_qs);
    copy.MidiListOnDisk = StampOf(values.value(u"MidiListOnDisk"_qs));
    const std::optional<QByteArray> aquarium = part(kAquariumCopy);
    if (!copy.Time.isValid() || copy.DataFolder.isEmpty() || !aquarium)
        return std::nullopt;
    copy.Aquarium = Decoded(*aquarium);
    // The document must read back as a load reads it.
    try {
        Aquarium doc;
        doc.DataFolder = copy.DataFolder;
        ResetForLoad(doc);
        if (ReadAquariumLines(copy.Aquarium, doc) != ReadOutcome::Read)
            return std::nullopt;
    } catch (const PlatformError&) {
        return std::nullopt;
    }
    if (const auto lines = part(kRandomCopy))
        copy.RandomList = Decoded(*lines);
    if (const auto lines = part(kMidiCopy))
        copy.MidiList = Decoded(*lines);
    if (values.contains(u"Character"_qs)) {
        const std::optional<QByteArray> lines = part(kCharacterCopy);
        if (!lines)
            return std::nullopt;
        CharacterCopy character;
        character.CharacterPath = values.value(u"Character"_qs);
        character.FishDataNo = values.value(u"FishDataNo"_qs).toInt();
        character.OnDisk = StampOf(values.value(u"CharacterOnDisk"_qs));
        try {
            ReadFishCharacter(Decoded(*lines), character.Fields);
        } catch (const PlatformError&) {
            return std::nullopt;
        }
        copy.Character = character;
    }
    return copy;
}

std::optional<Recovery::Restored> Recovery::Offer()
{
    for (const QString& folder : m_store.Orphans()) {
        const std::optional<RecoveryCopy> copy = Read(folder);
        if (!copy) {
            m_state.UserPrompts.ShowMessage(kDamagedCopyMessage.arg(m_store.SetAside(folder)));
            continue;
        }
        const QString question = kRecoveryQuestion + u'\n' + copy->FilesHeld().join(u'\n') + u'\n'
                                 + copy->Time.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_qs);
        const int choice = m_state.UserPrompts.Choose(
            question, {kRestoreButton, kDiscardButton, kLaterButton}, 0);
        if (choice == 1) {
            RecoveryStore::Discard(folder);
        } else if (choice == 0) {
            std::vector<DiskNotice> notices = Restore(*copy);
            return Restored {*copy, std::move(notices)};
        }
    }
    return std::nullopt;
}

std::vector<DiskNotice> Recovery::Restore(const RecoveryCopy& copy)
{
    AppState& s = m_state;
    // The files as they are on disk: what a save is measured against.
    if (!copy.File.isEmpty() && s.FileSystem.FileExists(copy.File)
        && LoadAquariumFile(s, copy.File))
        s.CurrentFile = copy.File;
    else if (!copy.File.isEmpty())
        s.CurrentFile = copy.File;

    // The copy's content over them.
    Aquarium doc;
    doc.DataFolder = copy.DataFolder;
    ResetForLoad(doc);
    Guard(s.UserPrompts, [&] { (void)ReadAquariumLines(copy.Aquarium, doc); });
    s.Doc = doc;
    if (!copy.File.isEmpty())
        s.Caption = kCaptionPrefix + AsciiLower(FileNamePart(copy.File)) + kCaptionSuffix;
    ListSubFolders(s);
    SyncAccessoryFolder(s);
    s.RandomList = copy.RandomList;
    s.RandomSelected = -1;
    if (!copy.MidiListFile.isEmpty()) {
        s.MidiListFile = copy.MidiListFile;
        s.MidiFolder = copy.MidiFolder;
        s.MidiListShown = copy.MidiListShown;
    }
    s.MidiList = copy.MidiList;
    s.MidiSelected = -1;
    (void)LoadObjectBmps(s.FileSystem, s.Doc, s.Screen(), s.View.Sprites, ObjectBmpsToLoad::All);
    s.View.FishDrawnFrom = {};
    ViewFollows(s);
    s.Edits.Clear();

    // What changed on disk since the copy was taken is said, as for any outside change.
    std::vector<DiskNotice> notices;
    const std::pair<QString, Files::FileStamp> files[] = {
        {copy.File, copy.FileOnDisk},
        {copy.RandomListFile, copy.RandomListOnDisk},
        {copy.MidiListFile, copy.MidiListOnDisk},
    };
    for (const auto& [file, then] : files) {
        if (file.isEmpty() || then.Hash.isEmpty() || s.FileSystem.Stamp(file).Hash == then.Hash)
            continue;
        notices.push_back({DiskNotice::ChangedWithEdits, file, kChangedNotice.arg(FileNamePart(file))});
    }
    // The work is this instance's now: its copy is written before the old one goes.
    Keep(copy.Character);
    RecoveryStore::Discard(copy.Folder);
    return notices;
}

} // namespace aquarium

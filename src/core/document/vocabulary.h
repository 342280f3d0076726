#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace aquarium {

// The words of the screen saver's files and the program's own texts, each defined once:
// every other file names them from here.

// --- Files -----------------------------------------------------------------------------

// The random aquarium list, in the data folder.
inline const QString kRandomListName = QStringLiteral("random.uld");
// The name of a file that is not there: a sand, bubble, food, sound or background of none.
inline const QString kNone = QStringLiteral("null");
// The MIDI list's name when the registry names none.
inline const QString kDefaultMidiListName = QStringLiteral("midifile.lst");

inline const QString kBitmapExtension = QStringLiteral(".bmp");
inline const QString kSoundExtension = QStringLiteral(".wav");
inline const QString kCharacterExtension = QStringLiteral(".ulc");
inline const QString kAquariumExtension = QStringLiteral(".uld");
inline const QString kListExtension = QStringLiteral(".lst");

// The masks of the file lists and the filters of the file dialogs ("caption|masks").
inline const QString kBitmapMask = QStringLiteral("*.bmp");
inline const QString kAquariumMask = QStringLiteral("*.uld");
inline const QString kListMask = QStringLiteral("*.lst");
inline const QString kMidiMasks = QStringLiteral("*.mid;*.rmi");
inline const QString kAquariumFilter = QStringLiteral("Ulvaro Data File|*.uld");
inline const QString kBitmapFilter = QStringLiteral("BMP File|*.bmp");
inline const QString kWaveFilter = QStringLiteral("Wave File|*.wav");
inline const QString kHomeBitmapFilter = QStringLiteral("Bitmap File|*.BMP");
inline const QString kMidiListFilter = QStringLiteral("MIDI List File|*.lst");

// Whether a name names a file: neither empty nor "null".
[[nodiscard]] bool IsNamed(const QString& name);
// Whether an entry or a path's file name is the random list (ASCII letters in any case).
[[nodiscard]] bool IsRandomListName(const QString& entry);
[[nodiscard]] bool IsRandomListFile(const QString& path);
// ASCII letters lower-cased; everything else unchanged.
[[nodiscard]] QString AsciiLower(const QString& text);

// --- The screen resolutions the tank preview assumes (ComboBox1) ----------------------

struct ScreenResolution
{
    const char16_t* Text;
    int Width, Height;
};
inline constexpr std::array<ScreenResolution, 5> kScreenResolutions = {{
    {u"640 x 480", 640, 480},
    {u"800 x 600", 800, 600},
    {u"1024 x 768", 1024, 768},
    {u"1152 x 864", 1152, 864},
    {u"1280 x 1024", 1280, 1024},
}};
inline constexpr int kDefaultResolution = 2; // 1024 x 768

// --- The aquarium file -----------------------------------------------------------------

inline const QString kAquariumMagic = QStringLiteral("Kesso's Screen Saver Ulvaro");
inline const QString kDataEnd = QStringLiteral("DATA END");
inline const QString kOptionSection = QStringLiteral("[Option]");
inline const QString kFishSection = QStringLiteral("[Fish]");
inline const QString kBottomSection = QStringLiteral("[Bottom]");
inline const QString kBubbleSection = QStringLiteral("[Bubble]");
inline const QString kFoodSection = QStringLiteral("[Food]");
inline const QString kSoundSection = QStringLiteral("[Sound]");
inline const QString kSound2Section = QStringLiteral("[Sound2]");
inline const QString kObjectBmpSection = QStringLiteral("[ObjectBMP]");
inline const QString kObjectSection = QStringLiteral("[Object]");
inline const QString kIntermittent = QStringLiteral("Intermittent");
// [Option] keys as written, and the words the reader looks for (upper-cased).
inline const QString kNumberOfFishesKey = QStringLiteral("NumberOfFishes");
inline const QString kAerationKey = QStringLiteral("PosOfAiration");
inline const QString kBitmapFileKey = QStringLiteral("BitmapFile");
inline const QString kAquariumTypeKey = QStringLiteral("AquariumType");
inline const QString kTiling = QStringLiteral("tiling");
inline const QString kStretch = QStringLiteral("stretch");
// The aeration's place as written (right, centre, left, all), and the English words the
// reader also takes.
inline const std::array<QString, 4> kAerationWords = {
    QStringLiteral("右"), QStringLiteral("中央"), QStringLiteral("左"), QStringLiteral("ALL")};
inline const QString kAerationLeft = QStringLiteral("LEFT");
inline const QString kAerationCentre = QStringLiteral("CENTER");
// An accessory's depth (back, middle, front), anchor (top, middle, bottom) and motion.
inline const std::array<QString, 3> kDepthWords = {
    QStringLiteral("back"), QStringLiteral("middle"), QStringLiteral("front")};
inline const std::array<QString, 3> kAnchorWords = {
    QStringLiteral("top"), QStringLiteral("middle"), QStringLiteral("bottom")};
inline const QString kSwayWord = QStringLiteral("move");
inline const QString kSpreadWord = QStringLiteral("stretch");
inline const QString kSwayAndSpreadWord = QStringLiteral("move&stretch");

// --- The fish character file -----------------------------------------------------------

inline const QString kCharacterMagic = QStringLiteral("Kesso's Screen Saver Ulvaro Character");
inline const QString kBmpDataSection = QStringLiteral("[BMP DATA FORMAT]");
inline const QString kMovExtraSection = QStringLiteral("[MOV EXTRA DATA]");
inline const QString kMovDataSection = QStringLiteral("[MOV DATA]");
// The keys of [BMP DATA FORMAT].
inline const QString kBmpDataFormatKey = QStringLiteral("BmpDataFormat");
inline const QString kAnimationDataNoKey = QStringLiteral("AnimationDataNo");
inline const QString kFishDataNoKey = QStringLiteral("FishDataNo");
inline const QString kStretchDXKey = QStringLiteral("StretchDX");
inline const QString kStretchDYKey = QStringLiteral("StretchDY");
inline const QString kAnimLoopKey = QStringLiteral("AnimLoop");
inline const QString kQuarterWaveKey = QStringLiteral("AnimWave1/4");
inline const QString kPhaseKey = QStringLiteral("Phase");
inline const QString kWaveLengthKey = QStringLiteral("WaveLength");
// The lines and keys of [MOV EXTRA DATA].
inline const QString kFrontGlassLine = QStringLiteral("前面ガラスにへばりつき");
inline const QString kUpperRangeKey = QStringLiteral("上に動く範囲=");
inline const QString kQuickTurnLine = QStringLiteral("Quick Turn");
inline const QString kSlowLine = QStringLiteral("Slow");
inline const QString kHomePositionKey = QStringLiteral("HomePosition");
// The ten bitmap formats' names, in the formats' order.
inline const std::array<QString, 10> kBmpFormatNames = {
    QStringLiteral("No_Animation"), QStringLiteral("ShadowMapping"), QStringLiteral("Animation"),
    QStringLiteral("X_Stretch"), QStringLiteral("Y_Stretch"), QStringLiteral("XY_Stretch"),
    QStringLiteral("H_Wave"), QStringLiteral("H_Wave2"), QStringLiteral("V_Wave"),
    QStringLiteral("V_Wave2")};

// The preferred layers, in the order the fish editor lists them.
inline const QString kLayerAnywhere = QStringLiteral("どこでも好き");
inline const QString kLayerLovesTop = QStringLiteral("上が大好き");
inline const QString kLayerHatesBottom = QStringLiteral("底が嫌い");
inline const QString kLayerLikesTop = QStringLiteral("上が好き");
inline const QString kLayerHatesTop = QStringLiteral("上が嫌い");
inline const QString kLayerLikesBottom = QStringLiteral("下が好き");
inline const QString kLovesTheBottom = QStringLiteral("底が大好き"); // the up-and-down liking matters
inline const QString kLayerLikesMiddle = QStringLiteral("中層が好き");
inline const QStringList kPreferredLayers = {kLayerAnywhere, kLayerLovesTop, kLayerHatesBottom,
    kLayerLikesTop, kLayerHatesTop, kLayerLikesBottom, kLovesTheBottom, kLayerLikesMiddle};
// How much a bottom lover likes moving up and down, from least to most.
inline const QString kUpDownDislikes = QStringLiteral("上下嫌い");
inline const QString kNormal = QStringLiteral("普通");
inline const QString kUpDownLikes = QStringLiteral("上下好き");
inline const QString kUpDownLoves = QStringLiteral("上下大好き");
inline const QString kUpDownAdores = QStringLiteral("上下大大好き");
inline const QStringList kUpDownLikings = {
    kUpDownDislikes, kNormal, kUpDownLikes, kUpDownLoves, kUpDownAdores};
// How friendly a fish is.
inline const QString kFriendly = QStringLiteral("ひとなつっこい");
inline const QString kShy = QStringLiteral("恐がり");
inline const QStringList kFriendlinessNames = {kFriendly, kNormal, kShy};

// --- The program's own messages --------------------------------------------------------

inline const QString kNoFishMessage =
    QStringLiteral("熱帯魚のﾃﾞｰﾀが未設定です.ﾃﾞｰﾀﾌｧｲﾙの作成を中止します");
inline const QString kForeignFileMessage = QStringLiteral("Kesso's Ulvaro Data Fileではありません");
inline const QString kMalformedFileMessage = QStringLiteral("ULDﾌｧｲﾙの内容が不正です");
inline const QString kSaveChangesQuestion = QStringLiteral("変更を保存しますか");
inline const QString kDiscardEditsQuestion = QStringLiteral("編集中の内容を破棄しますか");
inline const QString kRandomListTargetMessage =
    kRandomListName + QStringLiteral(" はランダムリストのファイルです.別の名前で保存してください");
inline const QString kMidiListTargetMessage =
    QStringLiteral("%1 はMIDIﾌｧｲﾙﾘｽﾄです.別の名前で保存してください");
// Followed by the pictures' paths, separated by ", ".
inline const QString kUnreadableAccessoriesMessage = QStringLiteral("以下のｱｸｾｻﾘの絵が開けません  ");
// Followed by the folder.
inline const QString kBadFolderMessage = QStringLiteral("設定中の以下のﾌｫﾙﾀﾞ名が不適切です  ");
inline const QString kTooManyObjects = QStringLiteral("これ以上ｱｲﾃﾑを配置できません");
inline const QString kTooManyBitmaps = QStringLiteral("これ以上BMPﾌｧｲﾙは登録できません");
// After a list file's path: the list holds a name Shift-JIS cannot hold.
inline const QString kListNotRewritten = QStringLiteral(" は書き換えません");
inline const QString kScreenTooLargeMessage = QStringLiteral("画面の大きさ %1 x %2 は大きすぎます");
// What the editor says of files other programs changed.
inline const QString kReloadedNotice = QStringLiteral("他のプログラムによる変更を読み込みました: %1");
inline const QString kChangedNotice = QStringLiteral("ファイルが他のプログラムで変更されました: %1");
inline const QString kDeletedNotice = QStringLiteral("ファイルが削除されました: %1");
inline const QString kOverwriteQuestion =
    QStringLiteral("ファイルが他のプログラムで変更されています.上書きしますか");
inline const QString kOverwriteButton = QStringLiteral("上書き");
// The question about unsaved work a previous run left, and its buttons.
inline const QString kRecoveryQuestion = QStringLiteral("前回保存されなかった変更があります");
inline const QString kRestoreButton = QStringLiteral("復元");
inline const QString kDiscardButton = QStringLiteral("破棄");
inline const QString kLaterButton = QStringLiteral("後で");
// Followed by the path the copy was moved to.
inline const QString kDamagedCopyMessage =
    QStringLiteral("保存されなかった変更のコピーを読めないため damaged に移しました: %1");
// The status bar: what just happened (followed by a file's name or a step's name), and
// what there is to do where nothing is set up yet.
inline const QString kSavedStatus = QStringLiteral("保存しました: %1");
inline const QString kLoadedStatus = QStringLiteral("読み込みました: %1");
inline const QString kUndoneStatus = QStringLiteral("元に戻しました: %1");
inline const QString kRedoneStatus = QStringLiteral("やり直しました: %1");
inline const QString kNoSettingsStatus = QStringLiteral(
        "スクリーンセーバーの設定がありません.ファイル > サンプルの水槽を開く で見本の水槽を開けます");
// Followed by the folder.
inline const QString kSampleCopyFailed = QStringLiteral("サンプルの水槽を %1 にコピーできません");
inline const QString kCanvasKeysHelp = QStringLiteral(
        "矢印: 移動  Enter: 配置  Space: つかむ/放す  Esc: 放す  Delete: 削除  S: 揺れる  W: 広げる");

// What the check reports.
inline const QString kMissingFileProblem = QStringLiteral("ファイルがありません");
inline const QString kNotShiftJisProblem = QStringLiteral("Shift-JIS で表せない文字があります");
inline const QString kNotACharacterProblem = QStringLiteral("熱帯魚のﾃﾞｰﾀﾌｧｲﾙではありません");
inline const QString kUndecodableProblem = QStringLiteral("再生できる形式ではありません");
// What cannot be heard: MIDI files without a soundfont, the sound without an output.
inline const QString kNoSoundfontProblem = QStringLiteral("サウンドフォントがありません");
inline const QString kNoAudioOutputProblem = QStringLiteral("音声出力がありません");

} // namespace aquarium

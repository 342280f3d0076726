#include "ui/shell/main_window.h"

#include "core/operations/page_operations.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/disk_changes.h"
#include "core/state/recovery.h"
#include "core/state/startup.h"
#include "ui/editor/fish_editor.h"
#include "ui/pages/accessory_page.h"
#include "ui/pages/fish_page.h"
#include "ui/pages/list_pages.h"
#include "ui/pages/tank_page.h"
#include "ui/shell/live_view.h"
#include "ui/shell/version_window.h"
#include "ui/widgets/file_list_box.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/named.h"
#include "gui/sound_output.h"
#include "ui/widgets/window_place.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QStatusTipEvent>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QUndoStack>

namespace aquarium {

MainWindow::MainWindow(AppState& state, VersionWindow& versionWindow, FishEditor& fishEditor)
    : m_state(state), m_versionWindow(versionWindow), m_fishEditor(fishEditor)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAcceptDrops(true);

    // The client area holds every control of the window where it always stood; the menu
    // bar goes above it, the notice bar and the status bar below.
    MenuBar1 = Named(new QMenuBar(this), "MenuBar1");
    ClientArea = Named(new QWidget(this), "ClientArea");
    ClientArea->resize(kClientWidth, kClientHeight);
    StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);

    TabbedNotebook1 = Named(new QTabWidget(ClientArea), "TabbedNotebook1");
    TabbedNotebook1->setGeometry(0, 0, 497, 419);
    // All five tabs in one row, as the notebook shows them.
    TabbedNotebook1->setUsesScrollButtons(false);
    TabbedNotebook1->setStyleSheet(QStringLiteral(
            "QTabBar::tab { padding: 3px 6px; border: 1px solid #a0a0a0; border-bottom: none;"
            " border-top-left-radius: 3px; border-top-right-radius: 3px; background: #e4e4e4;"
            " margin-right: -1px; }"
            "QTabBar::tab:selected { background: #fbfbfb; }"));
    FishPage1 = new FishPage(state, fishEditor);
    TabbedNotebook1->addTab(FishPage1, QStringLiteral("熱帯魚の設定"));
    AccessoryPage1 = new AccessoryPage(state);
    TabbedNotebook1->addTab(AccessoryPage1, QStringLiteral("ｱｸｾｻﾘの設定"));
    TankPage1 = new TankPage(state);
    TabbedNotebook1->addTab(TankPage1, QStringLiteral("水槽の設定"));
    RandomPage1 = new RandomListPage(state);
    TabbedNotebook1->addTab(RandomPage1, kRandomListName + u"の設定"_qs);
    MidiPage1 = new MidiListPage(state);
    TabbedNotebook1->addTab(MidiPage1, QStringLiteral("MIDIﾌｧｲﾙﾘｽﾄの設定"));

    Button6 = Named(new QPushButton(QStringLiteral("ULDﾌｧｲﾙ読み込み"), ClientArea), "Button6");
    Button6->setGeometry(516, 8, 110, 25);
    Button7 = Named(new QPushButton(QStringLiteral("名前をつけて保存"), ClientArea), "Button7");
    Button7->setGeometry(516, 40, 110, 25);
    Button10 = Named(new QPushButton(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), ClientArea), "Button10");
    Button10->setGeometry(516, 95, 110, 25);
    Button1 = Named(new QPushButton(QStringLiteral("終了"), ClientArea), "Button1");
    Button1->setGeometry(516, 130, 110, 25);
    // The whole tank playing, in a window of its own (F5 too).
    LiveView1 = new LiveView(state, this);
    LiveViewButton = Named(new QPushButton(QStringLiteral("動作プレビュー"), ClientArea), "LiveViewButton");
    LiveViewButton->setGeometry(516, 175, 110, 25);
    LiveViewButton->setToolTip(kLiveViewTitle);

    ComboBox1 = Named(new QComboBox(ClientArea), "ComboBox1");
    ComboBox1->setEditable(true);
    for (const ScreenResolution& resolution : kScreenResolutions)
        ComboBox1->addItem(QString::fromUtf16(resolution.Text));
    ComboBox1->setCurrentIndex(kDefaultResolution);
    ComboBox1->setGeometry(504, 352, 121, 22);
    // A caption of its own in the free space above it, its buddy: through it a screen
    // reader names the box.
    ComboBox1Caption = Named(new QLabel(QStringLiteral("画面の解像度"), ClientArea),
                             "ComboBox1Caption");
    ComboBox1Caption->setGeometry(504, 334, 121, 16);
    ComboBox1Caption->setBuddy(ComboBox1);

    // The bar that says what other programs did to the open files: below the client area,
    // the window growing by its height while it shows.
    NoticeBar = Named(new QFrame(this), "NoticeBar");
    NoticeBar->setFrameShape(QFrame::StyledPanel);
    NoticeBar->setStyleSheet(QStringLiteral("QFrame#NoticeBar { background: #fff3c4; }"));
    NoticeLabel = Named(new QLabel(NoticeBar), "NoticeLabel");
    NoticeLabel->setGeometry(8, 0, 400, kNoticeBarHeight);
    ReloadButton = Named(new QPushButton(QStringLiteral("読み込み直す"), NoticeBar), "ReloadButton");
    ReloadButton->setGeometry(416, 4, 110, kNoticeBarHeight - 8);
    IgnoreButton = Named(new QPushButton(QStringLiteral("無視"), NoticeBar), "IgnoreButton");
    IgnoreButton->setGeometry(532, 4, 96, kNoticeBarHeight - 8);
    NoticeBar->hide();
    connect(ReloadButton, &QPushButton::clicked, this, &MainWindow::ReloadButtonClick);
    connect(IgnoreButton, &QPushButton::clicked, this, &MainWindow::IgnoreButtonClick);

    // Unsaved work is copied a pause after the last edit, never on every key.
    m_recoveryTimer = new QTimer(this);
    m_recoveryTimer->setSingleShot(true);
    m_recoveryTimer->setInterval(kRecoveryPauseMs);
    connect(m_recoveryTimer, &QTimer::timeout, this, &MainWindow::KeepRecovery);
    connect(&fishEditor, &FishEditor::Shown, this, &MainWindow::FollowRecovery);
    connect(&fishEditor, &FishEditor::Saved, this, &MainWindow::FollowRecovery);

    // Files and folders other programs change: one watch for the program.
    Watcher = new FileWatcher(state.FileSystem.Paths(), FileWatcher::kCoalesceMs, this);
    connect(Watcher, &FileWatcher::Changed, this, &MainWindow::FilesChangedOnDisk);

    connect(FishPage1, &FishPage::Changed, this, &MainWindow::Refresh);
    connect(RandomPage1, &RandomListPage::Changed, this, &MainWindow::Refresh);
    connect(MidiPage1, &MidiListPage::Changed, this, &MainWindow::Refresh);
    // The canvas changes only what the accessory page shows; moves come often.
    connect(AccessoryPage1, &AccessoryPage::Changed, AccessoryPage1, &AccessoryPage::Refresh);
    connect(TankPage1, &TankPage::Changed, this, &MainWindow::Refresh);
    connect(ComboBox1, &QComboBox::currentTextChanged, this, &MainWindow::ComboBox1Change);
    connect(TabbedNotebook1, &QTabWidget::currentChanged, this, &MainWindow::TabbedNotebook1Change);
    connect(Button6, &QPushButton::clicked, this, &MainWindow::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &MainWindow::Button7Click);
    connect(Button10, &QPushButton::clicked, this, &MainWindow::Button10Click);
    connect(Button1, &QPushButton::clicked, this, &MainWindow::Button1Click);
    connect(LiveViewButton, &QPushButton::clicked, this, &MainWindow::LiveViewClick);
    // The live view shows every change: the accessory page's, a character written anew.
    connect(AccessoryPage1, &AccessoryPage::Changed, LiveView1, &LiveView::Follow);
    connect(&fishEditor, &FishEditor::Saved, LiveView1, &LiveView::Follow);
    // An undo or redo puts back a state: show it.
    connect(&m_state.Edits.Stack(), &QUndoStack::indexChanged, this, &MainWindow::Refresh);

    // The keys, from anywhere in the window (those of the menus are the menus').
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { TurnPage(1); });
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::Key_PageDown), [this] { TurnPage(1); });
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [this] { TurnPage(-1); });
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::Key_PageUp), [this] { TurnPage(-1); });

    // Undo and redo from wherever the focus is, here (the menu's keys) and in the live view.
    KeepUndoKeysFromFields(this);
    connect(LiveView1, &LiveView::UndoAsked, this, &MainWindow::Undo);
    connect(LiveView1, &LiveView::RedoAsked, this, &MainWindow::Redo);

    // A file dropped on a text field opens as a drop on the frame does: no field ever
    // takes a file's address as its text. (The list pages take files of their own.)
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->acceptDrops()
            && (qobject_cast<QLineEdit*>(child) || qobject_cast<QPlainTextEdit*>(child)))
            child->installEventFilter(this);
    }
    MakeMenus();
    Arrange();
    Describe();
    // The fish editor belongs to this window from now on (after the walks over the
    // window's own controls above).
    m_fishEditor.SetOwner(this);
    // Listening while choosing: the tank page's sound, the MIDI page's pieces.
    auto* listening = new Listening(m_state.FileSystem, this);
    TankPage1->SetListening(listening);
    MidiPage1->SetListening(listening);
    connect(TankPage1, &TankPage::Said, this, &MainWindow::Say);
    connect(MidiPage1, &MidiListPage::Said, this, &MainWindow::Say);
    Refresh();
}

MainWindow::~MainWindow()
{
    // The editor outlives the window: it is not one of the children deleted with it.
    m_fishEditor.SetOwner(nullptr);
}

void MainWindow::Describe()
{
    // What the pointer is over, in the status bar: what a control does, and its key.
    Button6->setStatusTip(QStringLiteral("水槽ファイル (.uld) を読み込みます  Ctrl+O"));
    Button7->setStatusTip(
            QStringLiteral("リストを保存し、水槽ファイルに名前をつけて保存します  Ctrl+Shift+S"));
    Button10->setStatusTip(QStringLiteral("バージョン情報を表示します  F1"));
    Button1->setStatusTip(QStringLiteral("保存してから終了します"));
    LiveViewButton->setStatusTip(QStringLiteral("水槽全体の動きを別のウィンドウで見ます  F5"));
    ComboBox1->setStatusTip(QStringLiteral("スクリーンセーバーの画面の解像度"));
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->statusTip().isEmpty() && !child->toolTip().isEmpty())
            child->setStatusTip(child->toolTip());
    }
    // The buttons' texts name them; the other controls are named here for screen readers.
    TabbedNotebook1->setAccessibleName(QStringLiteral("ページ"));
    StatusBar1->setAccessibleName(QStringLiteral("状態"));
    NoticeBar->setAccessibleName(QStringLiteral("お知らせ"));
}

void MainWindow::MakeMenus()
{
    const auto add = [this](QMenu* menu, const char* name, const QString& text,
                            const QList<QKeySequence>& keys, const std::function<void()>& run) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action); // the keys work with the menus closed, whatever has the focus
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    QMenu* file = MenuBar1->addMenu(QStringLiteral("ファイル(&F)"));
    ActionLoad = add(file, "ActionLoad", QStringLiteral("読み込み..."), {QKeySequence(Qt::CTRL | Qt::Key_O)},
                     [this] { Button6Click(); });
    ActionSave = add(file, "ActionSave", QStringLiteral("保存"), {QKeySequence(Qt::CTRL | Qt::Key_S)},
                     [this] { SaveClick(); });
    ActionSaveAs = add(file, "ActionSaveAs", QStringLiteral("名前をつけて保存..."),
                       {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, [this] { Button7Click(); });
    file->addSeparator();
    ActionSample = add(file, "ActionSample", QStringLiteral("サンプルの水槽を開く"), {},
                       [this] { OpenSample(); });
    ActionSample->setEnabled(false); // until the sample's folder is known
    file->addSeparator();
    // Ctrl+Q quits as the close box does: it asks only when something is unsaved.
    ActionExit = add(file, "ActionExit", QStringLiteral("終了"), {QKeySequence(Qt::CTRL | Qt::Key_Q)},
                     [this] { close(); });
    QMenu* editMenu = MenuBar1->addMenu(QStringLiteral("編集(&E)"));
    // The open menu greys what there is nothing to do for; closed, the keys always reach
    // Undo and Redo (a drag or a typing in progress is a step the menu could not know of).
    connect(editMenu, &QMenu::aboutToShow, this, [this] { NameUndoSteps(true); });
    connect(editMenu, &QMenu::aboutToHide, this, [this] { NameUndoSteps(false); });
    ActionUndo = add(editMenu, "ActionUndo", QStringLiteral("元に戻す"),
                     {QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { Undo(); });
    ActionRedo = add(editMenu, "ActionRedo", QStringLiteral("やり直し"),
                     {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
                     [this] { Redo(); });
    QMenu* view = MenuBar1->addMenu(QStringLiteral("表示(&V)"));
    for (int page = 0; page < TabbedNotebook1->count(); ++page) {
        const QByteArray name = "ActionPage" + QByteArray::number(page + 1);
        ActionPages[size_t(page)] = add(view, name.constData(), TabbedNotebook1->tabText(page),
            {QKeySequence(Qt::CTRL | (Qt::Key_1 + page))},
            [this, page] { TabbedNotebook1->setCurrentIndex(page); });
    }
    view->addSeparator();
    ActionLiveView = add(view, "ActionLiveView", QStringLiteral("動作プレビュー"),
                         {QKeySequence(Qt::Key_F5)}, [this] { LiveViewClick(); });
    QMenu* help = MenuBar1->addMenu(QStringLiteral("ヘルプ(&H)"));
    ActionVersion = add(help, "ActionVersion", QStringLiteral("バージョン情報"),
                        {QKeySequence(Qt::Key_F1)}, [this] { Button10Click(); });
}

bool MainWindow::event(QEvent* event)
{
    // What the pointer is over, or the canvas's keys while it has the focus; when that
    // ends, what last happened comes back.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        StatusBar1->showMessage(tip.isEmpty() ? m_said : tip);
        return true;
    }
    return QWidget::event(event);
}

void MainWindow::NameUndoSteps(bool showing)
{
    const QString undo = m_state.Edits.UndoName();
    const QString redo = m_state.Edits.RedoName();
    ActionUndo->setText(undo.isEmpty() ? QStringLiteral("元に戻す") : u"元に戻す: "_qs + undo);
    ActionRedo->setText(redo.isEmpty() ? QStringLiteral("やり直し") : u"やり直し: "_qs + redo);
    ActionUndo->setEnabled(!showing || !undo.isEmpty());
    ActionRedo->setEnabled(!showing || !redo.isEmpty());
}

void MainWindow::Say(const QString& text)
{
    m_said = text;
    StatusBar1->showMessage(text);
}

void MainWindow::AfterReplace()
{
    AccessoryPage1->Follow();
    Refresh();
}

void MainWindow::Arrange()
{
    const int menu = MenuBar1->sizeHint().height();
    const int notice = NoticeBar->isVisibleTo(this) ? kNoticeBarHeight : 0;
    const int status = StatusBar1->sizeHint().height();
    MenuBar1->setGeometry(0, 0, kClientWidth, menu);
    ClientArea->move(0, menu);
    NoticeBar->setGeometry(0, menu + kClientHeight, kClientWidth, kNoticeBarHeight);
    StatusBar1->setGeometry(0, menu + kClientHeight + notice, kClientWidth, status);
    setFixedSize(kClientWidth, menu + kClientHeight + notice + status);
}

void MainWindow::Refresh()
{
    m_refreshing = true;
    // The caption of the state stays as it is; the title marks unsaved work, Qt's way.
    setWindowTitle(WindowTitle(m_state) + u"[*]"_qs);
    setWindowModified(m_state.Edits.Modified());
    TabbedNotebook1->setCurrentIndex(m_state.NotebookPage);
    m_refreshing = false;
    NameUndoSteps(false);

    LiveView1->Follow();
    FishPage1->Refresh();
    TankPage1->Refresh();
    AccessoryPage1->Refresh();

    RandomPage1->Refresh();
    MidiPage1->Refresh();
    UpdateWatch();
    FollowRecovery();
}

void MainWindow::FollowRecovery()
{
    if (!m_recovery)
        return;
    if (!m_state.Edits.Modified() && !m_fishEditor.HasEdits())
        m_recovery->Remove(); // saved or discarded: the copy is no longer needed
    else
        m_recoveryTimer->start();
}

void MainWindow::KeepRecovery()
{
    if (m_recovery)
        m_recovery->Keep(m_fishEditor.UnsavedCharacter());
}

void MainWindow::UpdateWatch()
{
    const QStringList others = QStringList {m_state.CurrentFile, m_state.MidiListFile,
                                            AccessoryPage1->PreviewFile()}
                               + WatchedFolders(m_state) + m_fishEditor.WatchedFiles();
    if (m_state.Doc == m_watchedDoc && others == m_watchedOthers)
        return;
    m_watchedDoc = m_state.Doc;
    m_watchedOthers = others;
    QStringList files = WatchedFiles(m_state) + m_fishEditor.WatchedFiles();
    if (const QString preview = AccessoryPage1->PreviewFile(); !preview.isEmpty())
        files << preview;
    Watcher->Watch(WatchedFolders(m_state), files);
}

void MainWindow::FilesChangedOnDisk(const QStringList& folders, const QStringList& files)
{
    std::vector<DiskNotice> notices = FollowDisk(m_state, folders, files);
    bool fromEditor = false;
    if (std::optional<DiskNotice> notice = m_fishEditor.FollowDisk(files)) {
        notices.push_back(*notice);
        fromEditor = true;
    }
    // The file lists show what their folders hold now.
    for (FileListBox* list : findChildren<FileListBox*>()) {
        if (folders.contains(list->Directory(), Qt::CaseInsensitive))
            list->Relist();
    }
    const QString preview = AccessoryPage1->PreviewFile();
    if (!preview.isEmpty()
        && (files.contains(preview, Qt::CaseInsensitive)
            || folders.contains(m_state.AccessoryListFolder, Qt::CaseInsensitive)))
        AccessoryPage1->FileListBox1Change();
    LiveView1->Follow();
    if (!notices.empty()) {
        const DiskNotice& last = notices.back();
        ShowNotice(last.Text, last.File, last.What == DiskNotice::ChangedWithEdits,
                   fromEditor && &last == &notices.back());
    }
    Refresh();
}

void MainWindow::ShowNotice(const QString& text, const QString& file, bool offerReload,
                            bool fromEditor)
{
    m_noticeFile = file;
    m_noticeFromEditor = fromEditor;
    NoticeLabel->setText(text);
    ReloadButton->setVisible(offerReload);
    IgnoreButton->setText(offerReload ? QStringLiteral("無視") : QStringLiteral("閉じる"));
    NoticeBar->show();
    Arrange();
}

void MainWindow::ReloadButtonClick()
{
    if (m_noticeFromEditor)
        m_fishEditor.ReloadFromDisk();
    else
        ReloadFromDisk(m_state, m_noticeFile);
    IgnoreButtonClick();
    Say(kLoadedStatus.arg(FileNamePart(m_noticeFile)));
    AfterReplace();
}

void MainWindow::IgnoreButtonClick()
{
    NoticeBar->hide();
    Arrange();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Where no notification reaches, the window looks when it is used again.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Watcher->CheckNow();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    CentreOn(*this, nullptr);
    FormShow();
}

namespace {

bool IsCharacterFile(const QString& path)
{
    return path.endsWith(kCharacterExtension, Qt::CaseInsensitive);
}

} // namespace

void MainWindow::FormShow()
{
    // Work an earlier run did not save comes first: restored, it is what the window shows.
    if (m_recovery) {
        if (std::optional<Recovery::Restored> restored = m_recovery->Offer()) {
            if (restored->Copy.Character)
                m_fishEditor.Restore(*restored->Copy.Character);
            for (const DiskNotice& notice : restored->Notices)
                ShowNotice(notice.Text, notice.File, true, false);
            AfterReplace();
            return;
        }
    }
    // A fish character file opens in the fish editor, the main window behind it as usual.
    const bool character = IsCharacterFile(m_commandLineFile);
    aquarium::FormShow(m_state, character ? QString() : m_commandLineFile);
    if (!m_state.CurrentFile.isEmpty())
        Say(kLoadedStatus.arg(FileNamePart(m_state.CurrentFile)));
    else if (!m_state.Configured)
        Say(kNoSettingsStatus);
    AfterReplace();
    if (character && m_state.FileSystem.FileExists(m_commandLineFile))
        OpenCharacterFile(m_commandLineFile);
}

void MainWindow::OpenCharacterFile(const QString& windowsPath)
{
    // The editor works on the path without ".ulc"; its bitmap is the .bmp beside it.
    m_fishEditor.OpenFor(windowsPath.chopped(4), 1);
}

void MainWindow::Button6Click()
{
    if (LoadCommand(m_state))
        Say(kLoadedStatus.arg(FileNamePart(m_state.CurrentFile)));
    AfterReplace();
}

void MainWindow::SetSampleFolder(const QString& hostFolder, const QString& copyFolder)
{
    m_sampleFolder = hostFolder;
    m_sampleCopy = copyFolder;
    ActionSample->setEnabled(!hostFolder.isEmpty()
                             && QFile::exists(hostFolder + u"/tetra.uld"_qs));
}

namespace {

// Copies the folder from into to (made with its parents), files and sub-folders alike.
bool CopyFolder(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator entries(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
    const QDir source(from);
    while (entries.hasNext()) {
        const QFileInfo entry = entries.nextFileInfo();
        const QString target = to + u'/' + source.relativeFilePath(entry.filePath());
        if (entry.isDir() ? !QDir().mkpath(target) : !QFile::copy(entry.filePath(), target))
            return false;
        if (!entry.isDir())
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    return true;
}

} // namespace

void MainWindow::OpenSample()
{
    if (m_sampleFolder.isEmpty() || !AskToSaveChanges(m_state)) {
        Refresh();
        return;
    }
    // The installed sample stays as it is: the user's copy is what opens and is saved.
    if (!QFile::exists(m_sampleCopy + u"/tetra.uld"_qs)
        && !CopyFolder(m_sampleFolder, m_sampleCopy)) {
        m_state.UserPrompts.ShowError(kSampleCopyFailed.arg(QDir::toNativeSeparators(m_sampleCopy)));
        Refresh();
        return;
    }
    const PathMap& paths = m_state.FileSystem.Paths();
    if (StartWith(m_state, paths.ToWindows(m_sampleCopy + u"/tetra.uld"_qs),
                  paths.ToWindows(m_sampleCopy + u"/midi/sample.lst"_qs)))
        Say(kLoadedStatus.arg(FileNamePart(m_state.CurrentFile)));
    AfterReplace();
}

namespace {

// The aquarium file (.uld) or fish character file (.ulc) dropped, as a host path.
QString DroppedAquariumFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return QString();
    const QString path = data->urls().first().toLocalFile();
    return path.endsWith(kAquariumExtension, Qt::CaseInsensitive) || IsCharacterFile(path) ? path
                                                                                   : QString();
}

} // namespace

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData() && drop->mimeData()->hasUrls()) {
            if (type == QEvent::Drop)
                dropEvent(drop);
            else if (DroppedAquariumFile(drop->mimeData()).isEmpty())
                drop->ignore();
            else
                drop->acceptProposedAction();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedAquariumFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = DroppedAquariumFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    OpenDroppedFile(m_state.FileSystem.Paths().ToWindows(path));
}

void MainWindow::OpenDroppedFile(const QString& windowsPath)
{
    if (IsCharacterFile(windowsPath)) {
        OpenCharacterFile(windowsPath);
        return;
    }
    if (!AskToSaveChanges(m_state)) {
        Refresh();
        return;
    }
    if (LoadAquariumFile(m_state, windowsPath)) {
        m_state.CurrentFile = windowsPath;
        Say(kLoadedStatus.arg(FileNamePart(windowsPath)));
    }
    AfterReplace();
}

void MainWindow::Button7Click()
{
    if (SaveAsCommand(m_state))
        Say(kSavedStatus.arg(SavedName()));
    Refresh();
}

QString MainWindow::SavedName() const
{
    // The aquarium file, or the lists alone while random.uld is open and unchanged.
    if (!m_state.CurrentFile.isEmpty() && !IsRandomListName(FileNamePart(m_state.CurrentFile)))
        return FileNamePart(m_state.CurrentFile);
    return kRandomListName;
}

void MainWindow::ComboBox1Change()
{
    Guard(m_state.UserPrompts, [this] { ChangeScreenResolution(m_state, ComboBox1->currentText()); });
    Refresh();
}

void MainWindow::TabbedNotebook1Change(int page)
{
    if (m_refreshing)
        return;
    m_state.NotebookPage = page;
    if (page == kAccessoryPage)
        Guard(m_state.UserPrompts, [this] { DrawTankPreview(m_state); });
    Refresh();
}

void MainWindow::Button10Click()
{
    m_versionWindow.show();
    m_versionWindow.raise();
    m_versionWindow.activateWindow();
}

void MainWindow::LiveViewClick()
{
    LiveView1->show();
    LiveView1->raise();
    LiveView1->activateWindow();
}

void MainWindow::SaveClick()
{
    if (SaveCommand(m_state))
        Say(kSavedStatus.arg(SavedName()));
    Refresh();
}

void MainWindow::Undo()
{
    // A drag on the canvas is one step: it ends first, then it is what goes.
    AccessoryPage1->EndDrag();
    const QString step = m_state.Edits.UndoName();
    m_state.Edits.Undo();
    if (!step.isEmpty())
        Say(kUndoneStatus.arg(step));
    AfterReplace();
}

void MainWindow::Redo()
{
    AccessoryPage1->EndDrag();
    const QString step = m_state.Edits.RedoName();
    m_state.Edits.Redo();
    if (!step.isEmpty())
        Say(kRedoneStatus.arg(step));
    AfterReplace();
}

void MainWindow::TurnPage(int step)
{
    const int count = TabbedNotebook1->count();
    TabbedNotebook1->setCurrentIndex((TabbedNotebook1->currentIndex() + step + count) % count);
}

void MainWindow::Button1Click()
{
    // Exit: the save-as command runs first; unsaved work that it did not save is asked
    // about, in the main window and in the fish editor. Only an answer that lets the work
    // go ends the program.
    if (!ExitCommand(m_state) || !m_fishEditor.MayDiscardEdits()) {
        Refresh();
        return;
    }
    EndProgram();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closed by the title bar, the window manager or Ctrl+Q: unsaved work is asked about
    // first, in the fish editor and in the main window.
    if (!m_exiting && (!m_fishEditor.MayDiscardEdits() || !AskToSaveChanges(m_state))) {
        event->ignore();
        Refresh();
        return;
    }
    event->accept();
    EndProgram();
}

void MainWindow::EndProgram()
{
    if (m_exiting)
        return;
    m_exiting = true;
    // The user chose how the work ends: no copy of it is kept.
    if (m_recovery)
        m_recovery->Remove();
    // Every question has been answered: the other windows go without asking again, and
    // the program ends whatever they would say to a close.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this)
            window->hide();
    }
    close();
    // Leaves the running event loop; a test that drives the window runs none.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

} // namespace aquarium

#include "ui/shell/main_window.h"

#include "core/operations/page_operations.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/disk_changes.h"
#include "core/state/recovery.h"
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
#include "ui/widgets/window_place.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
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
    setFixedSize(kClientWidth, kClientHeight);
    setAcceptDrops(true);

    TabbedNotebook1 = Named(new QTabWidget(this), "TabbedNotebook1");
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

    Button6 = Named(new QPushButton(QStringLiteral("ULDﾌｧｲﾙ読み込み"), this), "Button6");
    Button6->setGeometry(516, 8, 110, 25);
    Button7 = Named(new QPushButton(QStringLiteral("名前をつけて保存"), this), "Button7");
    Button7->setGeometry(516, 40, 110, 25);
    Button10 = Named(new QPushButton(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"), this), "Button10");
    Button10->setGeometry(516, 95, 110, 25);
    Button1 = Named(new QPushButton(QStringLiteral("終了"), this), "Button1");
    Button1->setGeometry(516, 130, 110, 25);
    // The whole tank playing, in a window of its own (F5 too).
    LiveView1 = new LiveView(state, this);
    LiveViewButton = Named(new QPushButton(QStringLiteral("動作プレビュー"), this), "LiveViewButton");
    LiveViewButton->setGeometry(516, 175, 110, 25);
    LiveViewButton->setToolTip(kLiveViewTitle);

    ComboBox1 = Named(new QComboBox(this), "ComboBox1");
    ComboBox1->setEditable(true);
    for (const ScreenResolution& resolution : kScreenResolutions)
        ComboBox1->addItem(QString::fromUtf16(resolution.Text));
    ComboBox1->setCurrentIndex(kDefaultResolution);
    ComboBox1->setGeometry(504, 352, 121, 22);

    // The bar that says what other programs did to the open files: below the client area,
    // the window growing by its height while it shows.
    NoticeBar = Named(new QFrame(this), "NoticeBar");
    NoticeBar->setFrameShape(QFrame::StyledPanel);
    NoticeBar->setGeometry(0, kClientHeight, kClientWidth, kNoticeBarHeight);
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

    // The keys, from anywhere in the window.
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::Key_O), [this] { Button6Click(); });
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { Button7Click(); });
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::Key_S), [this] { SaveClick(); });
    // Ctrl+Q quits as the close box does: it asks only when something is unsaved.
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
    OnKeys(this, QKeySequence(Qt::Key_F1), [this] { Button10Click(); });
    OnKeys(this, QKeySequence(Qt::Key_F5), [this] { LiveViewClick(); });
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::Key_Tab), [this] { TurnPage(1); });
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::Key_PageDown), [this] { TurnPage(1); });
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), [this] { TurnPage(-1); });
    OnKeys(this, QKeySequence(Qt::CTRL | Qt::Key_PageUp), [this] { TurnPage(-1); });

    // Undo and redo from wherever the focus is, here and in the live view.
    OnUndoKeys(this, [this] { Undo(); }, [this] { Redo(); });
    connect(LiveView1, &LiveView::UndoAsked, this, &MainWindow::Undo);
    connect(LiveView1, &LiveView::RedoAsked, this, &MainWindow::Redo);

    // A file dropped on a text field opens as a drop on the frame does: no field ever
    // takes a file's address as its text. (The list pages take files of their own.)
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->acceptDrops()
            && (qobject_cast<QLineEdit*>(child) || qobject_cast<QPlainTextEdit*>(child)))
            child->installEventFilter(this);
    }
    Refresh();
}

void MainWindow::Refresh()
{
    m_refreshing = true;
    // The caption of the state stays as it is; the title marks unsaved work, Qt's way.
    setWindowTitle(WindowTitle(m_state) + u"[*]"_qs);
    setWindowModified(m_state.Edits.Modified());
    TabbedNotebook1->setCurrentIndex(m_state.NotebookPage);
    m_refreshing = false;

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
    setFixedSize(kClientWidth, kClientHeight + kNoticeBarHeight);
}

void MainWindow::ReloadButtonClick()
{
    if (m_noticeFromEditor)
        m_fishEditor.ReloadFromDisk();
    else
        ReloadFromDisk(m_state, m_noticeFile);
    IgnoreButtonClick();
    Refresh();
}

void MainWindow::IgnoreButtonClick()
{
    NoticeBar->hide();
    setFixedSize(kClientWidth, kClientHeight);
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
            Refresh();
            return;
        }
    }
    // A fish character file opens in the fish editor, the main window behind it as usual.
    const bool character = IsCharacterFile(m_commandLineFile);
    aquarium::FormShow(m_state, character ? QString() : m_commandLineFile);
    Refresh();
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
    LoadCommand(m_state);
    Refresh();
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
    if (LoadAquariumFile(m_state, windowsPath))
        m_state.CurrentFile = windowsPath;
    Refresh();
}

void MainWindow::Button7Click()
{
    SaveAsCommand(m_state);
    Refresh();
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
    SaveCommand(m_state);
    Refresh();
}

void MainWindow::Undo()
{
    // A drag on the canvas is one step: it ends first, then it is what goes.
    AccessoryPage1->EndDrag();
    m_state.Edits.Undo();
}

void MainWindow::Redo()
{
    AccessoryPage1->EndDrag();
    m_state.Edits.Redo();
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

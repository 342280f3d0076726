#pragma once

#include "core/document/aquarium.h"
#include "core/platform/file_watcher.h"

#include <QWidget>

#include <array>

class QAction;
class QComboBox;
class QMenuBar;
class QStatusBar;
class QFrame;
class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;

namespace aquarium {

struct AppState;
class FishEditor;
class LiveView;
class AccessoryPage;
class FishPage;
class MidiListPage;
class RandomListPage;
class TankPage;
class VersionWindow;
class Recovery;

// The main window's client area, and the bar below it.
inline constexpr int kClientWidth = 636;
inline constexpr int kClientHeight = 419;
inline constexpr int kNoticeBarHeight = 30;
// How long after the last edit unsaved work is copied.
inline constexpr int kRecoveryPauseMs = 2000;

// TForm1: the main window. A five-page notebook on the left and the frame buttons on
// the right. It shows the application state and writes user edits back into it.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    MainWindow(AppState& state, VersionWindow& versionWindow, FishEditor& fishEditor);
    ~MainWindow() override;

    // Shows the whole state anew in the controls.
    void Refresh();

    // The aquarium file named on the command line (a Windows path), opened when the
    // window is first shown.
    void SetCommandLineFile(const QString& windowsPath) { m_commandLineFile = windowsPath; }
    // Where unsaved work is kept against a crash: copies written a pause after the last
    // edit, and those of an earlier run offered when the window is first shown.
    void SetRecovery(Recovery* recovery) { m_recovery = recovery; }
    // The folder of the sample aquarium the package installs (a host path; empty: none).
    // Its first opening copies it to a folder of the user's, where it is opened and saved.
    void SetSampleFolder(const QString& hostFolder, const QString& copyFolder);
    void OpenSample();
    // Writes the recovery copy now (the pause is over).
    void KeepRecovery();
    // After a change: the copy goes when nothing is unsaved, else comes after a pause.
    void FollowRecovery();

    void FormShow();
    void Button6Click();
    // Opens a dropped file (a Windows path): an aquarium file as the load command does, a
    // fish character file in the fish editor.
    void OpenDroppedFile(const QString& windowsPath);
    // Opens a fish character file (a Windows path ending in .ulc) in the fish editor.
    void OpenCharacterFile(const QString& windowsPath);
    void Button7Click();
    void Button10Click();
    void Button1Click();
    void SaveClick();          // Ctrl+S
    void LiveViewClick();      // LiveViewButton, F5
    void TurnPage(int step);   // Ctrl+Tab, Ctrl+PgDn (1), Ctrl+Shift+Tab, Ctrl+PgUp (-1)
    void Undo();               // Ctrl+Z, from any control here or in the live view
    void Redo();               // Ctrl+Shift+Z, Ctrl+Y
    // Other programs changed these folders and files (Windows paths, as watched).
    void FilesChangedOnDisk(const QStringList& folders, const QStringList& files);
    void ReloadButtonClick();  // the bar's 読み込み直す
    void IgnoreButtonClick();  // the bar's 無視 / 閉じる
    void ComboBox1Change();
    void TabbedNotebook1Change(int page);

    // The client area (636 x 419) with every control where it always stood; the menu bar
    // above it, the notice bar and the status bar below.
    QWidget* ClientArea = nullptr;
    QMenuBar* MenuBar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QTabWidget* TabbedNotebook1 = nullptr;
    QPushButton* Button6 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button10 = nullptr;
    QPushButton* Button1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QLabel* ComboBox1Caption = nullptr;
    QPushButton* LiveViewButton = nullptr;
    LiveView* LiveView1 = nullptr;
    QAction *ActionLoad = nullptr, *ActionSave = nullptr, *ActionSaveAs = nullptr,
            *ActionSample = nullptr, *ActionExit = nullptr, *ActionUndo = nullptr,
            *ActionRedo = nullptr, *ActionLiveView = nullptr, *ActionVersion = nullptr;
    std::array<QAction*, 5> ActionPages = {};
    // Below the client area, what other programs did to the open files.
    QFrame* NoticeBar = nullptr;
    QLabel* NoticeLabel = nullptr;
    QPushButton* ReloadButton = nullptr;
    QPushButton* IgnoreButton = nullptr;
    FileWatcher* Watcher = nullptr;

    FishPage* FishPage1 = nullptr;
    TankPage* TankPage1 = nullptr;
    AccessoryPage* AccessoryPage1 = nullptr;
    RandomListPage* RandomPage1 = nullptr;
    MidiListPage* MidiPage1 = nullptr;

private:

    // Ends the program once the user has chosen to: every window goes, none asks again.
    void EndProgram();

    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    // The menus and their keys; the window's parts placed, its size following them.
    void MakeMenus();
    void Arrange();
    // Status tips and accessible names.
    void Describe();
    bool event(QEvent* event) override;
    // The status bar says text until something else happens; a pointer's tip shows over it
    // for a while.
    void Say(const QString& text);
    // 元に戻す and やり直し name their steps; greyed when there is none while the menu shows.
    void NameUndoSteps(bool showing);
    // The file a save just wrote, by name.
    [[nodiscard]] QString SavedName() const;
    // The state was replaced under the views (a load, an undo): they show it.
    void AfterReplace();
    // The watch follows what the state shows and holds open.
    void UpdateWatch();
    void ShowNotice(const QString& text, const QString& file, bool offerReload, bool fromEditor);
    void closeEvent(QCloseEvent* event) override;
    // An aquarium file dropped from a file manager opens as the load command opens it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Drops on the fields and lists of the pages come here first.
    bool eventFilter(QObject* watched, QEvent* event) override;

    AppState& m_state;
    VersionWindow& m_versionWindow;
    FishEditor& m_fishEditor;
    bool m_exiting = false;
    QString m_commandLineFile;
    QString m_sampleFolder;
    QString m_sampleCopy;
    QString m_said; // what the status bar says when no tip shows
    bool m_shown = false;
    bool m_refreshing = false;
    // What the watch was made for, to make it anew only when that changes.
    Aquarium m_watchedDoc;
    QStringList m_watchedOthers;
    QString m_noticeFile;
    bool m_noticeFromEditor = false;
    Recovery* m_recovery = nullptr;
    QTimer* m_recoveryTimer = nullptr;
};

} // namespace aquarium

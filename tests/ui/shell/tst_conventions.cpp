#include "core/document/vocabulary.h"
#include "core/operations/layout_canvas.h"
#include "core/state/app_state.h"
#include "support/running_editor.h"
#include "support/test_world.h"
#include "ui/pages/accessory_page.h"
#include "ui/pages/fish_page.h"
#include "ui/pages/list_pages.h"
#include "ui/pages/tank_page.h"
#include "ui/shell/live_view.h"
#include "ui/widgets/app_icon.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <QWindow>

using namespace aquarium;
using namespace aquarium::test;

// The editor as people who use desktop programs every day expect it: menus that do what
// the keys do, a status bar that says what happened, the canvas by keyboard, Tab and
// Delete where they belong, names for screen readers, windows that stay where they go.
class TestConventions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void menuEntriesDoWhatTheirKeysDo_data();
    void menuEntriesDoWhatTheirKeysDo();
    void statusBarSaysWhatHappened();
    void canvasByKeysSavesWhatTheMouseSaves();
    void deleteKeyInTheLists_data();
    void deleteKeyInTheLists();
    void enterAppliesTheHighlightedSubFolder();
    void everyControlHasAName();
    void fishEditorStaysAboveTheMainWindow();
    void liveViewKeysAndPlace();
    void firstRunOpensTheSample();
    void windowClassIsTheDesktopEntrys();

private:
    void Start(const std::function<void(RunningEditor&)>& beforeShow = {})
    {
        m_app = std::make_unique<RunningEditor>(*m_world, beforeShow);
        m_state = &m_app->state;
        m_window = &m_app->window;
        m_prompts = &m_app->prompts;
        m_window->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(m_window));
    }
    void Select(ListBox* list, const QString& name)
    {
        const int row = list->FindRow(name);
        QVERIFY(row >= 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->RowRect(row).center());
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : m_window, Qt::Key(key), modifiers);
    }

    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<RunningEditor> m_app;
    AppState* m_state = nullptr;
    MainWindow* m_window = nullptr;
    ScriptedPrompts* m_prompts = nullptr;
};

using Check = std::function<QString(MainWindow&, AppState&)>;
Q_DECLARE_METATYPE(Check)

void TestConventions::init()
{
    m_world = std::make_unique<TestWorld>();
    m_world->WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, SolidPicture(32, 48, 0x00A000));
    m_world->WritePicture(u"C:\\aq\\data\\iwa.bmp"_qs, SolidPicture(40, 20, 0x808080));
    m_world->MakeFolder(u"C:\\aq\\pics"_qs);
    m_world->WriteFile(u"C:\\aq\\sea.uld"_qs,
                       "Kesso's Screen Saver Ulvaro\r\n[Fish]\r\n\tdata\\neon,1,1,1\r\nDATA END\r\n"
                       "[Bottom]\r\n\tdata\\sand\r\n[Bubble]\r\nb\r\n[Sound]\r\ns\r\n"
                       "[ObjectBMP]\r\nDATA END\r\n[Object]\r\nDATA END\r\n");
    m_world->WriteFile(u"C:\\aq\\random.uld"_qs, "sea.uld\r\ntetra.uld\r\n");
    m_world->WriteFile(u"C:\\m\\a.mid"_qs, "MThd");
    m_world->WriteFile(u"C:\\m\\songs.lst"_qs, "a.mid\r\nb.mid\r\n");
    m_world->WriteRegistry(
        {{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs}, {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    m_world->EnterFolder(u"C:\\aq"_qs);
}

void TestConventions::cleanup()
{
    m_app.reset();
    m_world.reset();
}

void TestConventions::menuEntriesDoWhatTheirKeysDo_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<Check>("check");
    const Check file = [](MainWindow&, AppState& s) { return s.CurrentFile; };
    const Check page = [](MainWindow& w, AppState&) {
        return QString::number(w.TabbedNotebook1->currentIndex());
    };
    const Check amount = [](MainWindow&, AppState& s) { return s.Doc.Fish[0].FishAmount; };
    const int ctrl = int(Qt::ControlModifier);
    QTest::newRow("読み込み") << "ActionLoad" << int(Qt::Key_O) << ctrl << file;
    QTest::newRow("保存") << "ActionSave" << int(Qt::Key_S) << ctrl << file;
    QTest::newRow("名前をつけて保存") << "ActionSaveAs" << int(Qt::Key_S)
                                      << int(Qt::ControlModifier | Qt::ShiftModifier) << file;
    QTest::newRow("元に戻す") << "ActionUndo" << int(Qt::Key_Z) << ctrl << amount;
    QTest::newRow("やり直し") << "ActionRedo" << int(Qt::Key_Y) << ctrl << amount;
    QTest::newRow("3 ページ目") << "ActionPage3" << int(Qt::Key_3) << ctrl << page;
    QTest::newRow("動作プレビュー") << "ActionLiveView" << int(Qt::Key_F5) << 0
                                    << Check([](MainWindow& w, AppState&) {
                                           return QString::number(w.LiveView1->isVisible());
                                       });
    QTest::newRow("バージョン情報") << "ActionVersion" << int(Qt::Key_F1) << 0
                                    << Check([](MainWindow&, AppState&) {
                                           bool shown = false;
                                           for (QWidget* w : QApplication::topLevelWidgets())
                                               shown = shown || (w->inherits("aquarium::VersionWindow")
                                                                 && w->isVisible());
                                           return QString::number(shown);
                                       });
    QTest::newRow("終了") << "ActionExit" << int(Qt::Key_Q) << ctrl
                          << Check([](MainWindow& w, AppState&) {
                                 return QString::number(w.isVisible());
                             });
}

void TestConventions::menuEntriesDoWhatTheirKeysDo()
{
    QFETCH(QString, action);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(Check, check);
    // The same start twice: an edit to undo and redo, a file to load, a name to save as.
    QString results[2];
    for (int way = 0; way < 2; ++way) {
        Start();
        m_state->Doc.Fish[0].CharacterName = u"data\\neon"_qs;
        m_window->FishPage1->Slots[0].FishAmount->setText(u"7"_qs);
        m_state->Edits.Close();
        if (action == u"ActionRedo")
            m_window->Undo();
        m_prompts->QueueAnswer(u"C:\\aq\\sea.uld"_qs);
        m_prompts->QueueChoice(Choice::Discard);
        const QString before = check(*m_window, *m_state);
        QAction* entry = m_window->findChild<QAction*>(action);
        QVERIFY(entry);
        QVERIFY(entry->shortcuts().contains(QKeySequence(key | modifiers)));
        if (way == 0)
            entry->trigger();
        else
            QTest::keyClick(m_window->FishPage1->Slots[0].FishDataNo, Qt::Key(key),
                            Qt::KeyboardModifiers(modifiers));
        results[way] = check(*m_window, *m_state);
        QVERIFY2(results[way] != before, qPrintable(results[way]));
        m_app.reset();
    }
    QCOMPARE(results[1], results[0]);
}

void TestConventions::statusBarSaysWhatHappened()
{
    Start();
    QStatusBar* bar = m_window->StatusBar1;
    m_prompts->QueueAnswer(u"C:\\aq\\sea.uld"_qs);
    m_window->ActionLoad->trigger();
    QCOMPARE(bar->currentMessage(), u"読み込みました: sea.uld"_qs);

    m_window->FishPage1->Slots[0].FishAmount->setText(u"7"_qs);
    m_state->Edits.Close();
    m_window->Refresh();
    const QString step = m_state->Edits.Stack().undoText();
    QVERIFY(!step.isEmpty());
    QCOMPARE(m_window->ActionUndo->text(), u"元に戻す: "_qs + step);
    m_window->ActionUndo->trigger();
    QCOMPARE(bar->currentMessage(), u"元に戻しました: "_qs + step);
    QCOMPARE(m_window->ActionRedo->text(), u"やり直し: "_qs + step);
    m_window->ActionRedo->trigger();
    QCOMPARE(bar->currentMessage(), u"やり直しました: "_qs + step);

    m_window->ActionSave->trigger();
    QCOMPARE(bar->currentMessage(), u"保存しました: sea.uld"_qs);
    // A pointer's tip shows over it while the pointer is there; then what happened returns.
    QStatusTipEvent tip(u"tip"_qs);
    QApplication::sendEvent(m_window->Button6, &tip);
    QCOMPARE(bar->currentMessage(), u"tip"_qs);
    QStatusTipEvent none {QString()};
    QApplication::sendEvent(m_window->Button6, &none);
    QCOMPARE(bar->currentMessage(), u"保存しました: sea.uld"_qs);
}

void TestConventions::canvasByKeysSavesWhatTheMouseSaves()
{
    // The same edits, by mouse and by keys: place a rock, move it, sway and spread it,
    // place a plant and delete it, undo the delete; then save.
    QByteArray saved[2];
    int steps[2] = {};
    for (int way = 0; way < 2; ++way) {
        Start();
        m_state->Doc.Fish[0].CharacterName = u"data\\neon"_qs;
        m_window->TabbedNotebook1->setCurrentIndex(kAccessoryPage);
        AccessoryPage* page = m_window->AccessoryPage1;
        QWidget* canvas = page->Image5;
        const auto at = [](int column, int layer) { return CellCentre(column, layer); };
        if (way == 0) {
            const auto click = [&](QPoint p, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
                QTest::mouseMove(canvas, p);
                QTest::mousePress(canvas, button, keys, p);
                QTest::mouseRelease(canvas, button, keys, p);
            };
            Select(page->FileListBox1, u"iwa.bmp"_qs);
            click(at(3, 0), Qt::LeftButton, {});
            QTest::mouseMove(canvas, QPoint(300, 120)); // off the rock: nothing highlighted
            QTest::mouseMove(canvas, at(3, 0));
            QTest::mousePress(canvas, Qt::LeftButton, {}, at(3, 0));
            QTest::mouseMove(canvas, at(5, 2));
            QTest::mouseRelease(canvas, Qt::LeftButton, {}, at(5, 2));
            QTest::mouseMove(canvas, at(5, 2));
            click(at(5, 2), Qt::LeftButton, Qt::ShiftModifier);
            QTest::mouseMove(canvas, QPoint(300, 120));
            click(at(5, 2), Qt::LeftButton, Qt::ControlModifier);
            Select(page->FileListBox1, u"kusa.bmp"_qs);
            QTest::mouseMove(canvas, QPoint(300, 120));
            click(at(10, 4), Qt::LeftButton, {});
            QTest::mouseMove(canvas, QPoint(300, 120));
            click(at(10, 4), Qt::RightButton, {});
        } else {
            Select(page->FileListBox1, u"iwa.bmp"_qs);
            canvas->setFocus(Qt::TabFocusReason);
            for (int key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return,
                            Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Space, Qt::Key_S,
                            Qt::Key_W})
                QTest::keyClick(canvas, Qt::Key(key));
            QCOMPARE(page->Label19->text(), u"左右に揺れる"_qs); // the panel follows the cursor
            Select(page->FileListBox1, u"kusa.bmp"_qs);
            canvas->setFocus(Qt::TabFocusReason);
            for (int key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right,
                            Qt::Key_Right, Qt::Key_Down, Qt::Key_Return, Qt::Key_Delete})
                QTest::keyClick(canvas, Qt::Key(key));
        }
        QCOMPARE(m_state->Doc.LastObject, 0);
        QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_state->Doc.LastObject, 1);
        steps[way] = m_state->Edits.Stack().index();
        m_prompts->QueueAnswer(u"C:\\aq\\out.uld"_qs);
        m_window->ActionSaveAs->trigger();
        saved[way] = m_world->ReadFile(u"C:\\aq\\out.uld"_qs);
        QVERIFY(!saved[way].isEmpty());
        m_app.reset();
    }
    QCOMPARE(saved[1], saved[0]);
    QCOMPARE(steps[1], steps[0]);
}

void TestConventions::deleteKeyInTheLists_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("random.uld") << kRandomListPage;
    QTest::newRow("MIDI list") << kMidiListPage;
}

void TestConventions::deleteKeyInTheLists()
{
    QFETCH(int, page);
    Start();
    m_window->TabbedNotebook1->setCurrentIndex(page);
    DropListBox* list = page == kRandomListPage ? m_window->RandomPage1->ListBox1
                                                : m_window->MidiPage1->ListBox2;
    const QStringList before = list->Entries();
    QCOMPARE(before.size(), 2);
    Select(list, before.first());
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(list->Entries(), before.mid(1));
    QCOMPARE(m_state->Edits.Stack().count(), 1);
}

void TestConventions::enterAppliesTheHighlightedSubFolder()
{
    Start();
    TankPage* tank = m_window->TankPage1;
    m_window->TabbedNotebook1->setCurrentIndex(kTankPage);
    ListBox* folders = tank->FileListBox2;
    QCOMPARE(folders->Entries(), (QStringList {u"[data]"_qs, u"[pics]"_qs}));
    folders->setFocus();
    QTest::keyClick(folders, Qt::Key_Down);
    QCOMPARE(folders->CurrentRow(), 1);
    QCOMPARE(m_state->Doc.DataSubFolder, u"data\\"_qs); // the arrows only move the highlight
    QTest::keyClick(folders, Qt::Key_Return);
    QCOMPARE(m_state->Doc.DataSubFolder, u"pics\\"_qs);
}

void TestConventions::everyControlHasAName()
{
    Start();
    m_window->LiveViewClick();
    m_state->Doc.Fish[0].CharacterName = u"data\\neon"_qs;
    m_window->FishPage1->OpenCharacterEditor(0);
    QVERIFY(m_app->editor.isVisible());
    QStringList unnamed;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            // Qt's own parts (a scroll area's bars and viewport, a tab bar's buttons) are
            // named by Qt.
            bool ours = true;
            for (QWidget* p = w; p && ours; p = p->parentWidget())
                ours = p == w || (!p->objectName().startsWith(u"qt_"_qs)
                                  && !p->inherits("QAbstractScrollArea") && !p->inherits("QComboBox")
                                  && !p->inherits("QComboBoxPrivateContainer"));
            if (!ours || w->inherits("QTabBar") || w->inherits("QMenu"))
                continue;
            const auto* label = qobject_cast<QLabel*>(w);
            const bool picture = label && label->text().isEmpty() && !label->pixmap().isNull();
            if (!(w->focusPolicy() & Qt::TabFocus) && !picture)
                continue;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
            if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << window->objectName() + u'/' + w->objectName() + u'('
                                   + QLatin1String(w->metaObject()->className()) + u')';
        }
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", "_qs)));
    // The resolution box is named by its caption, the buddy label a screen reader follows.
    const auto labels = QAccessible::queryAccessibleInterface(m_window->ComboBox1)
                                ->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->text(QAccessible::Name), u"画面の解像度"_qs);
}

void TestConventions::fishEditorStaysAboveTheMainWindow()
{
    Start();
    FishEditor& editor = m_app->editor;
    m_state->Doc.Fish[0].CharacterName = u"data\\neon"_qs;
    m_window->FishPage1->OpenCharacterEditor(0);
    QVERIFY(editor.isVisible());
    QVERIFY(editor.isWindow());
    QCOMPARE(editor.windowHandle()->transientParent(), m_window->windowHandle());
}

void TestConventions::liveViewKeysAndPlace()
{
    m_world->WriteRegistry({{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs}});
    Start();
    m_prompts->QueueAnswer(u"C:\\aq\\sea.uld"_qs);
    m_window->ActionLoad->trigger();
    LiveView* view = m_window->LiveView1;
    m_window->ActionLiveView->trigger();
    QVERIFY(view->windowTitle().endsWith(u"sea.uld"_qs));
    view->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(view));
    QTRY_VERIFY(view->Label1->text().startsWith(u"再生中: sea.uld"_qs));
    QTest::keyClick(view, Qt::Key_Space);
    QVERIFY(view->Paused());
    QVERIFY(!view->Timer1.isActive());
    QVERIFY(view->Label1->text().startsWith(u"一時停止中: sea.uld"_qs));
    QTest::keyClick(view, Qt::Key_Space);
    QVERIFY(view->Timer1.isActive());
    QTest::keyClick(view, Qt::Key_F11);
    QTRY_VERIFY(view->isFullScreen());
    QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(!view->isFullScreen());
    // Moved, closed with Escape and opened again: where it was.
    view->move(40, 50);
    const QPoint placed = view->pos();
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(!view->isVisible());
    m_window->ActionLiveView->trigger();
    QCOMPARE(view->pos(), placed);
}

void TestConventions::firstRunOpensTheSample()
{
    m_world->WriteRegistry({});
    QTemporaryDir home;
    const QString copy = home.path() + u"/sample"_qs;
    Start([&](RunningEditor& app) { app.window.SetSampleFolder(AQUARIUM_SAMPLES_DIR, copy); });
    QCOMPARE(m_window->StatusBar1->currentMessage(), kNoSettingsStatus);
    QVERIFY(m_window->ActionSample->isEnabled());
    m_window->ActionSample->trigger();
    QCOMPARE(m_state->CurrentFile, m_app->files.Paths().ToWindows(copy + u"/tetra.uld"_qs));
    QCOMPARE(m_window->StatusBar1->currentMessage(), u"読み込みました: tetra.uld"_qs);
    QVERIFY(!m_state->Doc.Fish[0].CharacterName.isEmpty());
    QVERIFY(!m_state->MidiList.isEmpty());
    // The installed sample stays as it is; the user's copy is what a save writes.
    m_window->ActionSave->trigger();
    QVERIFY(m_prompts->Messages().isEmpty());
    QVERIFY(QFile::exists(copy + u"/data/neon.ulc"_qs));
}

void TestConventions::windowClassIsTheDesktopEntrys()
{
    // X11 takes the windows' class from the application name, Wayland the app id from the
    // desktop file name: both are the entry's, and the entry names it as StartupWMClass.
    PresentApplication();
    QSettings entry(QStringLiteral(AQUARIUM_SOURCE_DIR "/resources/org.ulvaro.AquariumMaker.desktop"),
                    QSettings::IniFormat);
    const QString startupClass = entry.value(u"Desktop Entry/StartupWMClass"_qs).toString();
    QCOMPARE(startupClass, QLatin1String(kApplicationId));
    QCOMPARE(QGuiApplication::applicationName(), startupClass);
    QCOMPARE(QGuiApplication::desktopFileName(), startupClass);
}

QTEST_MAIN(TestConventions)
#include "tst_conventions.moc"

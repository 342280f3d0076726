#include "core/document/aquarium_file.h"
#include "core/operations/page_operations.h"
#include "core/platform/text_file.h"
#include "core/state/commands.h"
#include "tool/state_json.h"
#include "support/running_editor.h"
#include "ui/pages/accessory_page.h"
#include "ui/pages/fish_page.h"
#include "ui/pages/list_pages.h"
#include "ui/pages/tank_page.h"
#include "ui/shell/live_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QWindow>

#include <functional>

using namespace aquarium;
using namespace aquarium::test;

// Unsaved work through the real windows: every kind of edit undone and redone, the
// questions before it would be lost, the fish editor keeping its edits, the keys.
class TestUnsavedWork : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void everyEditUndoesAndRedoes_data();
    void everyEditUndoesAndRedoes();
    void undoBackToTheSavedStateIsClean();
    void questionsBeforeWorkIsLost_data();
    void questionsBeforeWorkIsLost();
    void fishEditorKeepsItsEdits();
    void keys();
    void undoFromEveryControl_data();
    void undoFromEveryControl();
    void undoInTheMiddleOfADrag();
    void fishEditorUndoesItsOwnEdits();
    void exitEndsOnlyWhenTheWorkIsLetGo_data();
    void exitEndsOnlyWhenTheWorkIsLetGo();

private:
    // What the user sees and what a save would write.
    struct Observed
    {
        QJsonObject state;
        QStringList file;
        QImage tank;
        std::array<QImage, kFishSlotCount> fish;
        QImage swatch;
        bool operator==(const Observed&) const = default;
    };
    Observed Observe() const
    {
        Aquarium copy = m_state->Doc;
        return {StateToJson(*m_state, {}),
            AquariumFileLines(m_app->files, copy) + m_state->RandomList + m_state->MidiList,
            m_state->View.TankPicture, m_state->View.FishPictures, ColourSwatch(m_state->Doc)};
    }
    void Keys(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QTest::keyClick(m_window, key, modifiers);
    }
    void Page(int page) { m_window->TabbedNotebook1->setCurrentIndex(page); }
    void Type(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        m_window->Button6->setFocus(); // leaving the field ends the step
    }
    void Select(ListBox* list, const QString& name)
    {
        const int row = list->FindRow(name);
        QVERIFY(row >= 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->RowRect(row).center());
    }
    void Drop(QMimeData& data)
    {
        QDragEnterEvent enter(QPoint(550, 300), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_window, &enter);
        QDropEvent drop(QPointF(550, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window, &drop);
    }

    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<RunningEditor> m_app;
    ScriptedPrompts* m_prompts = nullptr;
    AppState* m_state = nullptr;
    MainWindow* m_window = nullptr;
};

// The pointer moved over widget to at, no button held.
void Point(QWidget* widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

using Action = std::function<void()>;
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(aquarium::Choice)

void TestUnsavedWork::init()
{
    m_world = std::make_unique<TestWorld>();
    TestWorld& w = *m_world;
    w.WriteEditingWorld();
    w.WritePicture(u"C:\\aq\\data\\guppy.bmp"_qs, SolidPicture(200, 100, 0x00FFFF));
    for (const char* name : {"a.mid", "b.mid", "c.mid", "x.mid"})
        w.WriteFile(u"C:\\m\\"_qs + QLatin1String(name), "MThd");
    w.WriteFile(u"C:\\m\\songs.lst"_qs, "a.mid\r\nb.mid\r\nc.mid\r\n");
    w.WriteFile(u"C:\\m\\other.lst"_qs, "x.mid\r\n");
    w.WriteRegistry(
        {{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs}, {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    w.EnterFolder(u"C:\\aq"_qs);
    m_app = std::make_unique<RunningEditor>(*m_world);
    m_prompts = &m_app->prompts;
    m_state = &m_app->state;
    m_window = &m_app->window;
    m_window->OpenDroppedFile(u"C:\\aq\\tetra.uld"_qs);
    m_window->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(m_window));
    QVERIFY(!m_state->Edits.Modified());
    m_prompts->Clear();
}

void TestUnsavedWork::cleanup()
{
    m_app.reset();
}

void TestUnsavedWork::everyEditUndoesAndRedoes_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<Action>("prepare"); // an edit of its own before, when one is needed
    QTest::addColumn<Action>("edit");
    auto* t = this;
    auto fish = [t] { return t->m_window->FishPage1; };
    auto tank = [t] { return t->m_window->TankPage1; };
    auto canvas = [t] { return t->m_window->AccessoryPage1->Image5; };
    auto random = [t] { return t->m_window->RandomPage1; };
    auto midi = [t] { return t->m_window->MidiPage1; };
    const Action none;
    const auto onCanvas = [canvas](QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers keys) {
        Point(canvas(), at);
        QTest::mouseClick(canvas(), button, keys, at);
    };
    const QPoint accessory(116, 89); // the number of accessory 1: column 7, front

    QTest::newRow("choose a fish") << 0 << none << Action([t, fish] {
        t->m_prompts->QueueAnswer(u"C:\\aq\\data\\iwa.bmp"_qs);
        QTest::mouseClick(fish()->Slots[2].Button, Qt::LeftButton);
    });
    QTest::newRow("clear a fish slot")
        << 0 << none
        << Action([fish] { QTest::mousePress(fish()->Slots[0].Button, Qt::RightButton); });
    QTest::newRow("FishDataNo") << 0 << none << Action([t, fish] {
        t->Type(fish()->Slots[1].FishDataNo, u"7"_qs);
    });
    QTest::newRow("amount") << 0 << none << Action([t, fish] {
        t->Type(fish()->Slots[0].FishAmount, u"12"_qs);
    });
    QTest::newRow("CheckBox1") << 0 << none << Action([fish] {
        QTest::mouseClick(fish()->CheckBox1, Qt::LeftButton);
    });
    QTest::newRow("sand") << 2 << none << Action([t, tank] {
        t->m_prompts->QueueAnswer(u"C:\\aq\\data\\iwa.bmp"_qs);
        QTest::mouseClick(tank()->Button2, Qt::LeftButton);
    });
    QTest::newRow("sound cleared")
        << 2 << none << Action([t, tank] { QTest::mouseClick(tank()->Button9, Qt::RightButton); });
    QTest::newRow("background picture") << 2 << none << Action([t, tank] {
        t->m_prompts->QueueAnswer(u"C:\\aq\\data\\iwa.bmp"_qs);
        QTest::mouseClick(tank()->Button28, Qt::LeftButton);
    });
    QTest::newRow("tiling") << 2 << none << Action([t, tank] {
        QTest::mouseClick(tank()->CheckBox2, Qt::LeftButton);
    });
    const Action colourOn = [t, tank] { QTest::mouseClick(tank()->CheckBox3, Qt::LeftButton); };
    QTest::newRow("solid colour") << 2 << none << colourOn;
    QTest::newRow("colour scroll bar") << 2 << colourOn << Action([tank] {
        tank()->ScrollBar2->setFocus();
        QTest::keyClick(tank()->ScrollBar2, Qt::Key_Right);
    });
    const Action intermittentOn
        = [t, tank] { QTest::mouseClick(tank()->CheckBox4, Qt::LeftButton); };
    QTest::newRow("intermittent sound") << 2 << none << intermittentOn;
    QTest::newRow("interval scroll bar") << 2 << intermittentOn << Action([tank] {
        tank()->ScrollBar4->setFocus();
        QTest::keyClick(tank()->ScrollBar4, Qt::Key_PageUp);
    });
    QTest::newRow("aeration") << 2 << none << Action([t, tank] {
        QTest::mouseClick(tank()->Aeration[3], Qt::LeftButton);
    });
    QTest::newRow("water flow") << 2 << none << Action([t, tank] {
        QTest::mouseClick(tank()->WaterFlow[2], Qt::LeftButton);
    });
    QTest::newRow("sub-folder with its renames")
        << 2 << none << Action([t, tank] { t->Select(tank()->FileListBox2, u"[pics]"_qs); });
    QTest::newRow("place an accessory") << 1 << none << Action([t, onCanvas] {
        t->Select(t->m_window->AccessoryPage1->FileListBox1, u"iwa.bmp"_qs);
        onCanvas(QPoint(250, 30), Qt::LeftButton, {});
    });
    QTest::newRow("drag an accessory") << 1 << none << Action([t, canvas, accessory] {
        Point(canvas(), accessory);
        QTest::mousePress(canvas(), Qt::LeftButton, {}, accessory);
        QTest::mouseMove(canvas(), QPoint(40, 30));
        QTest::mouseRelease(canvas(), Qt::LeftButton, {}, QPoint(40, 30));
    });
    QTest::newRow("delete an accessory")
        << 1 << none << Action([onCanvas, accessory] { onCanvas(accessory, Qt::RightButton, {}); });
    QTest::newRow("sway") << 1 << none << Action([onCanvas, accessory] {
        onCanvas(accessory, Qt::LeftButton, Qt::ShiftModifier);
    });
    QTest::newRow("spread") << 1 << none << Action([onCanvas, accessory] {
        onCanvas(accessory, Qt::LeftButton, Qt::ControlModifier);
    });
    QTest::newRow("random list drop") << 3 << none << Action([t, random] {
        DragFile(
            random()->FileListBox4, u"sea.uld"_qs, random()->ListBox1->viewport(), QPoint(20, 40));
    });
    QTest::newRow("random list delete") << 3 << none << Action([t, random] {
        t->Select(random()->ListBox1, u"tetra.uld"_qs);
        QTest::mouseClick(random()->Button13, Qt::LeftButton);
    });
    QTest::newRow("random list copy")
        << 3 << none
        << Action([t, random] { QTest::mouseClick(random()->Button12, Qt::LeftButton); });
    const Action randomCleared
        = [t, random] { QTest::mouseClick(random()->Button15, Qt::LeftButton); };
    QTest::newRow("random list delete all") << 3 << none << randomCleared;
    QTest::newRow("random list revert")
        << 3 << randomCleared
        << Action([random] { QTest::mouseClick(random()->Button22, Qt::LeftButton); });
    QTest::newRow("MIDI list drop") << 4 << none << Action([t, midi] {
        DragFile(midi()->FileListBox3, u"x.mid"_qs, midi()->ListBox2->viewport(), QPoint(20, 19));
    });
    QTest::newRow("MIDI list move") << 4 << none << Action([t, midi] {
        QWidget* rows = midi()->ListBox2->viewport();
        QTest::mousePress(rows, Qt::LeftButton, {}, QPoint(20, 6));
        QTest::mouseRelease(rows, Qt::LeftButton, {}, QPoint(20, 32));
    });
    QTest::newRow("MIDI list delete") << 4 << none << Action([t, midi] {
        t->Select(midi()->ListBox2, u"b.mid"_qs);
        QTest::mouseClick(midi()->Button18, Qt::LeftButton);
    });
    QTest::newRow("MIDI list copy") << 4 << none << Action([t, midi] {
        t->Select(midi()->FileListBox3, u"x.mid"_qs);
        QTest::mouseClick(midi()->Button17, Qt::LeftButton);
    });
    const Action midiCleared = [t, midi] { QTest::mouseClick(midi()->Button19, Qt::LeftButton); };
    QTest::newRow("MIDI list delete all") << 4 << none << midiCleared;
    QTest::newRow("MIDI list revert")
        << 4 << midiCleared
        << Action([midi] { QTest::mouseClick(midi()->Button23, Qt::LeftButton); });
    QTest::newRow("MIDI list file loaded") << 4 << none << Action([t, midi] {
        t->m_prompts->QueueAnswer(u"C:\\m\\other.lst"_qs);
        QTest::mouseClick(midi()->Button20, Qt::LeftButton);
    });
}

void TestUnsavedWork::everyEditUndoesAndRedoes()
{
    QFETCH(int, page);
    QFETCH(Action, prepare);
    QFETCH(Action, edit);
    Page(page); // entering the accessory page draws its preview
    if (prepare)
        prepare();
    const int steps = m_state->Edits.Stack().count();
    const Observed before = Observe();
    edit();
    const Observed after = Observe();
    QCOMPARE(m_prompts->Messages(), QStringList());
    QVERIFY(!(after == before));
    QCOMPARE(m_state->Edits.Stack().count(), steps + 1); // one step

    Keys(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(Observe() == before);
    // The page shows the tank picture as it was.
    QCOMPARE(
        m_window->AccessoryPage1->Image4->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
        before.tank);
    Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(Observe() == after);
    Keys(Qt::Key_Z, Qt::ControlModifier);
    Keys(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(Observe() == after);
    QCOMPARE(m_prompts->Messages(), QStringList());
}

void TestUnsavedWork::undoBackToTheSavedStateIsClean()
{
    QCOMPARE(
        m_window->windowHandle()->title(), u"Kesso's Ulvaro Aquarium Maker <<< tetra.uld >>>"_qs);
    QTest::mouseClick(m_window->FishPage1->CheckBox1, Qt::LeftButton);
    QVERIFY(m_state->Edits.Modified());
    QVERIFY(m_window->isWindowModified());
    QCOMPARE(m_state->Caption, u"Kesso's Ulvaro Aquarium Maker <<< tetra.uld >>>"_qs);
    Keys(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!m_window->isWindowModified());
    Keys(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(m_window->isWindowModified());
    // A save is clean and starts a new history; Ctrl+S writes the current file again.
    Keys(Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!m_window->isWindowModified());
    QVERIFY(!m_state->Edits.CanUndo());
    QVERIFY(m_prompts->Dialogs().empty());
    QVERIFY(m_world->ReadFile(u"C:\\aq\\tetra.uld"_qs).contains("NumberOfFishes =\t8"));
}

void TestUnsavedWork::questionsBeforeWorkIsLost_data()
{
    QTest::addColumn<QString>("how"); // close, load, drop
    QTest::addColumn<QString>("opened"); // the current file: tetra.uld, random.uld or none
    QTest::addColumn<Choice>("choice");
    QTest::addColumn<QString>("answer"); // of a save dialog, when one is expected
    QTest::addColumn<QString>("written"); // the aquarium file saved, when one is
    const QString none;
    const QString kept = u"C:\\aq\\kept.uld"_qs;
    const QString cancelled = u""_qs;
    for (const char* how : {"close", "load", "drop"}) {
        const QString h = QString::fromLatin1(how);
        // 保存 writes a named file straight back, as Ctrl+S does.
        QTest::addRow("%s, save", how) << h << u"tetra.uld"_qs << Choice::Save << none
                                       << u"C:\\aq\\tetra.uld"_qs;
        QTest::addRow("%s, save as", how) << h << none << Choice::Save << kept << kept;
        QTest::addRow("%s, save as cancelled", how)
            << h << none << Choice::Save << cancelled << none;
        // With random.uld open, the lists alone are no save of the aquarium's edits.
        QTest::addRow("%s, random.uld, save as", how)
            << h << u"random.uld"_qs << Choice::Save << kept << kept;
        QTest::addRow("%s, random.uld, save as cancelled", how)
            << h << u"random.uld"_qs << Choice::Save << cancelled << none;
        QTest::addRow("%s, discard", how) << h << u"tetra.uld"_qs << Choice::Discard << none << none;
        QTest::addRow("%s, cancel", how) << h << u"tetra.uld"_qs << Choice::Cancel << none << none;
    }
}

void TestUnsavedWork::questionsBeforeWorkIsLost()
{
    QFETCH(QString, how);
    QFETCH(QString, opened);
    QFETCH(Choice, choice);
    QFETCH(QString, answer);
    QFETCH(QString, written);
    if (opened == u"random.uld") {
        m_prompts->QueueAnswer(u"C:\\aq\\random.uld"_qs);
        QTest::mouseClick(m_window->Button6, Qt::LeftButton);
        QCOMPARE(m_state->CurrentFile, u"C:\\aq\\random.uld"_qs);
    } else if (opened.isEmpty()) {
        m_state->CurrentFile.clear(); // work that has no file yet
    }
    const QString before = m_state->CurrentFile;
    m_prompts->Clear();
    const QByteArray original = m_world->ReadFile(u"C:\\aq\\tetra.uld"_qs);
    QTest::mouseClick(m_window->FishPage1->CheckBox1, Qt::LeftButton);
    m_prompts->QueueChoice(choice);
    if (!answer.isNull())
        m_prompts->QueueAnswer(answer);
    if (how == u"load")
        m_prompts->QueueAnswer(u"C:\\aq\\sea.uld"_qs);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(m_world->Host(u"C:\\aq\\sea.uld"_qs))});
    if (how == u"close")
        m_window->close();
    else if (how == u"load")
        QTest::mouseClick(m_window->Button6, Qt::LeftButton);
    else
        Drop(data);
    QCOMPARE(m_prompts->Questions(),
        QStringList {opened.isEmpty() ? kSaveChangesQuestion : opened + u" への変更を保存しますか"_qs});
    // It goes on after a save that completed or a discard; otherwise nothing changes.
    const bool goesOn = !written.isEmpty() || choice == Choice::Discard;
    // A save dialog only where there is no file to write back to.
    QCOMPARE(m_prompts->Dialogs().size(), size_t(!answer.isNull() + (how == u"load" && goesOn)));
    for (const QString& file : {u"C:\\aq\\tetra.uld"_qs, u"C:\\aq\\kept.uld"_qs}) {
        const QByteArray bytes = m_world->ReadFile(file);
        QCOMPARE(bytes.contains("NumberOfFishes"), file == written);
        if (file != written && !bytes.isEmpty())
            QCOMPARE(bytes, original);
    }
    if (how == u"close") {
        QCOMPARE(m_window->isVisible(), !goesOn);
    } else {
        QCOMPARE(m_state->CurrentFile, goesOn ? u"C:\\aq\\sea.uld"_qs : before);
        QCOMPARE(m_state->Doc.FishCountsFixed, !goesOn);
    }
    // Without changes nothing asks.
    m_prompts->Clear();
    if (how != u"close" && goesOn) {
        Drop(data);
        QVERIFY(m_prompts->Questions().isEmpty());
    }
}

void TestUnsavedWork::fishEditorKeepsItsEdits()
{
    FishEditor& editor = m_app->editor;
    m_window->FishPage1->OpenCharacterEditor(0);
    QVERIFY(editor.isVisible());
    editor.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&editor));
    // Without edits it hides when another window becomes active.
    m_window->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(m_window));
    QVERIFY(!editor.isVisible());
    m_window->FishPage1->OpenCharacterEditor(0);
    editor.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&editor));
    editor.Edit1->setText(u"99"_qs);
    m_window->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(m_window));
    QVERIFY(editor.isVisible()); // stays open beside the main window
    QCOMPARE(editor.Edit1->text(), u"99"_qs);

    // Escape is Cancel: asked, kept on cancel; the close box too; discarded on discard.
    editor.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&editor));
    QTest::keyClick(&editor, Qt::Key_Escape);
    editor.close();
    QCOMPARE(m_prompts->Questions(), (QStringList {kDiscardEditsQuestion, kDiscardEditsQuestion}));
    QVERIFY(editor.isVisible());
    m_prompts->QueueChoice(Choice::Discard);
    QTest::mouseClick(editor.Button2, Qt::LeftButton);
    QVERIFY(!editor.isVisible());

    // Enter is Ok: the file is written.
    m_window->FishPage1->OpenCharacterEditor(0);
    editor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    editor.Edit1->setText(u"98"_qs);
    QTest::keyClick(&editor, Qt::Key_Return);
    QVERIFY(!editor.isVisible());
    QVERIFY(DecodeShiftJis(m_world->ReadFile(u"C:\\aq\\data\\neon.ulc"_qs))
                .contains(u"頻度\r\n\t98\r\n"_qs));
}

void TestUnsavedWork::keys()
{
    // Pages from anywhere, both ways round.
    m_window->Button7->setFocus();
    Keys(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(m_window->TabbedNotebook1->currentIndex(), 1);
    Keys(Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(m_window->TabbedNotebook1->currentIndex(), 2);
    Keys(Qt::Key_PageUp, Qt::ControlModifier);
    Keys(Qt::Key_PageUp, Qt::ControlModifier);
    Keys(Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(m_window->TabbedNotebook1->currentIndex(), 4);

    // F1, and Enter or Escape in the version window.
    Keys(Qt::Key_F1, {});
    QVERIFY(m_app->version.isVisible());
    m_app->version.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&m_app->version));
    QTest::keyClick(&m_app->version, Qt::Key_Escape);
    QVERIFY(!m_app->version.isVisible());
    m_window->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(m_window));

    // Ctrl+O loads, Ctrl+Shift+S saves as, Ctrl+Q exits as 終了 does.
    m_prompts->QueueAnswer(u"C:\\aq\\sea.uld"_qs);
    Keys(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(m_state->CurrentFile, u"C:\\aq\\sea.uld"_qs);
    m_prompts->QueueAnswer(u"C:\\aq\\copy.uld"_qs);
    Keys(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_state->CurrentFile, u"C:\\aq\\copy.uld"_qs);
    QCOMPARE(m_prompts->Dialogs().size(), size_t(2));

    // A fish slot's picture: Tab reaches it, Space opens the editor.
    m_window->TabbedNotebook1->setCurrentIndex(0);
    FishPage* fish = m_window->FishPage1;
    // Tab reads the page slot by slot: the check box, then each slot's button, picture and
    // fields.
    QList<QWidget*> order {fish->CheckBox1};
    for (const FishPage::Slot& slot : fish->Slots)
        order << slot.Button << slot.Picture << slot.FishDataNo << slot.FishAmount;
    fish->CheckBox1->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), order[i]);
    }
    fish->Slots[0].Picture->setFocus();
    QTest::keyClick(fish->Slots[0].Picture, Qt::Key_Space);
    QVERIFY(m_app->editor.isVisible());
    m_app->editor.hide();

    // Scroll bars take focus and the arrow keys.
    m_window->TabbedNotebook1->setCurrentIndex(2);
    QTest::mouseClick(m_window->TankPage1->CheckBox4, Qt::LeftButton);
    QScrollBar* bar = m_window->TankPage1->ScrollBar4;
    QVERIFY(bar->focusPolicy() & Qt::TabFocus);
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Right);
    QCOMPARE(m_state->Doc.IntermittentStep, 21);

    // Ctrl+Q quits as the close box does: no save dialog, the question, then the end.
    m_prompts->Clear();
    m_prompts->QueueChoice(Choice::Cancel);
    Keys(Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(m_window->isVisible());
    m_prompts->QueueChoice(Choice::Discard);
    Keys(Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(m_prompts->Dialogs().empty());
    QCOMPARE(m_prompts->Questions().size(), 2);
    QVERIFY(!m_window->isVisible());
}

void TestUnsavedWork::undoFromEveryControl_data()
{
    // Where the focus is when Ctrl+Z comes, after the edit: a text field, the resolution
    // box, a scroll bar, the live view.
    QTest::addColumn<QString>("focus");
    for (const char* focus : {"next field", "ComboBox1", "scroll bar", "live view"})
        QTest::newRow(focus) << QString::fromLatin1(focus);
}

void TestUnsavedWork::undoFromEveryControl()
{
    QFETCH(QString, focus);
    FishPage* fish = m_window->FishPage1;
    const QString amount = m_state->Doc.Fish[0].FishAmount;
    // Typed, then Tab: the step is the typing.
    fish->Slots[0].FishAmount->setFocus();
    fish->Slots[0].FishAmount->selectAll();
    QTest::keyClicks(fish->Slots[0].FishAmount, u"7"_qs);
    QTest::keyClick(fish->Slots[0].FishAmount, Qt::Key_Tab);
    QCOMPARE(m_state->Doc.Fish[0].FishAmount, u"7"_qs);
    QWidget* target = QApplication::focusWidget();
    if (focus == u"ComboBox1") {
        target = m_window->ComboBox1->lineEdit();
    } else if (focus == u"scroll bar") {
        Page(2);
        QTest::mouseClick(m_window->TankPage1->CheckBox3, Qt::LeftButton); // shows the bars
        m_state->Edits.Undo();
        target = m_window->TankPage1->ScrollBar1;
    } else if (focus == u"live view") {
        m_window->LiveViewClick();
        m_window->LiveView1->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(m_window->LiveView1));
        target = m_window->LiveView1;
    }
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_state->Doc.Fish[0].FishAmount, amount);
    QCOMPARE(fish->Slots[0].FishAmount->text(), amount);
    QVERIFY(!m_state->Edits.Modified());
    QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_state->Doc.Fish[0].FishAmount, u"7"_qs);
    QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(target, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m_state->Doc.Fish[0].FishAmount, u"7"_qs);
    m_window->LiveView1->close();
}

void TestUnsavedWork::undoInTheMiddleOfADrag()
{
    Page(1);
    QWidget* canvas = m_window->AccessoryPage1->Image5;
    const QPoint accessory(116, 89); // accessory 1: column 7, front
    const Aquarium before = m_state->Doc;
    Point(canvas, accessory);
    QTest::mousePress(canvas, Qt::LeftButton, {}, accessory);
    QTest::mouseMove(canvas, QPoint(40, 30));
    QCOMPARE(m_state->Doc.ObjectTable[0].XPosition, 2);
    // Ctrl+Z with the button still down: the drag ends where it is, then it is undone.
    QTest::keyClick(m_window, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(m_state->Doc == before);
    // The rest of the drag moves nothing, its release places nothing.
    QTest::mouseMove(canvas, QPoint(250, 30));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(250, 30));
    QVERIFY(m_state->Doc == before);
    QVERIFY(!m_state->Edits.CanUndo());
    QTest::keyClick(m_window, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m_state->Doc.ObjectTable[0].XPosition, 2); // the drag, as one step
}

void TestUnsavedWork::fishEditorUndoesItsOwnEdits()
{
    FishEditor& editor = m_app->editor;
    m_window->FishPage1->OpenCharacterEditor(0);
    editor.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&editor));
    editor.TabbedNotebook1->setCurrentIndex(1);
    editor.RadioButtons[int(BmpFormat::XStretch)]->click();
    QScrollBar* bar = editor.ScrollBar2;
    const int start = bar->value();
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Right);
    QCOMPARE(editor.Model().Fields.StretchDX, start + 2);
    QTest::keyClick(bar, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.Model().Fields.StretchDX, start + 1);
    QCOMPARE(bar->value(), start + 1);
    QTest::keyClick(bar, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.Model().Fields.StretchDX, start);
    QTest::keyClick(bar, Qt::Key_Z, Qt::ControlModifier); // the format change
    QVERIFY(!editor.RadioButtons[int(BmpFormat::XStretch)]->isChecked());
    QVERIFY(!m_state->Edits.CanUndo()); // the main window's history is its own
    m_prompts->QueueChoice(Choice::Discard);
    editor.Button2Click();
}

void TestUnsavedWork::exitEndsOnlyWhenTheWorkIsLetGo_data()
{
    QTest::addColumn<bool>("edited"); // an unsaved edit in the main window
    QTest::addColumn<QString>("answer"); // of 終了's save dialog
    QTest::addColumn<QList<Choice>>("choices"); // for the questions, in order
    QTest::addColumn<bool>("fishEdits"); // the fish editor holds edits
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("written"); // the aquarium file saved, when one is
    QTest::addColumn<bool>("ends");
    using L = QList<Choice>;
    const QString kept = u"C:\\aq\\kept.uld"_qs;
    const QString tetra = u"C:\\aq\\tetra.uld"_qs;
    QTest::newRow("nothing unsaved") << false << u""_qs << L {} << false << 0 << QString() << true;
    QTest::newRow("saved") << true << kept << L {} << false << 0 << kept << true;
    QTest::newRow("dialog cancelled, then cancel")
        << true << u""_qs << L {Choice::Cancel} << false << 1 << QString() << false;
    QTest::newRow("dialog cancelled, then discard")
        << true << u""_qs << L {Choice::Discard} << false << 1 << QString() << true;
    QTest::newRow("dialog cancelled, then save")
        << true << u""_qs << L {Choice::Save} << false << 1 << tetra << true;
    QTest::newRow("fish editor's edits kept")
        << false << u""_qs << L {Choice::Cancel} << true << 1 << QString() << false;
    QTest::newRow("fish editor's edits discarded")
        << false << u""_qs << L {Choice::Discard} << true << 1 << QString() << true;
    QTest::newRow("both asked, the fish editor keeps them")
        << true << u""_qs << L {Choice::Discard, Choice::Cancel} << true << 2 << QString() << false;
}

void TestUnsavedWork::exitEndsOnlyWhenTheWorkIsLetGo()
{
    QFETCH(bool, edited);
    QFETCH(QString, answer);
    QFETCH(QList<Choice>, choices);
    QFETCH(bool, fishEdits);
    QFETCH(int, questions);
    QFETCH(QString, written);
    QFETCH(bool, ends);
    FishEditor& editor = m_app->editor;
    if (fishEdits) {
        m_window->FishPage1->OpenCharacterEditor(0);
        editor.Edit1->setText(u"99"_qs);
    }
    if (edited)
        QTest::mouseClick(m_window->FishPage1->CheckBox1, Qt::LeftButton);
    m_prompts->QueueAnswer(answer);
    for (const Choice choice : choices)
        m_prompts->QueueChoice(choice);
    QTest::mouseClick(m_window->Button1, Qt::LeftButton);

    QCOMPARE(m_prompts->Dialogs().size(), size_t(1)); // 終了 runs save-as first
    QCOMPARE(m_prompts->Questions().size(), questions);
    for (const QString& file : {u"C:\\aq\\tetra.uld"_qs, u"C:\\aq\\kept.uld"_qs})
        QCOMPARE(m_world->ReadFile(file).contains("NumberOfFishes"), file == written);
    // The program ends exactly when the answers let it, and never leaves a window alone.
    QCOMPARE(m_window->isVisible(), !ends);
    QCOMPARE(editor.isVisible(), fishEdits && !ends);
    if (!ends) {
        QCOMPARE(m_state->Doc.FishCountsFixed, edited);
        QCOMPARE(editor.HasEdits(), fishEdits);
    }
}

QTEST_MAIN(TestUnsavedWork)
#include "tst_unsavedwork.moc"

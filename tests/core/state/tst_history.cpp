#include "core/document/aquarium_file.h"
#include "core/operations/layout_canvas.h"
#include "core/operations/user_edits.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/commands.h"
#include "core/state/startup.h"
#include "support/test_world.h"

#include <QTest>

#include <functional>
#include <random>

using namespace aquarium;
using namespace aquarium::test;

// The history without windows: every kind of edit undone and redone through the
// operations the windows call, and long runs of random edits undone back to the file.
class TestHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void everyEdit_data();
    void everyEdit();
    void randomEditsUndoBackToTheFile();
    void thousandStepsReachTheLoadedFile();

private:
    // What saving would write: the aquarium file, random.uld and the MIDI list.
    QStringList Saved() const
    {
        Aquarium copy = m_state->Doc;
        return AquariumFileLines(*m_files, copy) + m_state->RandomList + m_state->MidiList;
    }
    void Canvas(MouseButton button, unsigned keys, QPoint press, QPoint release,
                const QString& file = QString())
    {
        m_canvas->MouseMove(0, press.x(), press.y());
        m_canvas->MouseDown(button, keys | (button == MouseButton::Right ? kRightButton : kLeftButton),
                            press.x(), press.y());
        m_canvas->MouseMove(kLeftButton, release.x(), release.y());
        m_canvas->MouseUp(button, keys, release.x(), release.y(), file);
    }

    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<Files> m_files;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<UserEdits> m_edits;
    std::unique_ptr<LayoutCanvas> m_canvas;
};

using Edit = std::function<void(UserEdits&, ScriptedPrompts&)>;
Q_DECLARE_METATYPE(Edit)

void TestHistory::init()
{
    m_world = std::make_unique<TestWorld>();
    TestWorld& w = *m_world;
    w.WriteEditingWorld();
    for (const char* name : {"a.mid", "b.mid", "x.mid"})
        w.WriteFile(u"C:\\m\\"_qs + QLatin1String(name), "MThd");
    w.WriteFile(u"C:\\m\\songs.lst"_qs, "a.mid\r\nb.mid\r\n");
    w.WriteFile(u"C:\\m\\other.lst"_qs, "x.mid\r\n");
    w.WriteRegistry(
        {{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs}, {u"BGMFile"_qs, u"C:\\m\\songs.lst"_qs}});
    m_files = std::make_unique<Files>(w.Paths());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_state = std::make_unique<AppState>(*m_files, *m_prompts);
    FormCreate(*m_state, *OpenUserRegistry(w.Prefix()));
    QVERIFY(LoadAquariumFile(*m_state, u"C:\\aq\\tetra.uld"_qs));
    m_state->NotebookPage = kAccessoryPage;
    DrawTankPreview(*m_state);
    m_edits = std::make_unique<UserEdits>(*m_state);
    m_canvas = std::make_unique<LayoutCanvas>(*m_state);
    m_prompts->Clear();
}

void TestHistory::cleanup()
{
    m_canvas.reset();
    m_edits.reset();
    m_state.reset();
}

void TestHistory::everyEdit_data()
{
    QTest::addColumn<Edit>("edit");
    const auto answer = [](const char* path) {
        return [path](ScriptedPrompts& p) { p.QueueAnswer(QString::fromUtf8(path)); };
    };
    const auto row = [](const char* name, Edit edit) { QTest::newRow(name) << edit; };
    row("choose a fish", [answer](UserEdits& e, ScriptedPrompts& p) {
        answer("C:\\aq\\data\\iwa.bmp")(p);
        e.ChooseFishFile(2);
    });
    row("clear a slot", [](UserEdits& e, ScriptedPrompts&) { e.ClearFishSlot(0); });
    row("type a count", [](UserEdits& e, ScriptedPrompts&) { e.TypeFishDataNo(1, u"7"_qs); });
    row("type an amount", [](UserEdits& e, ScriptedPrompts&) { e.TypeFishAmount(0, u"12"_qs); });
    row("counts fixed", [](UserEdits& e, ScriptedPrompts&) { e.SetFishCountsFixed(true); });
    row("sand", [answer](UserEdits& e, ScriptedPrompts& p) {
        answer("C:\\aq\\data\\iwa.bmp")(p);
        e.ChooseFileItem(FileItem::Sand);
    });
    row("background", [answer](UserEdits& e, ScriptedPrompts& p) {
        answer("C:\\aq\\data\\iwa.bmp")(p);
        e.ChooseFileItem(FileItem::Background);
    });
    row("sound cleared", [](UserEdits& e, ScriptedPrompts&) { e.ClearFileItem(FileItem::Sound); });
    row("sub-folder", [](UserEdits& e, ScriptedPrompts&) { e.ChooseSubFolder(1); });
    row("tiling", [](UserEdits& e, ScriptedPrompts&) { e.SetBackgroundTiling(true); });
    row("colour fill", [](UserEdits& e, ScriptedPrompts&) { e.SetColourFill(true); });
    row("colour", [](UserEdits& e, ScriptedPrompts&) { e.SetBackgroundColour(10, 20, 30, false); });
    row("colour dragged", [](UserEdits& e, ScriptedPrompts&) {
        for (int red = 0; red < 50; red += 10)
            e.SetBackgroundColour(red, 0, 0, true);
    });
    row("intermittent", [](UserEdits& e, ScriptedPrompts&) { e.SetIntermittentSound(true); });
    row("interval", [](UserEdits& e, ScriptedPrompts&) { e.SetIntermittentStep(99, false); });
    row("aeration", [](UserEdits& e, ScriptedPrompts&) { e.SetAeration(AerationPosition::All); });
    row("water flow", [](UserEdits& e, ScriptedPrompts&) { e.SetWaterFlow(2); });
    row("random list add", [](UserEdits& e, ScriptedPrompts&) { e.RandomAddOne(u"sea.uld"_qs); });
    row("random list delete all", [](UserEdits& e, ScriptedPrompts&) { e.RandomDeleteAll(); });
    row("MIDI list drop", [](UserEdits& e, ScriptedPrompts&) { e.MidiDropAt(u"x.mid"_qs, 0); });
    row("MIDI list move", [](UserEdits& e, ScriptedPrompts&) { e.MidiRelease(false, 0, 2); });
    row("MIDI list loaded", [answer](UserEdits& e, ScriptedPrompts& p) {
        answer("C:\\m\\other.lst")(p);
        e.LoadMidiListFile();
    });
}

void TestHistory::everyEdit()
{
    QFETCH(Edit, edit);
    const EditedState before = *m_state;
    const QStringList savedBefore = Saved();
    const int steps = m_state->Edits.Stack().count();
    edit(*m_edits, *m_prompts);
    m_state->Edits.Close(); // a field left, a slider let go
    QCOMPARE(m_prompts->Messages(), QStringList());
    const EditedState after = *m_state;
    const QStringList savedAfter = Saved();
    QVERIFY(!(after == before));
    QCOMPARE(m_state->Edits.Stack().count(), steps + 1);

    m_state->Edits.Undo();
    QVERIFY(EditedState(*m_state) == before);
    QCOMPARE(Saved(), savedBefore);
    m_state->Edits.Redo();
    QVERIFY(EditedState(*m_state) == after);
    QCOMPARE(Saved(), savedAfter);
}

void TestHistory::randomEditsUndoBackToTheFile()
{
    const QStringList start = Saved();
    std::mt19937 random(20261209);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QPoint columns[] = {{20, 100}, {116, 89}, {200, 50}, {300, 10}};
    for (int i = 0; i < 200; ++i) {
        switch (pick(12)) {
        case 0: m_edits->TypeFishAmount(pick(6), QString::number(pick(30))); break;
        case 1: m_edits->TypeFishDataNo(pick(6), QString::number(1 + pick(3))); break;
        case 2: m_edits->SetFishCountsFixed(pick(2)); break;
        case 3: m_edits->SetBackgroundColour(pick(256), pick(256), pick(256), false); break;
        case 4: m_edits->SetIntermittentStep(1 + pick(600), false); break;
        case 5: m_edits->SetAeration(AerationPosition(pick(4))); break;
        case 6: m_edits->SetWaterFlow(pick(4)); break;
        case 7: m_edits->ChooseSubFolder(pick(2)); break;
        case 8: m_edits->RandomAddOne(pick(2) ? u"sea.uld"_qs : u"tetra.uld"_qs); break;
        case 9: m_edits->MidiDropAt(u"x.mid"_qs, pick(3)); break;
        case 10: // place, then drag what stands at a column
            Canvas(MouseButton::Left, 0, columns[pick(4)], columns[pick(4)],
                   pick(2) ? u"iwa.bmp"_qs : u"kusa.bmp"_qs);
            break;
        default: { // sway, spread or delete what stands there
            const int what = pick(3);
            Canvas(what == 2 ? MouseButton::Right : MouseButton::Left,
                   what == 0 ? unsigned(kShift) : what == 1 ? unsigned(kCtrl) : 0u, columns[1],
                   columns[1]);
            break;
        }
        }
        m_state->Edits.Close();
    }
    const QStringList end = Saved();
    QVERIFY(end != start);
    while (m_state->Edits.CanUndo())
        m_state->Edits.Undo();
    QCOMPARE(Saved(), start);
    QVERIFY(!m_state->Edits.Modified());
    while (m_state->Edits.CanRedo())
        m_state->Edits.Redo();
    QCOMPARE(Saved(), end);
}

void TestHistory::thousandStepsReachTheLoadedFile()
{
    const QStringList start = Saved();
    for (int i = 0; i < 1000; ++i)
        m_edits->SetIntermittentStep(1 + i % 600, false);
    QCOMPARE(m_state->Edits.Stack().count(), 1000);
    while (m_state->Edits.CanUndo())
        m_state->Edits.Undo();
    QCOMPARE(Saved(), start);
    QVERIFY(!m_state->Edits.Modified());
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"

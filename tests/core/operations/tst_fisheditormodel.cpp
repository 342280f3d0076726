#include "core/operations/fish_editor_model.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "support/test_world.h"

#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

// The fish editor without its window: the home picture it asks for, and its own history.
class TestFishEditorModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void homePicture_data();
    void homePicture();
    void historyOfItsOwnEdits();
};

void TestFishEditorModel::homePicture_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("answer"); // the dialog's, empty: cancelled
    QTest::addColumn<bool>("gathers");
    QTest::addColumn<QString>("home");
    QTest::newRow("off") << false << QString() << false << QString();
    QTest::newRow("a picture of the sub-folder") << true << u"C:\\aq\\data\\iwa.bmp"_qs << true
                                                 << u"data\\iwa.bmp"_qs;
    QTest::newRow("from another folder, taken in the sub-folder")
        << true << u"C:\\elsewhere\\iwa.bmp"_qs << true << u"data\\iwa.bmp"_qs;
    QTest::newRow("no such file there") << true << u"C:\\elsewhere\\gone.bmp"_qs << true << QString();
    QTest::newRow("cancelled") << true << QString() << false << QString();
}

void TestFishEditorModel::homePicture()
{
    QFETCH(bool, on);
    QFETCH(QString, answer);
    QFETCH(bool, gathers);
    QFETCH(QString, home);
    TestWorld world;
    world.WritePicture(u"C:\\aq\\data\\iwa.bmp"_qs, SolidPicture(8, 8, 0x808080));
    ScriptedPrompts prompts;
    prompts.QueueAnswer(answer);
    FishEditorModel model;
    model.Fields.GatherAtAccessory = true;
    model.Fields.HomePosition = u"data\\old.bmp"_qs;
    model.SetGatherAtAccessory(on, world.MakeFiles(), prompts, u"C:\\aq\\"_qs, u"data\\"_qs);
    QCOMPARE(model.Fields.GatherAtAccessory, gathers);
    QCOMPARE(model.Fields.HomePosition, home);
    QCOMPARE(prompts.Dialogs().size(), size_t(on ? 1 : 0));
    if (on)
        QCOMPARE(prompts.Dialogs()[0].InitialFolder, u"C:\\aq\\data\\"_qs);
}

void TestFishEditorModel::historyOfItsOwnEdits()
{
    FishEditorModel model;
    model.SelectFormat(BmpFormat::XStretch);
    model.ClearHistory();
    const FishCharacter opened = model.Fields;
    model.Edit([&] { model.SetFrames(10); });
    model.Edit([&] { model.SetStretchDX(30); });
    model.Edit([&] { model.SetStretchDX(30); }); // no change: no step
    model.Open(); // typing: one step for all of it
    model.Fields.TurnFrequency = u"1"_qs;
    model.Fields.TurnFrequency = u"12"_qs;
    model.Close();
    model.Edit([&] { model.SelectFormat(BmpFormat::HWave); });
    QCOMPARE(model.CheckedButton, BmpFormat::HWave);

    QVERIFY(model.Undo());
    QCOMPARE(model.CheckedButton, BmpFormat::XStretch);
    QCOMPARE(model.Fields.AnimLoop, true); // the format's preset went with it
    QVERIFY(model.Undo());
    QCOMPARE(model.Fields.TurnFrequency, opened.TurnFrequency);
    QVERIFY(model.Undo());
    QCOMPARE(model.Fields.StretchDX, opened.StretchDX);
    QCOMPARE(model.Fields.AnimationDataNo, 10);
    QVERIFY(model.Undo());
    QVERIFY(model.Fields == opened);
    QVERIFY(!model.Undo());
    QVERIFY(model.Redo());
    QVERIFY(model.Redo());
    QCOMPARE(model.Fields.StretchDX, 30);
    // A new edit drops what could be redone.
    model.Edit([&] { model.SetPhase(3); });
    QVERIFY(!model.CanRedo());
}

QTEST_GUILESS_MAIN(TestFishEditorModel)
#include "tst_fisheditormodel.moc"

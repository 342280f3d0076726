#include "core/operations/page_operations.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/startup.h"
#include "support/running_editor.h"
#include "support/test_world.h"
#include "ui/editor/fish_editor.h"
#include "ui/pages/fish_page.h"
#include "ui/pages/tank_page.h"
#include "ui/widgets/list_box.h"
#include "ui/shell/main_window.h"
#include "ui/shell/version_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestPages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void choosingAFishKeepsOnlyItsBaseName();
    void rightPressClearsTheSlot();
    void emptySlotPictureOpensTheDialog();
    void pictureOpensTheEditor();
    void typedFishDataNo();
    void amountHeadingFollowsTheCheckBox();
    void fileButtonsAndFallbacks();
    void rightReleaseSetsNull();
    void subFolderChangeRebasesNames();
    void solidColour();
    void intervalLabel_data();
    void intervalLabel();
    void aerationAndWaterFlowAreWritten();
    void screenResolution();

private:
    FishPage& Fish() { return *m_window->FishPage1; }
    TankPage& Tank()
    {
        m_window->TabbedNotebook1->setCurrentIndex(2);
        return *m_window->TankPage1;
    }
    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<RunningEditor> m_app;
    ScriptedPrompts* m_prompts = nullptr;
    AppState* m_state = nullptr;
    FishEditor* m_editor = nullptr;
    MainWindow* m_window = nullptr;
    VersionWindow* m_version = nullptr;
};

void TestPages::init()
{
    m_world = std::make_unique<TestWorld>();
    TestWorld& w = *m_world;
    w.WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, SolidPicture(300, 100, 0x0000FF));
    w.WritePicture(u"C:\\aq\\data\\Neon.Fish.bmp"_qs, SolidPicture(300, 100, 0x00FF00));
    w.WriteFile(u"C:\\aq\\data\\neon.ulc"_qs, "Kesso's Screen Saver Ulvaro Character\r\n"
                                              "[BMP DATA FORMAT]\r\nFishDataNo=4\r\nDATA END\r\n");
    w.WritePicture(u"C:\\aq\\data\\suna.bmp"_qs, SolidPicture(64, 16, 0x204080));
    w.WriteFile(u"C:\\aq\\data\\pon.wav"_qs, "RIFF");
    w.WritePicture(u"C:\\aq\\pics\\sand.bmp"_qs, SolidPicture(64, 16, 0x204080));
    w.WritePicture(u"C:\\aq\\pics\\neon.bmp"_qs, SolidPicture(30, 10, 0x0000FF));
    w.WritePicture(u"C:\\aq\\back.bmp"_qs, SolidPicture(64, 48, 0x808080));
    w.WriteRegistry({{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs}});
    w.EnterFolder(u"C:\\aq"_qs);
    m_app = std::make_unique<RunningEditor>(w);
    m_prompts = &m_app->prompts;
    m_state = &m_app->state;
    m_editor = &m_app->editor;
    m_window = &m_app->window;
    m_version = &m_app->version;
    QCOMPARE(m_state->Doc.DataSubFolder, u"data\\"_qs);
}

void TestPages::cleanup()
{
    m_app.reset();
}

void TestPages::choosingAFishKeepsOnlyItsBaseName()
{
    m_prompts->QueueAnswer(u"D:\\elsewhere\\Neon.Fish.bmp"_qs);
    QTest::mouseClick(Fish().Slots[0].Button, Qt::LeftButton);
    QCOMPARE(Fish().Slots[0].Name->text(), u"data\\Neon.Fish"_qs);
    QCOMPARE(Fish().Slots[0].FishDataNo->text(), u"1"_qs);
    QCOMPARE(Fish().Slots[0].FishAmount->text(), u"1"_qs);
    const FileDialogRequest request = m_prompts->Dialogs().back();
    QCOMPARE(request.InitialFolder, u"C:\\aq\\data\\"_qs);
    QCOMPARE(request.Filter, u"BMP File|*.bmp"_qs);
    QCOMPARE(request.FileName, QString());
    // The picture is the bitmap from data\, whatever folder was chosen.
    QCOMPARE(PixelAt(m_state->View.FishPictures[0], 10, 10), ColorRef(0x00FF00));
    QCOMPARE(Fish().Slots[0].Button->toolTip(), u"右ｸﾘｯｸでﾃﾞｰﾀ消去"_qs);
    QCOMPARE(Fish().Slots[0].Picture->toolTip(), u"ｸﾘｯｸでULCﾌｧｲﾙ編集"_qs);
    QCOMPARE(Fish().Slots[0].Button->text(), u"熱帯魚ﾃﾞｰﾀ １..."_qs);
    QCOMPARE(Fish().Slots[5].Button->text(), u"熱帯魚ﾃﾞｰﾀ 6..."_qs);
}

void TestPages::rightPressClearsTheSlot()
{
    m_prompts->QueueAnswer(u"C:\\aq\\data\\neon.bmp"_qs);
    QTest::mouseClick(Fish().Slots[3].Button, Qt::LeftButton);
    QCOMPARE(Fish().Slots[3].FishDataNo->text(), u"4"_qs);
    Fish().Slots[3].FishAmount->setText(u"5"_qs);
    const size_t dialogs = m_prompts->Dialogs().size();
    QTest::mousePress(Fish().Slots[3].Button, Qt::RightButton);
    QTest::mouseRelease(Fish().Slots[3].Button, Qt::RightButton);
    QCOMPARE(m_prompts->Dialogs().size(), dialogs); // no click
    QCOMPARE(Fish().Slots[3].Name->text(), QString());
    QCOMPARE(Fish().Slots[3].FishDataNo->text(), u"4"_qs);
    QCOMPARE(Fish().Slots[3].FishAmount->text(), u"5"_qs);
    QCOMPARE(PixelAt(m_state->View.FishPictures[3], 10, 10), kBlack);
    QCOMPARE(Fish().Slots[3].Picture->pixmap().toImage().pixel(10, 10), qRgb(0, 0, 0));
}

void TestPages::emptySlotPictureOpensTheDialog()
{
    QTest::mouseClick(Fish().Slots[1].Picture, Qt::LeftButton);
    QCOMPARE(m_prompts->Dialogs().size(), size_t(1));
    QVERIFY(!m_editor->isVisible());
    // A FishDataNo that is no number: the conversion error, no editor.
    m_state->Doc.Fish[1].CharacterName = u"data\\neon"_qs;
    m_state->Doc.Fish[1].FishDataNo = u"x"_qs;
    Fish().Refresh();
    QTest::mouseClick(Fish().Slots[1].Picture, Qt::LeftButton);
    QCOMPARE(m_prompts->Messages(), QStringList{u"'x' は数値ではありません"_qs});
    QVERIFY(!m_editor->isVisible());
}

void TestPages::pictureOpensTheEditor()
{
    m_prompts->QueueAnswer(u"C:\\aq\\data\\neon.bmp"_qs);
    QTest::mouseClick(Fish().Slots[2].Button, Qt::LeftButton);
    QTest::mouseClick(Fish().Slots[2].Picture, Qt::LeftButton);
    QVERIFY(m_editor->isVisible());
    QCOMPARE(m_editor->Label1->text(), u"C:\\aq\\data\\neon"_qs);
    QCOMPARE(m_editor->Model().Fields.FishDataNo, 4);
}

void TestPages::typedFishDataNo()
{
    m_prompts->QueueAnswer(u"C:\\aq\\data\\neon.bmp"_qs);
    QTest::mouseClick(Fish().Slots[0].Button, Qt::LeftButton);
    QLineEdit* edit = Fish().Slots[0].FishDataNo;
    edit->selectAll();
    QTest::keyClicks(edit, u"7"_qs);
    QCOMPARE(edit->text(), u"4"_qs); // the character file's own value comes back at once
    // A character without FishDataNo keeps what is typed.
    m_prompts->QueueAnswer(u"C:\\aq\\data\\Neon.Fish.bmp"_qs);
    QTest::mouseClick(Fish().Slots[1].Button, Qt::LeftButton);
    edit = Fish().Slots[1].FishDataNo;
    edit->selectAll();
    QTest::keyClicks(edit, u"7"_qs);
    QCOMPARE(edit->text(), u"7"_qs);
    QCOMPARE(m_state->Doc.Fish[1].FishDataNo, u"7"_qs);
    // An empty slot is not redrawn.
    Fish().Slots[4].FishDataNo->setText(u"3"_qs);
    QCOMPARE(m_state->Doc.Fish[4].FishDataNo, u"3"_qs);
}

void TestPages::amountHeadingFollowsTheCheckBox()
{
    QCOMPARE(Fish().Label10->text(), u"熱帯魚数の比"_qs);
    QTest::mouseClick(Fish().CheckBox1, Qt::LeftButton);
    QCOMPARE(Fish().Label10->text(), u"熱帯魚数"_qs);
    QVERIFY(m_state->Doc.FishCountsFixed);
    QTest::mouseClick(Fish().CheckBox1, Qt::LeftButton);
    QCOMPARE(Fish().Label10->text(), u"熱帯魚数の比"_qs);
}

void TestPages::fileButtonsAndFallbacks()
{
    TankPage& t = Tank();
    m_prompts->QueueAnswer(u"Z:\\x\\suna.bmp"_qs);
    QTest::mouseClick(t.Button2, Qt::LeftButton);
    QCOMPARE(t.Label4->text(), u"data\\suna"_qs);
    m_prompts->QueueAnswer(u"Z:\\x\\nosand.bmp"_qs);
    QTest::mouseClick(t.Button2, Qt::LeftButton);
    QCOMPARE(t.Label4->text(), u"data\\sand"_qs);
    m_prompts->QueueAnswer(u"Z:\\x\\nobubble.bmp"_qs);
    QTest::mouseClick(t.Button8, Qt::LeftButton);
    QCOMPARE(t.Label6->text(), u"data\\bubble"_qs);
    m_prompts->QueueAnswer(u"C:\\aq\\data\\pon.wav"_qs);
    QTest::mouseClick(t.Button9, Qt::LeftButton);
    QCOMPARE(t.Label8->text(), u"data\\pon"_qs);
    QCOMPARE(m_prompts->Dialogs().back().Filter, u"Wave File|*.wav"_qs);
    m_prompts->QueueAnswer(u"Z:\\x\\nosound.wav"_qs);
    QTest::mouseClick(t.Button9, Qt::LeftButton);
    QCOMPARE(t.Label8->text(), u"data\\boo-n"_qs);
    m_prompts->QueueAnswer(u"Z:\\x\\nofood.bmp"_qs); // food: no existence check
    QTest::mouseClick(t.Button27, Qt::LeftButton);
    QCOMPARE(t.Label12->text(), u"data\\nofood"_qs);
    // Background: the full path; the next dialog starts at it.
    m_prompts->QueueAnswer(u"C:\\aq\\back.bmp"_qs);
    QTest::mouseClick(t.Button28, Qt::LeftButton);
    QCOMPARE(t.Label25->text(), u"C:\\aq\\back.bmp"_qs);
    QTest::mouseClick(t.Button28, Qt::LeftButton); // cancelled
    QCOMPARE(m_prompts->Dialogs().back().FileName, u"C:\\aq\\back.bmp"_qs);
    QCOMPARE(m_prompts->Dialogs().back().InitialFolder, u"C:\\aq\\"_qs);
    QCOMPARE(t.Label25->text(), u"C:\\aq\\back.bmp"_qs);
    QCOMPARE(t.Button2->toolTip(), u"右ｸﾘｯｸで設定なし"_qs);
}

void TestPages::rightReleaseSetsNull()
{
    TankPage& t = Tank();
    const size_t dialogs = m_prompts->Dialogs().size();
    for (QPushButton* button : {t.Button2, t.Button8, t.Button9, t.Button27, t.Button28}) {
        QTest::mousePress(button, Qt::RightButton);
        QTest::mouseRelease(button, Qt::RightButton);
    }
    QCOMPARE(m_prompts->Dialogs().size(), dialogs);
    const Aquarium& d = m_state->Doc;
    QCOMPARE((QStringList{d.SandName, d.BubbleName, d.SoundName, d.FoodName, d.BackgroundSource}),
             QStringList(5, u"null"_qs));
    QCOMPARE(t.Label4->text(), u"null"_qs);
}

void TestPages::subFolderChangeRebasesNames()
{
    Aquarium& d = m_state->Doc;
    d.SandName = u"data\\sand"_qs;
    d.BubbleName = u"data\\bubble"_qs;
    d.Fish[0].CharacterName = u"data\\neon"_qs;
    d.Fish[1].CharacterName = u"data\\Neon.Fish"_qs;
    d.FoodName = u"null"_qs;
    d.ObjectBmpTable[0].BmpName = u"data\\kusa"_qs;
    d.LastObjectBmp = 0;
    m_window->Refresh();
    TankPage& t = Tank();
    QCOMPARE(t.FileListBox2->Text(1), u"[pics]"_qs);
    QTest::mouseClick(t.FileListBox2->viewport(), Qt::LeftButton, {},
                      t.FileListBox2->RowRect(1).center());
    QCOMPARE(d.DataSubFolder, u"pics\\"_qs);
    QCOMPARE(t.Label16->text(), u"pics\\"_qs);
    QCOMPARE(d.SandName, u"pics\\sand"_qs);
    QCOMPARE(d.BubbleName, QString()); // no pics\bubble.bmp
    QCOMPARE(d.SoundName, QString());
    QCOMPARE(d.Fish[0].CharacterName, u"pics\\neon"_qs);
    QCOMPARE(d.Fish[1].CharacterName, QString());
    QCOMPARE(d.FoodName, QString()); // "null" has no folder part and no file
    QCOMPARE(d.ObjectBmpTable[0].BmpName, u"pics\\kusa"_qs); // no check for these
    QCOMPARE(m_state->AccessoryListFolder, u"C:\\aq\\pics"_qs);
    QCOMPARE(Fish().Slots[1].Name->text(), QString());
}

void TestPages::solidColour()
{
    TankPage& t = Tank();
    QVERIFY(!t.Panel2->isVisible());
    QTest::mouseClick(t.CheckBox3, Qt::LeftButton);
    QVERIFY(t.Panel2->isVisible());
    QVERIFY(!t.Button28->isEnabled());
    t.ScrollBar1->setValue(255);
    t.ScrollBar2->setValue(128);
    t.ScrollBar3->setValue(0);
    QCOMPARE(m_state->Doc.BackgroundSource, u"0080FF"_qs);
    QCOMPARE(t.Label25->text(), u"0080FF"_qs);
    const QImage swatch = t.Image11->pixmap().toImage();
    QCOMPARE(swatch.size(), QSize(65, 65));
    QCOMPARE(swatch.pixel(0, 0), qRgb(255, 128, 0));
    QCOMPARE(swatch.pixel(64, 64), qRgb(255, 128, 0));
    // Disabled: neither a dialog nor a right-click clearing.
    QTest::mouseClick(t.Button28, Qt::LeftButton);
    QTest::mouseClick(t.Button28, Qt::RightButton);
    QVERIFY(m_prompts->Dialogs().empty());
    QCOMPARE(m_state->Doc.BackgroundSource, u"0080FF"_qs);
    // Unchecking keeps the digits; the button works again.
    QTest::mouseClick(t.CheckBox3, Qt::LeftButton);
    QVERIFY(!t.Panel2->isVisible());
    QVERIFY(t.Button28->isEnabled());
    QCOMPARE(m_state->Doc.BackgroundSource, u"0080FF"_qs);
}

void TestPages::intervalLabel_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::newRow("1") << 1 << u"0.1"_qs;
    QTest::newRow("20") << 20 << u"2.0"_qs;
    QTest::newRow("99") << 99 << u"9.9"_qs;
    QTest::newRow("123") << 123 << u"12.0"_qs;
    QTest::newRow("125 halves up") << 125 << u"13.0"_qs;
    QTest::newRow("600") << 600 << u"60.0"_qs;
}

void TestPages::intervalLabel()
{
    QFETCH(int, position);
    QFETCH(QString, text);
    TankPage& t = Tank();
    QVERIFY(!t.ScrollBar4->isVisible());
    QTest::mouseClick(t.CheckBox4, Qt::LeftButton);
    QVERIFY(t.ScrollBar4->isVisible() && t.Label27->isVisible() && t.Label28->isVisible());
    t.ScrollBar4->setValue(position);
    QCOMPARE(t.Label29->text(), text);
    QCOMPARE(m_state->Doc.IntermittentStep, position);
    QTest::mouseClick(t.CheckBox4, Qt::LeftButton);
    QVERIFY(!t.Label29->isVisible());
    QCOMPARE(m_state->Doc.IntermittentStep, position); // kept while hidden
}

void TestPages::aerationAndWaterFlowAreWritten()
{
    TankPage& t = Tank();
    QVERIFY(t.Aeration[0]->isChecked());
    QVERIFY(t.WaterFlow[0]->isChecked());
    QTest::mouseClick(t.Aeration[3], Qt::LeftButton);
    QTest::mouseClick(t.WaterFlow[2], Qt::LeftButton);
    QCOMPARE(m_state->Doc.Aeration, AerationPosition::All);
    QCOMPARE(m_state->Doc.AquariumType, 2);
    QCOMPARE(t.WaterFlow[2]->text(), u"右向き水流(魚は左向き)"_qs);
    QTest::mouseClick(t.CheckBox2, Qt::LeftButton);
    QVERIFY(m_state->Doc.BackgroundTiling);
}

void TestPages::screenResolution()
{
    Aquarium& d = m_state->Doc;
    m_world->WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, SolidPicture(64, 48, 0x00A000));
    d.ObjectBmpTable[0].BmpName = u"data\\kusa"_qs;
    d.LastObjectBmp = 0;
    QComboBox* combo = m_window->ComboBox1;
    combo->setCurrentIndex(0); // 640 x 480
    QCOMPARE(m_state->ScreenWidth, 640);
    QCOMPARE(m_state->View.Sprites.Entries[0].Picture().size(), QSize(32, 24));
    // Text that is none of the items keeps the size but reloads and redraws.
    m_world->WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, SolidPicture(128, 48, 0x00A000));
    combo->setEditText(u"2000 x 1000"_qs);
    QCOMPARE(m_state->ScreenWidth, 640);
    QCOMPARE(m_state->ScreenHeight, 480);
    QCOMPARE(m_state->View.Sprites.Entries[0].Picture().size(), QSize(64, 24));
}

QTEST_MAIN(TestPages)
#include "tst_pages.moc"

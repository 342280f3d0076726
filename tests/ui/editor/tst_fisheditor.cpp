#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/platform/text_file.h"
#include "core/state/app_state.h"
#include "support/test_world.h"
#include "ui/editor/fish_editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestFishEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void layout();
    void newCharacterOpensOnShadowMapping();
    void formatPresets();
    void upDownControlsFollowTheLayer();
    void gatherAtAccessory();
    void okWritesTheFile();
    void noAnimationWithoutTestWritesNoAnimation();
    void openingKeepsTheFilesLoop();
    void keptAndResetBetweenOpenings();
    void previewStopsAndRestarts();
    void degenerateInputShowsAMessage_data();
    void degenerateInputShowsAMessage();
    void numbersAreNormalised();

private:
    void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    void Open(const QString& name, int fishDataNo = 1)
    {
        m_editor->OpenFor(u"C:\\aq\\data\\"_qs + name, fishDataNo);
        QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
    }
    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<Files> m_files;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<FishEditor> m_editor;
};

void TestFishEditor::init()
{
    m_world = std::make_unique<TestWorld>();
    QImage fish = MakePicture(120, 60, 0x00A0FF);
    m_world->WritePicture(u"C:\\aq\\data\\neon.bmp"_qs, fish);
    m_world->WritePicture(u"C:\\aq\\data\\iwa.bmp"_qs, fish);
    QImage shadow = MakePicture(40, 60, kBlack); // 2 x 3 cells of 20 x 20
    FillRect(shadow, {0, 0, 20, 20}, 0x00A0FF);
    FillRect(shadow, {20, 0, 40, 1}, kWhite);
    FillRect(shadow, {0, 40, 40, 60}, kWhite);
    m_world->WritePicture(u"C:\\aq\\data\\shadow.bmp"_qs, shadow);
    m_files = std::make_unique<Files>(m_world->Paths());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_state = std::make_unique<AppState>(*m_files, *m_prompts);
    m_state->Doc.DataFolder = u"C:\\aq\\"_qs;
    m_state->Doc.DataSubFolder = u"data\\"_qs;
    m_editor = std::make_unique<FishEditor>(*m_state);
}

void TestFishEditor::cleanup()
{
    m_editor.reset();
}

void TestFishEditor::layout()
{
    FishEditor& e = *m_editor;
    QCOMPARE(e.windowTitle(), u"Fish Character"_qs);
    QCOMPARE(e.size(), QSize(540, 442));
    QCOMPARE(e.TabbedNotebook1->tabText(0), u"Fish Character"_qs);
    QCOMPARE(e.TabbedNotebook1->tabText(1), u"AnimationType"_qs);
    QCOMPARE(e.Button1->text(), u"Ok"_qs);
    QCOMPARE(e.Button2->text(), u"Cancel"_qs);
    QCOMPARE(e.Button3->text(), u"動きのテスト"_qs);
    QCOMPARE(e.Button1->size(), QSize(110, 24));
    QCOMPARE(e.Image1->size(), QSize(281, 129));
    QCOMPARE(e.ComboBox1->count(), 8);
    QCOMPARE(e.ComboBox2->count(), 5);
    QCOMPARE(e.ComboBox3->count(), 3);
    QVERIFY(e.ComboBox1->isEditable());
    QCOMPARE(e.RadioButtons[1]->objectName(), u"RadioButton1"_qs);
    QCOMPARE(e.RadioButtons[1]->text(), u"ｼｬﾄﾞｰﾏｯﾋﾟﾝｸﾞ形式"_qs);
    QCOMPARE(e.RadioButtons[0]->objectName(), u"RadioButton7"_qs);
    QCOMPARE(e.RadioButtons[9]->text(), u"縦波2"_qs);
    QCOMPARE(e.ScrollBar5->minimum(), 1);
    QCOMPARE(e.ScrollBar5->maximum(), 64);
    QCOMPARE(e.ScrollBar3->minimum(), 1);
    QCOMPARE(e.ScrollBar3->maximum(), 32);
    QCOMPARE(e.ScrollBar4->maximum(), 15);
    QCOMPARE(e.ScrollBar1->maximum(), 50);
    QCOMPARE(e.ScrollBar5->width(), 100);
    QVERIFY(!e.isVisible());
}

void TestFishEditor::newCharacterOpensOnShadowMapping()
{
    Open(u"newfish"_qs);
    FishEditor& e = *m_editor;
    QCOMPARE(e.Label1->text(), u"C:\\aq\\data\\newfish"_qs);
    QVERIFY(e.RadioButtons[1]->isChecked());
    e.TabbedNotebook1->setCurrentIndex(1);
    QVERIFY(e.Label7->isVisible());
    QVERIFY(e.Label8->isVisible());
    QCOMPARE(e.Label8->text(), u"2"_qs);
    for (QWidget* hidden : {static_cast<QWidget*>(e.ScrollBar5), static_cast<QWidget*>(e.ScrollBar1),
                            static_cast<QWidget*>(e.ScrollBar2), static_cast<QWidget*>(e.ScrollBar3),
                            static_cast<QWidget*>(e.ScrollBar4), static_cast<QWidget*>(e.Label3),
                            static_cast<QWidget*>(e.CheckBox4)})
        QVERIFY(!hidden->isVisible());
    QVERIFY(e.CheckBox2->isVisible());
    QCOMPARE(e.Edit1->text(), u"150"_qs);
    QCOMPARE(e.Edit2->text(), u"4"_qs);
    QCOMPARE(e.Edit7->text(), u"20"_qs);
    QCOMPARE(e.ComboBox1->currentText(), u"どこでも好き"_qs);
    QCOMPARE(e.ComboBox3->currentText(), u"普通"_qs);
    QVERIFY(!e.ComboBox2->isVisible());
    // No bitmap: the render's message, and the preview stays stopped.
    QCOMPARE(m_prompts->Messages(), QStringList{u"ファイル C:\\aq\\data\\newfish.bmp は開けません"_qs});
    QVERIFY(!e.Timer1.isActive());
}

void TestFishEditor::formatPresets()
{
    Open(u"neon"_qs);
    FishEditor& e = *m_editor;
    e.TabbedNotebook1->setCurrentIndex(1);
    Click(e.RadioButtons[2]); // Animation: frame count unchanged (2)
    e.ScrollBar5->setValue(1);
    QCOMPARE(e.Label8->text(), u"1"_qs);
    Click(e.RadioButtons[3]); // 横軸伸張
    QCOMPARE(e.ScrollBar5->value(), 2);
    QVERIFY(e.CheckBox2->isChecked());
    QVERIFY(e.ScrollBar2->isVisible());
    QVERIFY(!e.ScrollBar1->isVisible());
    e.ScrollBar5->setValue(5);
    Click(e.RadioButtons[6]); // 横波: loop off, frame count kept
    QVERIFY(!e.CheckBox2->isChecked());
    QCOMPARE(e.ScrollBar5->value(), 5);
    QVERIFY(e.ScrollBar1->isVisible() && e.ScrollBar3->isVisible() && e.ScrollBar4->isVisible());
    QVERIFY(!e.ScrollBar2->isVisible());
    QVERIFY(e.CheckBox4->isVisible());
    // Clicking the selected button again changes nothing.
    Click(e.CheckBox2);
    QVERIFY(e.CheckBox2->isChecked());
    Click(e.RadioButtons[6]);
    QVERIFY(e.CheckBox2->isChecked());
    Click(e.RadioButtons[1]); // shadow mapping: frame count 2, loop off
    QCOMPARE(e.ScrollBar5->value(), 2);
    QVERIFY(!e.CheckBox2->isChecked());
    Click(e.RadioButtons[0]); // 動きなし hides every row
    for (QWidget* w : {static_cast<QWidget*>(e.Label7), static_cast<QWidget*>(e.ScrollBar5),
                       static_cast<QWidget*>(e.ScrollBar1), static_cast<QWidget*>(e.CheckBox4)})
        QVERIFY(!w->isVisible());
}

void TestFishEditor::upDownControlsFollowTheLayer()
{
    Open(u"neon"_qs);
    FishEditor& e = *m_editor;
    QVERIFY(!e.Edit9->isVisible());
    e.ComboBox1->lineEdit()->clear();
    // Japanese text arrives as an input method's commit, as it does from a Japanese IME.
    QInputMethodEvent typed;
    typed.setCommitString(u"底が大好き"_qs);
    QApplication::sendEvent(e.ComboBox1->lineEdit(), &typed);
    QVERIFY(e.Label19->isVisible() && e.Label20->isVisible());
    QVERIFY(e.ComboBox2->isVisible() && e.Edit9->isVisible());
    QTest::keyClick(e.ComboBox1->lineEdit(), Qt::Key_Backspace);
    QVERIFY(!e.Edit9->isVisible() && !e.ComboBox2->isVisible());
}

void TestFishEditor::gatherAtAccessory()
{
    Open(u"neon"_qs);
    FishEditor& e = *m_editor;
    Click(e.CheckBox6); // the dialog is cancelled
    QVERIFY(!e.CheckBox6->isChecked());
    QCOMPARE(m_prompts->Dialogs().back().InitialFolder, u"C:\\aq\\data\\"_qs);
    QCOMPARE(m_prompts->Dialogs().back().Filter, u"Bitmap File|*.BMP"_qs);
    m_prompts->QueueAnswer(u"Z:\\elsewhere\\iwa.bmp"_qs); // a namesake in data\ exists
    Click(e.CheckBox6);
    QVERIFY(e.CheckBox6->isChecked());
    QCOMPARE(e.Label2->text(), u"data\\iwa.bmp"_qs);
    m_prompts->QueueAnswer(u"Z:\\elsewhere\\none.bmp"_qs);
    Click(e.CheckBox6); // off
    QCOMPARE(e.Label2->text(), QString());
    Click(e.CheckBox6); // on, no namesake: stays on, empty
    QVERIFY(e.CheckBox6->isChecked());
    QCOMPARE(e.Label2->text(), QString());

    // A file with a home position opens ticked, without a dialog.
    m_world->WriteFile(u"C:\\aq\\data\\home.ulc"_qs,
                       "Kesso's Screen Saver Ulvaro Character\r\n[MOV EXTRA DATA]\r\n"
                       "\tHomePosition=data\\iwa.bmp\r\nDATA END\r\n");
    const size_t dialogs = m_prompts->Dialogs().size();
    m_prompts->QueueChoice(Choice::Discard); // the ticked box is an edit of this opening
    e.OpenFor(u"C:\\aq\\data\\home"_qs, 1);
    QVERIFY(e.CheckBox6->isChecked());
    QCOMPARE(e.Label2->text(), u"data\\iwa.bmp"_qs);
    QCOMPARE(m_prompts->Dialogs().size(), dialogs);
}

void TestFishEditor::okWritesTheFile()
{
    Open(u"neon"_qs, 3);
    FishEditor& e = *m_editor;
    e.TabbedNotebook1->setCurrentIndex(1);
    Click(e.RadioButtons[8]); // 縦波
    e.ScrollBar5->setValue(6);
    e.ScrollBar2->setValue(30);
    e.ScrollBar3->setValue(10);
    e.ScrollBar4->setValue(3);
    Click(e.CheckBox4);
    e.TabbedNotebook1->setCurrentIndex(0);
    e.Edit1->clear();
    QTest::keyClicks(e.Edit1, u"120"_qs);
    Click(e.CheckBox3);
    Click(e.Button1);
    QVERIFY(!e.isVisible());
    QCOMPARE(m_prompts->Messages(), QStringList());

    FishCharacter expected;
    expected.Format = BmpFormat::VWave;
    expected.AnimationDataNo = 6;
    expected.FishDataNo = 3;
    expected.StretchDX = 30;
    expected.WaveLength = 10;
    expected.Phase = 3;
    expected.QuarterWave = true;
    expected.TurnFrequency = u"120"_qs;
    expected.QuickTurn = true;
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\data\\neon.ulc"_qs),
             JoinLinesCrLf(FishCharacterLines(expected)));

    // A write that fails keeps the window and its contents.
    Open(u"neon"_qs, 3);
    {
        const FileSizeLimit full(0);
        Click(e.Button1);
    }
    QVERIFY(e.isVisible());
    QCOMPARE(m_prompts->Messages().back(), u"I/O エラー (29)"_qs);
    QCOMPARE(e.Edit1->text(), u"120"_qs);
    Click(e.Button2);
    QVERIFY(!e.isVisible());
}

void TestFishEditor::noAnimationWithoutTestWritesNoAnimation()
{
    Open(u"neon"_qs);
    FishEditor& e = *m_editor;
    Click(e.RadioButtons[0]);
    Click(e.Button1);
    const QString text = DecodeShiftJis(m_world->ReadFile(u"C:\\aq\\data\\neon.ulc"_qs));
    QVERIFY(text.contains(u"\tBmpDataFormat=No_Animation\r\n\tAnimationDataNo=2\r\n"
                          "\tFishDataNo=1\r\nDATA END"_qs));
    // After a test press the format held becomes Animation with one frame.
    Open(u"neon"_qs);
    QVERIFY(e.RadioButtons[0]->isChecked());
    QCOMPARE(e.Model().Fields.Format, BmpFormat::Animation);
    QCOMPARE(e.ScrollBar5->value(), 1);
    Click(e.Button1);
    QVERIFY(DecodeShiftJis(m_world->ReadFile(u"C:\\aq\\data\\neon.ulc"_qs))
                    .contains(u"\tBmpDataFormat=Animation\r\n\tAnimationDataNo=1\r\n"_qs));
}

void TestFishEditor::openingKeepsTheFilesLoop()
{
    FishCharacter c;
    c.Format = BmpFormat::HWave;
    c.AnimationDataNo = 8;
    c.AnimLoop = true; // a wave format's preset would turn it off
    m_world->WriteFile(u"C:\\aq\\data\\neon.ulc"_qs, JoinLinesCrLf(FishCharacterLines(c)));
    const QByteArray before = m_world->ReadFile(u"C:\\aq\\data\\neon.ulc"_qs);
    Open(u"neon"_qs);
    QVERIFY(m_editor->CheckBox2->isChecked());
    QVERIFY(m_editor->RadioButtons[6]->isChecked());
    Click(m_editor->Button1);
    QCOMPARE(m_world->ReadFile(u"C:\\aq\\data\\neon.ulc"_qs), before);
}

void TestFishEditor::keptAndResetBetweenOpenings()
{
    Open(u"neon"_qs);
    FishEditor& e = *m_editor;
    Click(e.RadioButtons[4]); // 縦軸伸張
    e.ScrollBar1->setValue(33);
    e.Edit9->setText(u"70"_qs);
    e.Edit2->setText(u"9"_qs);
    Click(e.CheckBox1);
    m_prompts->QueueChoice(Choice::Discard);
    Click(e.Button2);
    QCOMPARE(m_prompts->Questions(), QStringList{kDiscardEditsQuestion});
    Open(u"iwa"_qs);
    QCOMPARE(e.Edit9->text(), u"70"_qs);   // kept
    QCOMPARE(e.ScrollBar1->value(), 33);   // kept: the file does not set it
    QCOMPARE(e.Edit2->text(), u"4"_qs);    // reset
    QVERIFY(!e.CheckBox1->isChecked());    // reset
    QVERIFY(e.RadioButtons[1]->isChecked());
}

void TestFishEditor::previewStopsAndRestarts()
{
    Open(u"neon"_qs);
    FishEditor& e = *m_editor;
    e.TabbedNotebook1->setCurrentIndex(1);
    Click(e.RadioButtons[3]);
    Click(e.Button3);
    QVERIFY(e.Timer1.isActive());
    QCOMPARE(e.Timer1.interval(), 50);
    QCOMPARE(e.Model().Player.Result().CellWidth, 126); // 120 * 1.05
    e.Timer1Timer();
    e.Timer1Timer();
    QCOMPARE(e.Model().Player.FrameIndex(), 2 % e.Model().Player.Result().AnimCount);
    e.ScrollBar2->setValue(40);
    QVERIFY(!e.Timer1.isActive());
    Click(e.Button3);
    QVERIFY(e.Timer1.isActive());
    QCOMPARE(e.Model().Player.FrameIndex(), 0);
    Click(e.CheckBox2); // only the flag changes
    QVERIFY(e.Timer1.isActive());
    e.TabbedNotebook1->setCurrentIndex(0);
    QVERIFY(!e.Timer1.isActive());
    e.TabbedNotebook1->setCurrentIndex(1);
    QVERIFY(!e.Timer1.isActive());
    Click(e.Button3);
    m_prompts->QueueChoice(Choice::Discard); // the format was changed
    e.close(); // the close box: stopped, the strip released
    QVERIFY(!e.Timer1.isActive());
    QVERIFY(!e.Model().Player.HasStrip());
    Open(u"neon"_qs);
    QVERIFY(e.Model().Player.HasStrip());
    QVERIFY(e.Timer1.isActive());
}

void TestFishEditor::degenerateInputShowsAMessage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("fishDataNo");
    QTest::addColumn<QByteArray>("bitmap");
    QTest::addColumn<QString>("message");
    QTest::newRow("FishDataNo -1") << u"shadow"_qs << -1 << QByteArray() << u"ゼロによる除算"_qs;
    QTest::newRow("broken bitmap") << u"broken"_qs << 1 << QByteArray("BMxx")
                                   << u"ビットマップイメージが不正です"_qs;
}

void TestFishEditor::degenerateInputShowsAMessage()
{
    QFETCH(QString, name);
    QFETCH(int, fishDataNo);
    QFETCH(QByteArray, bitmap);
    QFETCH(QString, message);
    if (!bitmap.isEmpty())
        m_world->WriteFile(u"C:\\aq\\data\\"_qs + name + u".bmp"_qs, bitmap);
    Open(name, fishDataNo);
    QCOMPARE(m_prompts->Messages(), QStringList{message});
    QVERIFY(!m_editor->Timer1.isActive());
    QVERIFY(m_editor->isVisible());
}

void TestFishEditor::numbersAreNormalised()
{
    Open(u"neon"_qs);
    FishEditor& e = *m_editor;
    e.Edit1->setFocus();
    e.Edit1->selectAll();
    QTest::keyClicks(e.Edit1, u"fast"_qs);
    e.Edit8->setText(u"250"_qs);
    e.Edit5->setText(u"x"_qs);
    Click(e.Button1);
    const QString text = DecodeShiftJis(m_world->ReadFile(u"C:\\aq\\data\\neon.ulc"_qs));
    QVERIFY(text.contains(u"//泳ぐ向きを変える頻度\r\n\t150\r\n"_qs));
    QVERIFY(text.contains(u"//静止する頻度(0-100%)\r\n\t100\r\n"_qs));
    QVERIFY(text.contains(u"//群れやすさ(0-100%)\r\n\t0\r\n"_qs));
    QCOMPARE(e.Edit1->text(), u"150"_qs); // what is written is what the window shows
}

QTEST_MAIN(TestFishEditor)
#include "tst_fisheditor.moc"

#include "core/document/tank_preview.h"
#include "core/platform/fonts.h"
#include "core/platform/prompts.h"
#include "core/platform/raster.h"
#include "core/platform/registry.h"
#include "core/state/app_state.h"
#include "core/state/startup.h"
#include "support/running_editor.h"
#include "support/test_world.h"
#include "ui/editor/fish_editor.h"
#include "ui/pages/accessory_page.h"
#include "ui/shell/main_window.h"
#include "ui/shell/version_window.h"
#include "ui/widgets/file_list_box.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

using namespace aquarium;
using namespace aquarium::test;

class TestAccessoryPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void layout();
    void placeMoveAndDeleteWithTheMouse();
    void dragOutsideTheCanvas();
    void shiftClickWithTheMouse();
    void previewOfTheChosenPicture();
    void help();

private:
    void Select(const QString& name)
    {
        FileListBox* list = m_page->FileListBox1;
        const int row = list->FindRow(name);
        QVERIFY(row >= 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->RowRect(row).center());
    }
    // The pictures the page shows equal what DrawTankPreview draws from the state.
    void ShowsTheDrawing()
    {
        QImage tank, strip;
        DrawTankPreview(m_app->files, m_state->Doc, m_state->Screen(), m_state->View.Sprites, tank,
                        strip, InterfaceFont(12));
        QCOMPARE(m_page->Image4->pixmap().toImage().convertToFormat(QImage::Format_RGB32), tank);
        QCOMPARE(m_page->Image5->pixmap().toImage().convertToFormat(QImage::Format_RGB32), strip);
    }
    std::unique_ptr<TestWorld> m_world;
    std::unique_ptr<RunningEditor> m_app;
    ScriptedPrompts* m_prompts = nullptr;
    AppState* m_state = nullptr;
    FishEditor* m_editor = nullptr;
    MainWindow* m_window = nullptr;
    VersionWindow* m_version = nullptr;
    AccessoryPage* m_page = nullptr;
};

void TestAccessoryPage::init()
{
    m_world = std::make_unique<TestWorld>();
    QImage kusa = SolidPicture(64, 96, 0x00A000);
    SetPixelAt(kusa, 0, 0, kBlack);
    m_world->WritePicture(u"C:\\aq\\data\\kusa.bmp"_qs, kusa);
    m_world->WritePicture(u"C:\\aq\\data\\iwa.bmp"_qs, SolidPicture(640, 480, 0x808080));
    m_world->WritePicture(u"C:\\aq\\data\\底砂.bmp"_qs, SolidPicture(128, 96, 0x204080));
    m_world->WriteRegistry({{u"DataFile"_qs, u"C:\\aq\\tetra.uld"_qs}});
    m_world->EnterFolder(u"C:\\aq"_qs);
    m_app = std::make_unique<RunningEditor>(*m_world);
    m_prompts = &m_app->prompts;
    m_state = &m_app->state;
    m_editor = &m_app->editor;
    m_window = &m_app->window;
    m_version = &m_app->version;
    m_page = m_window->AccessoryPage1;
    m_window->TabbedNotebook1->setCurrentIndex(1); // opening the page redraws the preview
    QCOMPARE(m_state->View.SandHeight, 30);
}

void TestAccessoryPage::cleanup()
{
    m_app.reset();
}

void TestAccessoryPage::layout()
{
    QCOMPARE(m_page->Image4->geometry(), QRect(5, 4, 320, 240));
    QCOMPARE(m_page->Image6->geometry(), QRect(326, 4, 161, 129));
    QCOMPARE(m_page->FileListBox1->geometry(), QRect(326, 131, 161, 125));
    QCOMPARE(m_page->Image5->geometry(), QRect(6, 246, 320, 126));
    QCOMPARE(m_page->FileListBox1->Names(), (QStringList{"iwa.bmp", "kusa.bmp", "底砂.bmp"}));
    QCOMPARE(m_page->Label17->text(), u"  "_qs);
    QVERIFY(!m_page->Image7->isVisible());
    ShowsTheDrawing();
}

void TestAccessoryPage::placeMoveAndDeleteWithTheMouse()
{
    Select(u"kusa.bmp"_qs);
    CanvasWidget* canvas = m_page->Image5;
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(100, 50));
    QCOMPARE(m_state->Doc.LastObject, 0);
    QCOMPARE(m_state->Doc.ObjectTable[0].XPosition, 6);
    ShowsTheDrawing();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(200, 100));
    QCOMPARE(m_state->Doc.LastObject, 1);
    ShowsTheDrawing();

    // Point at accessory 1, drag it to column 2, front row.
    QTest::mouseMove(canvas, QPoint(100, 47));
    QCOMPARE(m_state->View.SelectedObject, 0);
    QCOMPARE(m_page->Label17->text(), u"data\\kusa"_qs);
    QCOMPARE(m_page->Label19->text(), u"静止"_qs);
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(100, 47));
    QTest::mouseMove(canvas, QPoint(40, 90));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(40, 90));
    QCOMPARE(m_state->Doc.ObjectTable[1].XPosition, 2); // grabbed: now the last entry
    QCOMPARE(m_state->Doc.ObjectTable[1].Layer, 4);
    ShowsTheDrawing();

    // Right click deletes it.
    QTest::mouseMove(canvas, QPoint(36, 89));
    QCOMPARE(m_state->View.SelectedObject, 1);
    QTest::mouseClick(canvas, Qt::RightButton, {}, QPoint(36, 89));
    QCOMPARE(m_state->Doc.LastObject, 0);
    ShowsTheDrawing();
}

void TestAccessoryPage::dragOutsideTheCanvas()
{
    Select(u"kusa.bmp"_qs);
    CanvasWidget* canvas = m_page->Image5;
    // Press on empty canvas, move beyond its right edge and above it, release there.
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(50, 70));
    QMouseEvent move(QEvent::MouseMove, QPointF(500, -60), canvas->mapToGlobal(QPointF(500, -60)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(500, -60));
    QCOMPARE(m_state->Doc.LastObject, 0);
    QCOMPARE(m_state->Doc.ObjectTable[0].XPosition, 19);
    QCOMPARE(m_state->Doc.ObjectTable[0].Layer, 0);
    ShowsTheDrawing();
}

void TestAccessoryPage::shiftClickWithTheMouse()
{
    Select(u"kusa.bmp"_qs);
    CanvasWidget* canvas = m_page->Image5;
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(100, 50));
    QTest::mouseMove(canvas, QPoint(100, 47));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 47));
    QCOMPARE(int(m_state->Doc.ObjectTable[0].Sway), 1);
    QCOMPARE(m_page->Label19->text(), u"左右に揺れる"_qs);
    QCOMPARE(m_state->Doc.LastObject, 0); // released with Shift held: nothing placed
    QTest::mouseMove(canvas, QPoint(101, 46)); // pointing again selects it again
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ControlModifier, QPoint(101, 46));
    QCOMPARE(int(m_state->Doc.ObjectTable[0].Spread), 1);
    QCOMPARE(m_page->Label26->text(), u"左右一面に広げる"_qs);
    ShowsTheDrawing();
}

void TestAccessoryPage::previewOfTheChosenPicture()
{
    Select(u"iwa.bmp"_qs);
    const QImage preview = m_page->Image6->pixmap().toImage();
    QCOMPARE(preview.pixel(160, 119), qRgb(0x80, 0x80, 0x80));
    QCOMPARE(preview.pixel(160, 120), qRgb(0, 0, 0));
    m_world->WriteFile(u"C:\\aq\\data\\broken.bmp"_qs, "junk");
    m_page->FileListBox1->SetDirectory(m_state->AccessoryListFolder);
    Select(u"broken.bmp"_qs);
    QCOMPARE(m_prompts->Messages(), QStringList{u"ビットマップイメージが不正です"_qs});
    QCOMPARE(m_page->Image6->pixmap().toImage().pixel(10, 10), qRgb(0, 0, 0));
}

void TestAccessoryPage::help()
{
    QVERIFY(!m_page->Memo1->isVisible());
    QTest::mouseClick(m_page->Button11, Qt::LeftButton);
    QVERIFY(m_page->Memo1->isVisible());
    QVERIFY(m_page->Memo1->isReadOnly());
    QCOMPARE(m_page->Button11->text(), u"Help終了"_qs);
    QCOMPARE(m_page->Memo1->toPlainText().split(u'\n').size(), 21);
    QVERIFY(m_page->Memo1->toPlainText().startsWith(u"１  新規配置："_qs));
    QTest::mouseClick(m_page->Button11, Qt::LeftButton);
    QVERIFY(!m_page->Memo1->isVisible());
    QCOMPARE(m_page->Button11->text(), u"Help"_qs);
}

QTEST_MAIN(TestAccessoryPage)
#include "tst_accessorypage.moc"

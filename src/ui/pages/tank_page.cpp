#include "ui/pages/tank_page.h"

#include "core/document/referenced_files.h"
#include "core/operations/page_operations.h"
#include "core/platform/platform_error.h"
#include "core/state/app_state.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/named.h"
#include "ui/widgets/list_box.h"
#include "gui/sound_output.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace aquarium {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y,
                  int width = 0)
{
    auto* label = Named(new QLabel(text, parent), name);
    label->move(x, y);
    if (width > 0)
        label->setFixedWidth(width);
    else
        label->adjustSize();
    return label;
}

QScrollBar* MakeBar(QWidget* parent, const char* name, int low, int high, int x, int y, int width)
{
    auto* bar = Named(new QScrollBar(Qt::Horizontal, parent), name);
    bar->setRange(low, high);
    bar->setSingleStep(1);
    bar->setPageStep(10);
    bar->setGeometry(x, y, width, 17);
    bar->setFocusPolicy(Qt::StrongFocus); // reached with Tab, moved with the arrow keys
    bar->setInvertedControls(false); // Right and Up make the value larger
    return bar;
}

} // namespace

TankPage::TankPage(AppState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_edits(state)
{
    setObjectName(QStringLiteral("TankPage"));
    MakeLabel(this, "Label13", QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙﾌｫﾙﾀﾞ"), 8, 6);
    Label15 = MakeLabel(this, "Label15", QString(), 16, 22, 470);
    MakeLabel(this, "Label14", QStringLiteral("画像ﾃﾞｰﾀ等の保存用ｻﾌﾞﾌｫﾙﾀﾞ"), 8, 42);
    Label16 = MakeLabel(this, "Label16", QString(), 16, 58, 130);
    FileListBox2 = Named(new ListBox(0, this), "FileListBox2");
    FileListBox2->setGeometry(8, 76, 130, 104);
    QFont small = FileListBox2->font();
    small.setPixelSize(13);
    FileListBox2->setFont(small);
    connect(FileListBox2, &ListBox::RowClicked, this, &TankPage::FileListBox2Click);
    // The arrow keys only move the highlight; Enter takes the highlighted folder.
    FileListBox2->installEventFilter(this);
    FileListBox2->setAccessibleName(QStringLiteral("画像ﾃﾞｰﾀ等の保存用ｻﾌﾞﾌｫﾙﾀﾞ"));

    struct FileRow
    {
        const char* button;
        QString caption;
        const char* label;
        FileItem item;
        QPushButton** buttonOut;
        QLabel** labelOut;
    };
    const FileRow rows[] = {
            {"Button2", QStringLiteral("底砂のﾃﾞｰﾀ..."), "Label4", FileItem::Sand, &Button2, &Label4},
            {"Button8", QStringLiteral("気泡のﾃﾞｰﾀ..."), "Label6", FileItem::Bubble, &Button8,
             &Label6},
            {"Button9", QStringLiteral("効果音のﾌｧｲﾙ..."), "Label8", FileItem::Sound, &Button9,
             &Label8},
            {"Button27", QStringLiteral("餌のデータ..."), "Label12", FileItem::Food, &Button27,
             &Label12},
            {"Button28", QStringLiteral("背景画像ﾌｧｲﾙ..."), "Label25", FileItem::Background,
             &Button28, &Label25},
    };
    int y = 76;
    for (const FileRow& row : rows) {
        auto* button = Named(new QPushButton(row.caption, this), row.button);
        button->setGeometry(150, y, 110, 22);
        button->setToolTip(QStringLiteral("右ｸﾘｯｸで設定なし"));
        button->installEventFilter(this);
        *row.buttonOut = button;
        *row.labelOut = MakeLabel(this, row.label, QString(), 266, y + 3, 222);
        const FileItem item = row.item;
        connect(button, &QPushButton::clicked, this, [this, item] {
            m_edits.ChooseFileItem(item);
            Edited();
        });
        y += 26;
    }
    CheckBox2 = Named(new QCheckBox(QStringLiteral("ﾀｲﾙ表示"), this), "CheckBox2");
    CheckBox2->move(150, y);
    connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) {
        if (m_showing)
            return;
        m_edits.SetBackgroundTiling(on);
        Edited();
    });
    CheckBox3 = Named(new QCheckBox(QStringLiteral("1色塗りつぶし"), this), "CheckBox3");
    CheckBox3->move(250, y);
    connect(CheckBox3, &QCheckBox::clicked, this, &TankPage::CheckBox3Click);

    Panel2 = Named(new QFrame(this), "Panel2");
    Panel2->setGeometry(150, y + 22, 336, 74);
    Image11 = Named(new QLabel(Panel2), "Image11");
    Image11->setGeometry(4, 4, 65, 65);
    const char* colourNames[] = {"ScrollBar1", "ScrollBar2", "ScrollBar3"};
    const QString colourCaptions[] = {QStringLiteral("R"), QStringLiteral("G"), QStringLiteral("B")};
    QScrollBar** colourBars[] = {&ScrollBar1, &ScrollBar2, &ScrollBar3};
    for (int c = 0; c < 3; ++c) {
        auto* caption = new QLabel(colourCaptions[c], Panel2);
        caption->move(78, 8 + c * 22);
        *colourBars[c] = MakeBar(Panel2, colourNames[c], 0, 255, 92, 6 + c * 22, 236);
        connect(*colourBars[c], &QScrollBar::valueChanged, this, [this] {
            if (!m_showing)
                ScrollBarColourChange();
        });
        connect(*colourBars[c], &QScrollBar::sliderReleased, this, [this] { m_state.Edits.Close(); });
    }

    // Left column under the sub-folders: aeration, then intermittent sound.
    const int soundY = 296;
    CheckBox4 = Named(new QCheckBox(QStringLiteral("断続音にする"), this), "CheckBox4");
    CheckBox4->move(8, soundY);
    connect(CheckBox4, &QCheckBox::clicked, this, &TankPage::CheckBox4Click);
    Label27 = MakeLabel(this, "Label27", QStringLiteral("平均"), 12, soundY + 24);
    Label29 = MakeLabel(this, "Label29", QStringLiteral("2.0"), 40, soundY + 24, 36);
    Label29->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label28 = MakeLabel(this, "Label28", QStringLiteral("秒間隔"), 80, soundY + 24);
    ScrollBar4 = MakeBar(this, "ScrollBar4", 1, 600, 8, soundY + 44, 130);
    connect(ScrollBar4, &QScrollBar::valueChanged, this, [this] {
        if (!m_showing)
            ScrollBar4Change();
    });
    connect(ScrollBar4, &QScrollBar::sliderReleased, this, [this] { m_state.Edits.Close(); });

    RadioGroup1 = Named(new QGroupBox(QStringLiteral("ｴｱﾚｰｼｮﾝの位置"), this), "RadioGroup1");
    RadioGroup1->setGeometry(8, 186, 130, 104);
    const QString aeration[] = {QStringLiteral("右"), QStringLiteral("中央"), QStringLiteral("左"),
                                QStringLiteral("全体")};
    for (int i = 0; i < 4; ++i) {
        Aeration[i] = new QRadioButton(aeration[i], RadioGroup1);
        Aeration[i]->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
        Aeration[i]->move(10, 20 + i * 20);
        connect(Aeration[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on || m_showing)
                return;
            m_edits.SetAeration(AerationPosition(i));
            Edited();
        });
    }
    GroupBox1 = Named(new QGroupBox(QStringLiteral("Aquarium Type"), this), "GroupBox1");
    GroupBox1->setGeometry(150, y + 100, 336, 64);
    const QString flows[] = {QStringLiteral("水槽モード"), QStringLiteral("左向き水流(魚は右向き)"),
                             QStringLiteral("右向き水流(魚は左向き)"), QStringLiteral("水流なし")};
    for (int i = 0; i < 4; ++i) {
        WaterFlow[i] = new QRadioButton(flows[i], GroupBox1);
        WaterFlow[i]->setObjectName(QStringLiteral("RadioButton%1").arg(i + 5));
        WaterFlow[i]->move(10 + (i / 2) * 160, 18 + (i % 2) * 20);
        connect(WaterFlow[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on || m_showing)
                return;
            m_edits.SetWaterFlow(i);
            Edited();
        });
    }
    // Listening to the sound while choosing it: a small button at the end of its row.
    SoundPlayButton = Named(new QPushButton(QStringLiteral("▶"), this), "SoundPlayButton");
    SoundPlayButton->setGeometry(Label8->x() + Label8->width() - 24, Button9->y(), 24, 22);
    SoundPlayButton->setToolTip(QStringLiteral("効果音を聞く"));
    SoundPlayButton->setAccessibleName(QStringLiteral("効果音を聞く"));
    SoundPlayButton->setEnabled(false);
    connect(SoundPlayButton, &QPushButton::clicked, this, &TankPage::PlaySoundClick);
    // For screen readers: each bar by its row's caption, the swatch by what it shows.
    ScrollBar1->setAccessibleName(QStringLiteral("背景色の赤 (R)"));
    ScrollBar2->setAccessibleName(QStringLiteral("背景色の緑 (G)"));
    ScrollBar3->setAccessibleName(QStringLiteral("背景色の青 (B)"));
    ScrollBar4->setAccessibleName(QStringLiteral("断続音の平均の間隔 (秒)"));
    Image11->setAccessibleName(QStringLiteral("背景色"));
    OrderTabsByPosition(this);
    Refresh();
}

void TankPage::Refresh()
{
    m_showing = true;
    const Aquarium& doc = m_state.Doc;
    Label15->setText(doc.DataFolder);
    Label16->setText(doc.DataSubFolder);
    FileListBox2->Show(m_state.SubFolderEntries, m_state.SubFolderIndex);
    Label4->setText(doc.SandName);
    Label6->setText(doc.BubbleName);
    Label8->setText(doc.SoundName);
    Label12->setText(doc.FoodName);
    Label25->setText(doc.BackgroundSource);
    CheckBox2->setChecked(doc.BackgroundTiling);
    CheckBox3->setChecked(doc.BackgroundColourFill);
    Panel2->setVisible(doc.BackgroundColourFill);
    Button28->setEnabled(!doc.BackgroundColourFill);
    ScrollBar1->setValue(doc.BackgroundRed);
    ScrollBar2->setValue(doc.BackgroundGreen);
    ScrollBar3->setValue(doc.BackgroundBlue);
    Image11->setPixmap(QPixmap::fromImage(ColourSwatch(doc)));
    CheckBox4->setChecked(doc.IntermittentSound);
    for (QWidget* w : {static_cast<QWidget*>(Label27), static_cast<QWidget*>(Label28),
                       static_cast<QWidget*>(Label29), static_cast<QWidget*>(ScrollBar4)})
        w->setVisible(doc.IntermittentSound);
    ScrollBar4->setValue(doc.IntermittentStep);
    Label29->setText(IntervalText(doc.IntermittentStep));
    Aeration[int(doc.Aeration)]->setChecked(true);
    if (doc.AquariumType >= 0 && doc.AquariumType <= 3)
        WaterFlow[doc.AquariumType]->setChecked(true);
    const QString sound = SoundPath();
    const bool playing = m_listening && !sound.isEmpty()
                         && m_listening->SoundFile().compare(sound, Qt::CaseInsensitive) == 0;
    SoundPlayButton->setEnabled(m_listening && !sound.isEmpty());
    SoundPlayButton->setText(playing ? QStringLiteral("■") : QStringLiteral("▶"));
    SoundPlayButton->setToolTip(playing ? QStringLiteral("止める") : QStringLiteral("効果音を聞く"));
    m_showing = false;
}

void TankPage::SetListening(Listening* listening)
{
    m_listening = listening;
    connect(listening, &Listening::Changed, this, &TankPage::Refresh);
    Refresh();
}

QString TankPage::SoundPath() const
{
    const QString& name = m_state.Doc.SoundName;
    return IsNamed(name) ? DataFilePath(m_state.Doc.DataFolder, name, kSoundExtension) : QString();
}

void TankPage::PlaySoundClick()
{
    const QString path = SoundPath();
    if (m_listening && !path.isEmpty())
        Q_EMIT Said(m_listening->ToggleSound(path));
    Refresh();
}

void TankPage::Edited()
{
    Refresh();
    Q_EMIT Changed();
}

void TankPage::FileListBox2Click(int row)
{
    m_edits.ChooseSubFolder(row);
    Edited();
}

void TankPage::CheckBox3Click()
{
    m_edits.SetColourFill(CheckBox3->isChecked());
    Edited();
}

void TankPage::ScrollBarColourChange()
{
    // A drag of a slider is one step, ended when it is let go.
    const bool held = ScrollBar1->isSliderDown() || ScrollBar2->isSliderDown()
                      || ScrollBar3->isSliderDown();
    m_edits.SetBackgroundColour(ScrollBar1->value(), ScrollBar2->value(), ScrollBar3->value(),
                                held);
    Edited();
}

void TankPage::CheckBox4Click()
{
    m_edits.SetIntermittentSound(CheckBox4->isChecked());
    Edited();
}

void TankPage::ScrollBar4Change()
{
    m_edits.SetIntermittentStep(ScrollBar4->value(), ScrollBar4->isSliderDown());
    Edited();
}

bool TankPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FileListBox2 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && FileListBox2->CurrentRow() >= 0) {
            FileListBox2Click(FileListBox2->CurrentRow());
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        const std::pair<QPushButton*, FileItem> buttons[] = {
                {Button2, FileItem::Sand},     {Button8, FileItem::Bubble},
                {Button9, FileItem::Sound},    {Button27, FileItem::Food},
                {Button28, FileItem::Background}};
        for (const auto& [button, item] : buttons) {
            // A disabled button (the background while the colour fills) takes no click.
            if (watched == button && button->isEnabled()) {
                m_edits.ClearFileItem(item);
                Edited();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace aquarium

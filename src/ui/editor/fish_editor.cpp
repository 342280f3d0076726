#include "ui/editor/fish_editor.h"

#include "core/document/aquarium.h"
#include "core/platform/files.h"
#include "core/platform/platform_error.h"
#include "core/platform/prompts.h"
#include "core/state/app_state.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/named.h"
#include "ui/widgets/window_place.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

namespace aquarium {

namespace {

QLabel* Caption(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* label = Named(new QLabel(text, parent), name);
    label->move(x, y);
    label->adjustSize();
    return label;
}

void SetText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}

void SetText(QComboBox* box, const QString& text)
{
    if (box->currentText() != text)
        box->setEditText(text);
}

} // namespace

FishEditor::FishEditor(AppState& state, QWidget* parent) : QWidget(parent, Qt::Window), m_state(state)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Fish Character"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(540, 442);

    TabbedNotebook1 = Named(new QTabWidget(this), "TabbedNotebook1");
    TabbedNotebook1->setGeometry(0, 0, 409, 442);
    TabbedNotebook1->setAccessibleName(QStringLiteral("ページ"));
    auto* fishPage = Named(new QWidget, "FishCharacterPage");
    auto* animationPage = Named(new QWidget, "AnimationTypePage");
    TabbedNotebook1->addTab(fishPage, QStringLiteral("Fish Character"));
    TabbedNotebook1->addTab(animationPage, QStringLiteral("AnimationType"));
    BuildFishPage(fishPage);
    BuildAnimationPage(animationPage);

    Button1 = Named(new QPushButton(QStringLiteral("Ok"), this), "Button1");
    Button1->setGeometry(420, 24, 110, 24);
    Button2 = Named(new QPushButton(QStringLiteral("Cancel"), this), "Button2");
    Button2->setGeometry(420, 56, 110, 24);
    connect(Button1, &QPushButton::clicked, this, &FishEditor::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &FishEditor::Button2Click);

    connect(TabbedNotebook1, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == 0) {
            m_model.Player.Stop();
            SyncTimer();
        }
    });
    Timer1.setObjectName(QStringLiteral("Timer1"));
    connect(&Timer1, &QTimer::timeout, this, &FishEditor::Timer1Timer);
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->acceptDrops())
            child->installEventFilter(this);
    }
    OnKeys(this, QKeySequence(Qt::Key_Return), [this] { Button1Click(); });
    OnKeys(this, QKeySequence(Qt::Key_Enter), [this] { Button1Click(); });
    OnKeys(this, QKeySequence(Qt::Key_Escape), [this] { Button2Click(); });
    OnUndoKeys(this, [this] { Undo(); }, [this] { Redo(); });
    OrderTabsByPosition(fishPage);
    OrderTabsByPosition(animationPage);
    ShowModel();
}

bool FishEditor::HasEdits() const
{
    return isVisible() && m_model.Fields != m_opened;
}

bool FishEditor::MayDiscardEdits()
{
    if (!HasEdits())
        return true;
    raise();
    return m_state.UserPrompts.Ask(kDiscardEditsQuestion, false) == Choice::Discard;
}

bool FishEditor::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)
        && static_cast<QDropEvent*>(event)->mimeData()
        && static_cast<QDropEvent*>(event)->mimeData()->hasUrls()) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FishEditor::BuildFishPage(QWidget* page)
{
    Label1 = Named(new QLabel(page), "Label1");
    Label1->setGeometry(8, 6, 390, 16);

    struct Row
    {
        const char* label;
        QString caption;
        const char* control;
    };
    const Row rows[] = {
            {"Label14", QStringLiteral("動きを変える頻度"), "Edit1"},
            {"Label15", QStringLiteral("横の移動増分"), "Edit2"},
            {"Label16", QStringLiteral("縦の移動増分"), "Edit3"},
            {"Label17", QStringLiteral("すいすい動く時の最大の速さ(倍数)"), "Edit4"},
            {"Label18", QStringLiteral("好みの層"), "ComboBox1"},
            {"Label19", QStringLiteral("上下に動くのが好き"), "ComboBox2"},
            {"Label20", QStringLiteral("上に動く範囲(0-100%)"), "Edit9"},
            {"Label21", QStringLiteral("餌の食いつき (体長の倍数)"), "Edit7"},
            {"Label22", QStringLiteral("群れる頻度(0-100%)"), "Edit5"},
            {"Label23", QStringLiteral("群を作る範囲(体長の倍数)"), "Edit6"},
            {"Label24", QStringLiteral("休みたがり(0-100%)"), "Edit8"},
            {"Label25", QStringLiteral("人なつっこさ"), "ComboBox3"},
    };
    int y = 30;
    for (const Row& row : rows) {
        QLabel* caption = Caption(page, row.label, row.caption, 12, y + 3);
        QWidget* control;
        const QString name = QLatin1String(row.control);
        if (name.startsWith(u"ComboBox")) {
            auto* box = Named(new QComboBox(page), row.control);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            control = box;
        } else {
            control = Named(new QLineEdit(page), row.control);
        }
        control->setGeometry(250, y, 140, 21);
        if (name == u"Edit1") Edit1 = static_cast<QLineEdit*>(control);
        if (name == u"Edit2") Edit2 = static_cast<QLineEdit*>(control);
        if (name == u"Edit3") Edit3 = static_cast<QLineEdit*>(control);
        if (name == u"Edit4") Edit4 = static_cast<QLineEdit*>(control);
        if (name == u"Edit5") Edit5 = static_cast<QLineEdit*>(control);
        if (name == u"Edit6") Edit6 = static_cast<QLineEdit*>(control);
        if (name == u"Edit7") Edit7 = static_cast<QLineEdit*>(control);
        if (name == u"Edit8") Edit8 = static_cast<QLineEdit*>(control);
        if (name == u"Edit9") Edit9 = static_cast<QLineEdit*>(control);
        if (name == u"ComboBox1") ComboBox1 = static_cast<QComboBox*>(control);
        if (name == u"ComboBox2") ComboBox2 = static_cast<QComboBox*>(control);
        if (name == u"ComboBox3") ComboBox3 = static_cast<QComboBox*>(control);
        if (QLatin1String(row.label) == u"Label19") Label19 = caption;
        if (QLatin1String(row.label) == u"Label20") Label20 = caption;
        y += 23;
    }
    ComboBox1->addItems(kPreferredLayers);
    ComboBox2->addItems(kUpDownLikings);
    ComboBox3->addItems(kFriendlinessNames);

    CheckBox1 = Named(new QCheckBox(QStringLiteral("水槽前面ガラスにへばりつく"), page), "CheckBox1");
    CheckBox1->move(12, y + 6);
    CheckBox3 = Named(new QCheckBox(QStringLiteral("Quick Turn"), page), "CheckBox3");
    CheckBox3->move(190, y + 6);
    CheckBox5 = Named(new QCheckBox(QStringLiteral("ゆったり泳ぐ"), page), "CheckBox5");
    CheckBox5->move(290, y + 6);
    CheckBox6 = Named(new QCheckBox(QStringLiteral("アクセサリに集まる"), page), "CheckBox6");
    CheckBox6->move(12, y + 32);
    Label2 = Named(new QLabel(page), "Label2");
    Label2->setGeometry(150, y + 34, 240, 16);

    // Edits write into the model as typed; the numbers are normalised when a field is left.
    const std::pair<QLineEdit*, QString FishCharacter::*> edits[] = {
            {Edit1, &FishCharacter::TurnFrequency},  {Edit2, &FishCharacter::HorizontalStep},
            {Edit3, &FishCharacter::VerticalStep},   {Edit4, &FishCharacter::MaxSpeedMultiple},
            {Edit5, &FishCharacter::SchoolingFrequency}, {Edit6, &FishCharacter::SchoolRange},
            {Edit7, &FishCharacter::FoodRange},      {Edit8, &FishCharacter::RestFrequency},
            {Edit9, &FishCharacter::UpperRange}};
    // Typing in a field is one step of the editor's history, closed when it is left.
    for (const auto& [edit, field] : edits) {
        connect(edit, &QLineEdit::textChanged, this, [this, field = field](const QString& text) {
            if (m_showing)
                return;
            m_model.Open();
            m_model.Fields.*field = text;
        });
        connect(edit, &QLineEdit::editingFinished, this, [this] {
            m_model.NormaliseFields();
            m_model.Close();
            ShowModel();
        });
    }
    const std::pair<QComboBox*, QString FishCharacter::*> boxes[] = {
            {ComboBox1, &FishCharacter::PreferredLayer},
            {ComboBox2, &FishCharacter::UpDownLiking},
            {ComboBox3, &FishCharacter::Friendliness}};
    for (const auto& [box, field] : boxes) {
        connect(box, &QComboBox::editTextChanged, this, [this, field = field](const QString& text) {
            if (m_showing)
                return;
            m_model.Open();
            m_model.Fields.*field = text;
            ShowModel(); // ShowUpDownControls follows the layer's text at once
        });
        connect(box, &QComboBox::activated, this, [this] { m_model.Close(); });
        connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this] { m_model.Close(); });
    }
    const std::pair<QCheckBox*, bool FishCharacter::*> checks[] = {
            {CheckBox1, &FishCharacter::FrontGlass},
            {CheckBox3, &FishCharacter::QuickTurn},
            {CheckBox5, &FishCharacter::Slow}};
    for (const auto& [check, field] : checks) {
        connect(check, &QCheckBox::toggled, this, [this, field = field](bool on) {
            if (!m_showing)
                m_model.Edit([&] { m_model.Fields.*field = on; });
        });
    }
    connect(CheckBox6, &QCheckBox::clicked, this, &FishEditor::CheckBox6Click);
}

void FishEditor::BuildAnimationPage(QWidget* page)
{
    auto* panel = Named(new QFrame(page), "Panel1");
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setGeometry(4, 4, 397, 74);
    struct Button
    {
        const char* name;
        QString caption;
        BmpFormat format;
        int row, column;
    };
    const Button buttons[] = {
            {"RadioButton1", QStringLiteral("ｼｬﾄﾞｰﾏｯﾋﾟﾝｸﾞ形式"), BmpFormat::ShadowMapping, 0, 0},
            {"RadioButton3", QStringLiteral("横軸伸張"), BmpFormat::XStretch, 0, 1},
            {"RadioButton4", QStringLiteral("横波"), BmpFormat::HWave, 0, 2},
            {"RadioButton9", QStringLiteral("横波2"), BmpFormat::HWave2, 0, 3},
            {"RadioButton6", QStringLiteral("ｱﾆﾒｰｼｮﾝ形式"), BmpFormat::Animation, 1, 0},
            {"RadioButton2", QStringLiteral("縦軸伸張"), BmpFormat::YStretch, 1, 1},
            {"RadioButton5", QStringLiteral("縦波"), BmpFormat::VWave, 1, 2},
            {"RadioButton10", QStringLiteral("縦波2"), BmpFormat::VWave2, 1, 3},
            {"RadioButton7", QStringLiteral("動きなし"), BmpFormat::NoAnimation, 2, 0},
            {"RadioButton8", QStringLiteral("縦横伸張"), BmpFormat::XYStretch, 2, 1},
    };
    const int columns[] = {6, 130, 220, 300};
    for (const Button& b : buttons) {
        auto* radio = Named(new QRadioButton(b.caption, panel), b.name);
        radio->move(columns[b.column], 4 + b.row * 23);
        RadioButtons[int(b.format)] = radio;
        connect(radio, &QRadioButton::toggled, this, [this, format = b.format](bool on) {
            if (!on || m_showing)
                return;
            m_model.Edit([&] { m_model.SelectFormat(format); });
            ShowModel();
            SyncTimer();
        });
    }

    Image1 = Named(new QLabel(page), "Image1");
    Image1->setGeometry(4, 84, kPreviewDisplayWidth, kPreviewDisplayHeight);
    Button3 = Named(new QPushButton(QStringLiteral("動きのテスト"), page), "Button3");
    Button3->setGeometry(292, 84, 105, 25);
    connect(Button3, &QPushButton::clicked, this, &FishEditor::Button3Click);

    struct Setting
    {
        const char* caption;
        QString text;
        const char* value;
        const char* bar;
        int low, high;
        QLabel** captionLabel;
        QLabel** valueLabel;
        QScrollBar** scrollBar;
        void (FishEditorModel::*set)(int);
    };
    const Setting settings[] = {
            {"Label7", QStringLiteral("使用(作成)するｱﾆﾒｰｼｮﾝ数"), "Label8", "ScrollBar5", 1, 64,
             &Label7, &Label8, &ScrollBar5, &FishEditorModel::SetFrames},
            {"Label4", QStringLiteral("横振幅(%)"), "Label10", "ScrollBar2", 0, 50, &Label4,
             &Label10, &ScrollBar2, &FishEditorModel::SetStretchDX},
            {"Label3", QStringLiteral("縦振幅(%)"), "Label9", "ScrollBar1", 0, 50, &Label3, &Label9,
             &ScrollBar1, &FishEditorModel::SetStretchDY},
            {"Label5", QStringLiteral("波長"), "Label11", "ScrollBar3", 1, 32, &Label5, &Label11,
             &ScrollBar3, &FishEditorModel::SetWaveLength},
            {"Label6", QStringLiteral("位相"), "Label12", "ScrollBar4", 0, 15, &Label6, &Label12,
             &ScrollBar4, &FishEditorModel::SetPhase},
    };
    int y = 222;
    for (const Setting& s : settings) {
        *s.captionLabel = Caption(page, s.caption, s.text, 8, y + 2);
        *s.valueLabel = Named(new QLabel(page), s.value);
        (*s.valueLabel)->setGeometry(200, y + 2, 30, 16);
        auto* bar = Named(new QScrollBar(Qt::Horizontal, page), s.bar);
        bar->setGeometry(240, y, 100, 17);
        bar->setRange(s.low, s.high);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setFocusPolicy(Qt::StrongFocus); // reached with Tab, moved with the arrow keys
        bar->setInvertedControls(false); // Right and Up make the value larger
        *s.scrollBar = bar;
        // A step each, or one while the slider is dragged.
        connect(bar, &QScrollBar::valueChanged, this, [this, bar, set = s.set](int value) {
            if (m_showing)
                return;
            if (bar->isSliderDown()) {
                m_model.Open();
                (m_model.*set)(value);
            } else {
                m_model.Edit([&] { (m_model.*set)(value); });
            }
            ShowModel();
            SyncTimer();
        });
        connect(bar, &QScrollBar::sliderReleased, this, [this] { m_model.Close(); });
        y += 24;
    }
    CheckBox2 = Named(new QCheckBox(QStringLiteral("ｱﾆﾒｰｼｮﾝﾙｰﾌﾟｵﾌﾟｼｮﾝ"), page), "CheckBox2");
    CheckBox2->move(8, y + 6);
    CheckBox4 = Named(new QCheckBox(QStringLiteral("1/4周期ｵﾌﾟｼｮﾝ"), page), "CheckBox4");
    CheckBox4->move(200, y + 6);
    connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            m_model.Edit([&] { m_model.Fields.AnimLoop = on; });
    });
    connect(CheckBox4, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_showing)
            m_model.Edit([&] { m_model.Fields.QuarterWave = on; });
    });
}

void FishEditor::ShowModel()
{
    m_showing = true;
    const FishCharacter& f = m_model.Fields;
    Label1->setText(m_model.CharacterPath);
    SetText(Edit1, f.TurnFrequency);
    SetText(Edit2, f.HorizontalStep);
    SetText(Edit3, f.VerticalStep);
    SetText(Edit4, f.MaxSpeedMultiple);
    SetText(Edit5, f.SchoolingFrequency);
    SetText(Edit6, f.SchoolRange);
    SetText(Edit7, f.FoodRange);
    SetText(Edit8, f.RestFrequency);
    SetText(Edit9, f.UpperRange);
    SetText(ComboBox1, f.PreferredLayer);
    SetText(ComboBox2, f.UpDownLiking);
    SetText(ComboBox3, f.Friendliness);
    const bool upDown = m_model.UpDownShown();
    Label19->setVisible(upDown);
    Label20->setVisible(upDown);
    ComboBox2->setVisible(upDown);
    Edit9->setVisible(upDown);
    CheckBox1->setChecked(f.FrontGlass);
    CheckBox3->setChecked(f.QuickTurn);
    CheckBox5->setChecked(f.Slow);
    CheckBox6->setChecked(f.GatherAtAccessory);
    Label2->setText(f.HomePosition);

    RadioButtons[int(m_model.CheckedButton)]->setChecked(true);
    ScrollBar5->setValue(f.AnimationDataNo);
    ScrollBar2->setValue(f.StretchDX);
    ScrollBar1->setValue(f.StretchDY);
    ScrollBar3->setValue(f.WaveLength);
    ScrollBar4->setValue(f.Phase);
    Label8->setText(QString::number(ScrollBar5->value()));
    Label10->setText(QString::number(ScrollBar2->value()));
    Label9->setText(QString::number(ScrollBar1->value()));
    Label11->setText(QString::number(ScrollBar3->value()));
    Label12->setText(QString::number(ScrollBar4->value()));
    const FormatRows rows = m_model.Rows();
    Label7->setVisible(rows.FrameCaption);
    Label8->setVisible(rows.FrameCaption);
    ScrollBar5->setVisible(rows.FrameBar);
    for (QWidget* w : {static_cast<QWidget*>(Label4), static_cast<QWidget*>(Label10),
                       static_cast<QWidget*>(ScrollBar2)})
        w->setVisible(rows.HorizontalAmplitude);
    for (QWidget* w : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label9),
                       static_cast<QWidget*>(ScrollBar1)})
        w->setVisible(rows.VerticalAmplitude);
    for (QWidget* w : {static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label11),
                       static_cast<QWidget*>(ScrollBar3)})
        w->setVisible(rows.WaveLength);
    for (QWidget* w : {static_cast<QWidget*>(Label6), static_cast<QWidget*>(Label12),
                       static_cast<QWidget*>(ScrollBar4)})
        w->setVisible(rows.Phase);
    CheckBox4->setVisible(rows.QuarterWave);
    CheckBox2->setChecked(f.AnimLoop);
    CheckBox4->setChecked(f.QuarterWave);
    ShowDisplay();
    m_showing = false;
    Q_EMIT Shown();
}

void FishEditor::ShowDisplay()
{
    Image1->setPixmap(QPixmap::fromImage(m_model.Player.Display()));
}

void FishEditor::SyncTimer()
{
    if (m_model.Player.Running()) {
        if (!Timer1.isActive())
            Timer1.start(kPreviewTickMs);
    } else {
        Timer1.stop();
    }
}

void FishEditor::Run(const std::function<void()>& body)
{
    Guard(m_state.UserPrompts, body);
    ShowModel();
    SyncTimer();
}

void FishEditor::OpenFor(const QString& characterPath, int fishDataNo)
{
    // Edits that Ok has not written are not thrown away without a word.
    if (!MayDiscardEdits())
        return;
    m_pendingPath = characterPath;
    m_pendingFishDataNo = fishDataNo;
    if (isVisible()) {
        FormShow();
        raise();
        activateWindow();
    } else {
        show();
    }
}

void FishEditor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // In the middle of the screen of the window it was opened from.
    const QWidget* from = QApplication::activeWindow();
    CentreOn(*this, from != this ? from : nullptr);
    FormShow();
}

void FishEditor::FormShow()
{
    Run([this] {
        m_model.Open(m_state.FileSystem, m_pendingPath, m_pendingFishDataNo);
        ShowModel();
        m_model.Render(m_state.FileSystem);
    });
    // What the file and the first render give is no edit of the user's.
    m_opened = m_model.Fields;
    m_model.ClearHistory();
    m_onDisk = m_state.FileSystem.Stamp(m_model.CharacterPath + kCharacterExtension);
}

QStringList FishEditor::WatchedFiles() const
{
    if (!isVisible() || m_model.CharacterPath.isEmpty())
        return {};
    return {m_model.CharacterPath + kCharacterExtension, m_model.CharacterPath + kBitmapExtension};
}

std::optional<DiskNotice> FishEditor::FollowDisk(const QStringList& files)
{
    if (!isVisible())
        return std::nullopt;
    const QString file = m_model.CharacterPath + kCharacterExtension;
    if (files.contains(m_model.CharacterPath + kBitmapExtension, Qt::CaseInsensitive)
        && !files.contains(file, Qt::CaseInsensitive)) {
        // The picture changed: the motion shows it, the fields stay.
        Run([this] { m_model.Render(m_state.FileSystem); });
        return std::nullopt;
    }
    if (!files.contains(file, Qt::CaseInsensitive)
        || m_state.FileSystem.Stamp(file).Hash == m_onDisk.Hash)
        return std::nullopt;
    const QString name = FileNamePart(file);
    if (!m_state.FileSystem.FileExists(file))
        return DiskNotice{DiskNotice::Deleted, file, kDeletedNotice.arg(name)};
    if (HasEdits())
        return DiskNotice{DiskNotice::ChangedWithEdits, file, kChangedNotice.arg(name)};
    ReloadFromDisk();
    return DiskNotice{DiskNotice::Reloaded, file, kReloadedNotice.arg(name)};
}

std::optional<CharacterCopy> FishEditor::UnsavedCharacter() const
{
    if (!HasEdits())
        return std::nullopt;
    return CharacterCopy {m_model.CharacterPath, m_model.Fields.FishDataNo, m_model.Fields,
                          m_onDisk};
}

void FishEditor::Restore(const CharacterCopy& copy)
{
    OpenFor(copy.CharacterPath, copy.FishDataNo);
    m_model.Fields = copy.Fields;
    m_model.ClearHistory();
    ShowModel();
    SyncTimer();
}

void FishEditor::ReloadFromDisk()
{
    m_pendingPath = m_model.CharacterPath;
    FormShow();
}

void FishEditor::Undo()
{
    if (m_model.Undo()) {
        ShowModel();
        SyncTimer();
    }
}

void FishEditor::Redo()
{
    if (m_model.Redo()) {
        ShowModel();
        SyncTimer();
    }
}

void FishEditor::Button1Click()
{
    bool written = false;
    const QString file = m_model.CharacterPath + kCharacterExtension;
    // A file another program changed since it was read is overwritten only when asked.
    if (!m_onDisk.Hash.isEmpty() && m_state.FileSystem.FileExists(file)
        && m_state.FileSystem.Stamp(file).Hash != m_onDisk.Hash
        && !m_state.UserPrompts.Confirm(kOverwriteQuestion, kOverwriteButton))
        return;
    Run([this, &written, &file] {
        m_model.NormaliseFields();
        SaveFishCharacter(m_state.FileSystem, m_model.ForSaving(), m_model.CharacterPath);
        m_onDisk = m_state.FileSystem.Stamp(file);
        written = true;
    });
    if (written) {
        m_opened = m_model.Fields;
        hide();
        Q_EMIT Saved();
    }
}

void FishEditor::Button2Click()
{
    if (MayDiscardEdits())
        hide();
}

void FishEditor::Button3Click()
{
    Run([this] { m_model.Edit([this] { m_model.Render(m_state.FileSystem); }); });
}

void FishEditor::Timer1Timer()
{
    m_model.Player.Tick(m_model.Fields.AnimLoop);
    ShowDisplay();
}

void FishEditor::CheckBox6Click()
{
    const bool on = CheckBox6->isChecked();
    Run([this, on] {
        m_model.Edit([&] {
            m_model.SetGatherAtAccessory(on, m_state.FileSystem, m_state.UserPrompts,
                                         m_state.Doc.DataFolder, m_state.Doc.DataSubFolder);
        });
    });
}

void FishEditor::closeEvent(QCloseEvent* event)
{
    if (!MayDiscardEdits()) {
        event->ignore();
        return;
    }
    m_model.Player.Release();
    Timer1.stop();
    ShowDisplay();
    QWidget::closeEvent(event);
}

void FishEditor::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || isActiveWindow() || !isVisible())
        return;
    // Another window of the program became the active one (not a dialog of our own). An
    // editor that holds edits stays open beside it.
    QWidget* active = QApplication::activeWindow();
    if (active && active != this && !QApplication::activeModalWidget() && !HasEdits())
        hide();
}

} // namespace aquarium

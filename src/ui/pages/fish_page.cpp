#include "ui/pages/fish_page.h"

#include "core/operations/page_operations.h"
#include "core/platform/platform_error.h"
#include "core/state/app_state.h"
#include "ui/editor/fish_editor.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

namespace aquarium {

namespace {

struct SlotNames
{
    const char* button;
    QString caption;
    const char* name;
    const char* dataNo;
    const char* amount;
    const char* picture;
};

const SlotNames kSlotNames[6] = {
        {"Button3", QStringLiteral("熱帯魚ﾃﾞｰﾀ １..."), "Label1", "Edit1", "Edit4", "Image1"},
        {"Button4", QStringLiteral("熱帯魚ﾃﾞｰﾀ 2..."), "Label2", "Edit2", "Edit5", "Image2"},
        {"Button5", QStringLiteral("熱帯魚ﾃﾞｰﾀ 3..."), "Label3", "Edit3", "Edit6", "Image3"},
        {"Button24", QStringLiteral("熱帯魚ﾃﾞｰﾀ 4..."), "Label7", "Edit8", "Edit11", "Image8"},
        {"Button25", QStringLiteral("熱帯魚ﾃﾞｰﾀ 5..."), "Label9", "Edit9", "Edit12", "Image9"},
        {"Button26", QStringLiteral("熱帯魚ﾃﾞｰﾀ 6..."), "Label11", "Edit10", "Edit13", "Image10"},
};

} // namespace

FishPage::FishPage(AppState& state, FishEditor& editor, QWidget* parent)
    : QWidget(parent), m_state(state), m_edits(state), m_editor(editor)
{
    setObjectName(QStringLiteral("FishPage"));
    // First of the page for Tab, as it stands at its top.
    CheckBox1 = new QCheckBox(QStringLiteral("熱帯魚の数の設定はULDファイルを優先"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->move(8, 2);
    // Two columns of three slots: the picture on the left, the numbers to its right.
    for (int k = 0; k < 6; ++k) {
        const int x = 4 + (k / 3) * 244;
        const int y = 20 + (k % 3) * 122;
        Slot& s = Slots[size_t(k)];
        const SlotNames& n = kSlotNames[k];
        s.Button = new QPushButton(n.caption, this);
        s.Button->setObjectName(QLatin1String(n.button));
        s.Button->setToolTip(QStringLiteral("右ｸﾘｯｸでﾃﾞｰﾀ消去"));
        s.Button->setGeometry(x, y, 112, 20);
        s.Button->installEventFilter(this);
        s.Name = new QLabel(this);
        s.Name->setObjectName(QLatin1String(n.name));
        s.Name->setGeometry(x + 116, y + 2, 122, 16);
        s.Picture = new QLabel(this);
        s.Picture->setObjectName(QLatin1String(n.picture));
        s.Picture->setGeometry(x, y + 22, 150, 100);
        s.Picture->setToolTip(QStringLiteral("ｸﾘｯｸでULCﾌｧｲﾙ編集"));
        s.Picture->installEventFilter(this);
        // Reached with Tab, opened with Enter or Space as a click opens it.
        s.Picture->setFocusPolicy(Qt::StrongFocus);
        s.Picture->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted #2050d0; }"));
        s.FishDataNo = new QLineEdit(this);
        s.FishDataNo->setObjectName(QLatin1String(n.dataNo));
        s.FishDataNo->setGeometry(x + 156, y + 40, 80, 20);
        s.FishAmount = new QLineEdit(this);
        s.FishAmount->setObjectName(QLatin1String(n.amount));
        s.FishAmount->setGeometry(x + 156, y + 84, 80, 20);
        // For screen readers: what each part of the slot is.
        const QString fish = QStringLiteral("熱帯魚%1").arg(k + 1);
        s.Picture->setAccessibleName(fish + u"の絵"_qs);
        s.Name->setAccessibleName(fish + u"のﾃﾞｰﾀﾌｧｲﾙ"_qs);
        s.FishDataNo->setAccessibleName(fish + u"の熱帯魚ﾃﾞｰﾀ数"_qs);
        connect(s.Button, &QPushButton::clicked, this, [this, k] { ChooseFishFile(k); });
        // Typing in a field is one step of the history, ended when the field is left.
        connect(s.FishDataNo, &QLineEdit::textChanged, this, [this, k](const QString& text) {
            if (m_showing)
                return;
            m_edits.TypeFishDataNo(k, text);
            Edited();
        });
        connect(s.FishAmount, &QLineEdit::textChanged, this, [this, k](const QString& text) {
            if (m_showing)
                return;
            m_edits.TypeFishAmount(k, text);
            Q_EMIT Changed();
        });
        for (QLineEdit* field : {s.FishDataNo, s.FishAmount})
            connect(field, &QLineEdit::editingFinished, this, [this] { m_state.Edits.Close(); });
    }
    // The column headings stand over the numbers of the first slot of each column; the
    // right column repeats them.
    Label5 = new QLabel(QStringLiteral("熱帯魚ﾃﾞｰﾀ数"), this);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(160, 44, 84, 14);
    Label10 = new QLabel(this);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setGeometry(160, 88, 84, 14);
    auto* dataNoRight = new QLabel(QStringLiteral("熱帯魚ﾃﾞｰﾀ数"), this);
    dataNoRight->setGeometry(404, 44, 84, 14);
    m_amountRight = new QLabel(this);
    m_amountRight->setGeometry(404, 88, 84, 14);
    connect(CheckBox1, &QCheckBox::clicked, this, &FishPage::CheckBox1Click);
    // Tab reads the page as it is meant: the check box, then slot by slot its button, its
    // picture and its two fields (the order they were made in).
    Refresh();
}

void FishPage::Refresh()
{
    m_showing = true;
    for (int k = 0; k < 6; ++k) {
        Slot& s = Slots[size_t(k)];
        const FishSlot& fish = m_state.Doc.Fish[size_t(k)];
        s.Name->setText(fish.CharacterName);
        if (s.FishDataNo->text() != fish.FishDataNo)
            s.FishDataNo->setText(fish.FishDataNo);
        if (s.FishAmount->text() != fish.FishAmount)
            s.FishAmount->setText(fish.FishAmount);
        s.Picture->setPixmap(QPixmap::fromImage(m_state.View.FishPictures[size_t(k)]));
        s.FishAmount->setAccessibleName(QStringLiteral("熱帯魚%1の").arg(k + 1)
                                        + m_state.Doc.AmountHeading());
    }
    CheckBox1->setChecked(m_state.Doc.FishCountsFixed);
    Label10->setText(m_state.Doc.AmountHeading());
    m_amountRight->setText(m_state.Doc.AmountHeading());
    m_showing = false;
}

void FishPage::Edited()
{
    Refresh();
    Q_EMIT Changed();
}

void FishPage::ChooseFishFile(int slot)
{
    m_edits.ChooseFishFile(slot);
    Edited();
}

void FishPage::ClearFishSlot(int slot)
{
    m_edits.ClearFishSlot(slot);
    Edited();
}

void FishPage::OpenCharacterEditor(int slot)
{
    const std::optional<EditorRequest> request = m_edits.OpenCharacterEditor(slot);
    Edited();
    if (request)
        m_editor.OpenFor(request->CharacterPath, request->FishDataNo);
}

void FishPage::CheckBox1Click()
{
    m_edits.SetFishCountsFixed(CheckBox1->isChecked());
    Edited();
}

bool FishPage::eventFilter(QObject* watched, QEvent* event)
{
    for (int k = 0; k < 6; ++k) {
        const Slot& s = Slots[size_t(k)];
        if (watched == s.Button && event->type() == QEvent::MouseButtonPress
            && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            ClearFishSlot(k);
            return true; // a right press never clicks
        }
        if (watched == s.Picture && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                OpenCharacterEditor(k);
                return true;
            }
        }
        if (watched == s.Picture && event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton
            && s.Picture->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            OpenCharacterEditor(k);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace aquarium

#include "ui/shell/version_window.h"

#include "ui/widgets/app_icon.h"
#include "ui/widgets/keyboard.h"
#include "ui/widgets/window_place.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace aquarium {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int pixelSize, int x,
                  int y)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->move(x, y);
    label->adjustSize();
    return label;
}

} // namespace

VersionWindow::VersionWindow(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(326, 181);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap::fromImage(DrawAppIcon(32)));
    Image1->setAccessibleName(QStringLiteral("アイコン"));
    Image1->setGeometry(12, 12, 32, 32);

    Label1 = MakeLabel(this, "Label1", QStringLiteral("Kesso's Ulvaro Aquarium Maker"), 16, 56, 10);
    Label2 = MakeLabel(this, "Label2",
                       QStringLiteral("Aquarium Maker  Version %1").arg(QStringLiteral(AQUARIUM_VERSION)),
                       16, 56, 32);
    Label3 = MakeLabel(this, "Label3", QStringLiteral("水槽データ作成ツール（フリーソフト）"), 16, 56, 54);
    Label5 = MakeLabel(this, "Label5", QStringLiteral("連絡先: Kesso Soft 水槽メーカー開発室"), 13,
                       56, 82);
    Label4 = MakeLabel(this, "Label4",
                       QStringLiteral("スクリーンセーバー Ulvaro 用のデータファイルを作成します"), 12,
                       12, 108);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry((326 - 162) / 2, 181 - 28 - 10, 162, 28);
    connect(Button1, &QPushButton::clicked, this, &VersionWindow::Button1Click);
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        OnKeys(this, QKeySequence(key), [this] { Button1Click(); });
}

void VersionWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    const QWidget* from = QApplication::activeWindow();
    CentreOn(*this, from != this ? from : nullptr);
}

void VersionWindow::Button1Click()
{
    hide();
}

} // namespace aquarium

#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace aquarium {

// TForm2: who made the program and which version it is. Created hidden, shown by the
// main window's version button, hidden by its OK button or its close box.
class VersionWindow : public QWidget
{
    Q_OBJECT
public:
    explicit VersionWindow(QWidget* parent = nullptr);

    void Button1Click();

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    // Centred on the screen of the window it was opened from.
    void showEvent(QShowEvent* event) override;
};

} // namespace aquarium

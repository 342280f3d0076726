#pragma once

class QCoreApplication;
class QWidget;

namespace aquarium {

// Moves window so that it stands in the middle of the screen of reference (the window's
// own screen when there is no reference), as the program's windows open.
void CentreOn(QWidget& window, const QWidget* reference);

// Loads Qt's own Japanese translation (qtbase_ja) into the application, whatever the
// locale: the whole interface is Japanese, Qt's dialogs and standard buttons too. Returns
// whether it was found.
bool LoadQtJapanese(QCoreApplication& application);

} // namespace aquarium

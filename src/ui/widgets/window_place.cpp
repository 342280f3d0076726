#include "ui/widgets/window_place.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

namespace aquarium {

void CentreOn(QWidget& window, const QWidget* reference)
{
    const QScreen* screen = reference ? reference->screen() : window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize frame = window.frameGeometry().size().expandedTo(window.size());
    window.move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

bool LoadQtJapanese(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (!translator->load(
            QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace aquarium

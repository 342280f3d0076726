#include "app/app_icon.h"
#include "app/app_state.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/startup.h"
#include "app/version_window.h"
#include "platform/files.h"
#include "platform/platform_error.h"
#include "platform/registry.h"

#include <QApplication>
#include <QFont>

using namespace aquarium;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setWindowIcon(AppIcon());

    // The interface font of the screen saver's editor, with the Japanese fonts a Linux
    // desktop has in its place.
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic")});
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    Files files(PathMap::FromEnvironment());
    QtPrompts prompts(files.Paths());
    AppState state(files, prompts);
    {
        const auto registry = OpenUserRegistry(files.Paths().PrefixFolder());
        Guard(prompts, [&] { FormCreate(state, *registry); });
    }

    VersionWindow versionWindow;
    MainWindow window(state, versionWindow);
    prompts.SetParent(&window);
    window.show();
    return app.exec();
}

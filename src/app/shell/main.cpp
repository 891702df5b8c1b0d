// Start-up of the desktop program: German standard texts, the main window with its InfoBox, and
// the file named on the command line, which is read once the window is visible.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <memory>

#include "app/shell/command_line.h"
#include "app/shell/main_window.h"
#include "app/shell/qt_prompter.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tarkemo");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // Qt's own German texts, so that standard buttons read Ja / Nein / Abbrechen.
    QTranslator qtGerman;
    if (qtGerman.load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtGerman);
    }

    auto prompter = std::make_unique<tarkemo::app::QtPrompter>();
    tarkemo::app::QtPrompter* owner = prompter.get();
    tarkemo::app::MainWindow window(std::move(prompter));
    owner->SetOwner(&window);
    // The window system's default size: three quarters of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.resize(screen->availableGeometry().size() * 3 / 4);
    }
    window.show();

    const QString argumentText = tarkemo::app::ArgumentText(QApplication::arguments());
    if (const auto startup = tarkemo::app::StartupCommandFor(argumentText)) {
        window.PostCommand(startup->id, startup->path);
    }
    QApplication::exec();
    return 0;
}

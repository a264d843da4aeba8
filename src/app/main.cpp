// SPDX-License-Identifier: GPL-3.0-or-later
// Korvel: start-up only. The splash window hands over to the main window,
// which loads the dictionaries of the current directory (or, when it holds no
// base.diz, the per-user ones or the installed set of the chosen language)
// and then opens the crossword file (.kvl) or puzzle (.puz, .ipuz) named on
// the command line, if any.
#include "companioncall.h"
#include "datafolders.h"
#include "loader.h"
#include "mainwindow.h"
#include "qtdesktop.h"
#include "scratchfiles.h"
#include "splashwindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char* const Usage = "usage: korvel [FILE]\n";

const char* const Help =
    "Korvel, a desktop assistant for building crosswords.\n"
    "\n"
    "FILE (a .kvl crossword file, or a .puz or .ipuz puzzle of another program) is\n"
    "opened once the dictionaries are loaded, as File > Open... opens it.\n"
    "The dictionaries come from the current directory when it holds base.diz, else\n"
    "from $XDG_DATA_HOME/korvel/dictionaries (default ~/.local/share/korvel/dictionaries)\n"
    "when that holds base.diz, else from its subfolder it/ or en/ for the chosen\n"
    "language, else from the installed set of that language. The language is the one\n"
    "remembered in $XDG_CONFIG_HOME/korvel/language (default ~/.config/korvel/language),\n"
    "else Italian when the locale (LC_ALL, LC_MESSAGES, LANG) starts with \"it\",\n"
    "else English.\n"
    "\n"
    "options:\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "Qt's own options (such as -platform NAME) are accepted too.\n";

} // namespace

int main(int argc, char* argv[]) {
    // Answered before the application object exists, so that they need no
    // display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(Usage, stdout);
            std::fputs("\n", stdout);
            std::fputs(Help, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("korvel " KORVEL_VERSION "\n", stdout);
            return 0;
        }
    }

    // An interrupted Save leaves no scratch file beside the grid.
    korvel::removeScratchFilesOnSignals();
    QApplication app(argc, argv);
    korvel::setUpApplication();
    QApplication::setDesktopFileName(QStringLiteral("org.korvel.Korvel"));

    // The application object has taken out its own options; what is left is
    // at most one file. It is made absolute now, while the current directory
    // is still the one the program was started in.
    QStringList args = QApplication::arguments();
    args.removeFirst();
    QString startFile;
    bool optionsEnd = false;
    for (const QString& a : args) {
        if (!optionsEnd && a == QStringLiteral("--")) {
            optionsEnd = true;
        } else if (!optionsEnd && a.startsWith(u'-') && a.size() > 1) {
            std::fprintf(stderr, "korvel: unknown option %s\n%s", qPrintable(a), Usage);
            return 2;
        } else if (startFile.isEmpty()) {
            startFile = QFileInfo(a).absoluteFilePath();
        } else {
            std::fputs(Usage, stderr);
            return 2;
        }
    }

    korvel::QtDesktop desktop;
    std::unique_ptr<korvel::CompanionLibrary> library;
    auto companion = [&library] { return korvel::openCompanion(library); };

    std::unique_ptr<korvel::MainWindow> window;
    auto* splash = new korvel::SplashWindow([&] {
        window = std::make_unique<korvel::MainWindow>(desktop, companion);
        window->setStartFile(startFile);
    });
    splash->show();
    return app.exec();
}

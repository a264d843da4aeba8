// Korvel: start-up only. The splash window hands over to the main window,
// which loads the dictionaries of the current directory.
#include "companioncall.h"
#include "loader.h"
#include "mainwindow.h"
#include "qtdesktop.h"
#include "splashwindow.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Korvel"));
    korvel::installFontSubstitutes();

    korvel::QtDesktop desktop;
    std::unique_ptr<korvel::CompanionLibrary> library;
    auto companion = [&library] { return korvel::openCompanion(library); };

    std::unique_ptr<korvel::MainWindow> window;
    auto* splash = new korvel::SplashWindow(
        [&] { window = std::make_unique<korvel::MainWindow>(desktop, companion); });
    splash->show();
    return app.exec();
}

// The windowed program: the ten windows, the start-up notice over the main window, and the
// event loop until the main window closes.

#include "ui/program_windows.hpp"
#include "ui/fonts.hpp"
#include "ui/qt_platform.hpp"
#include "ui/resources_init.hpp"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QStyleFactory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarvelo"));
    // The layouts have fixed pixel positions: one style and font everywhere keeps them intact.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(zarvelo::sansFont(11));
    zarvelo::ensureResources();
    // The whole interface is German, the toolkit's own dialogs and buttons included.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    zarvelo::QtPlatform platform;
    zarvelo::ProgramWindows windows(platform);
    zarvelo::TF1_Hauptseite& mainWindow = windows.main();
    platform.setParent(&mainWindow);
    mainWindow.show();
    return app.exec();
}

// The windowed program: the ten windows, the start-up notice over the main window, and the
// event loop until the main window closes. `zarvelo FILE.DNL` opens the file after the notice.

#include "ui/app_icon.hpp"
#include "ui/program_windows.hpp"
#include "ui/fonts.hpp"
#include "ui/qt_platform.hpp"
#include "ui/resources_init.hpp"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QStyleFactory>

#include <cstdio>
#include <cstring>

namespace {

// The whole interface is German, the toolkit's own dialogs, buttons and option help included.
void installGermanQtTexts(QTranslator& qtTexts) {
    if (qtTexts.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts);
}

void describeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral("Zarvelo bearbeitet Navi-Flash-Dateien (DNL): Startbild, DSP-Logo, "
                                                    "Farbpaletten und Texte."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("datei"),
                                 QStringLiteral("DNL-Datei, die nach dem Startfenster geladen wird."),
                                 QStringLiteral("[DATEI.DNL]"));
}

// --help and --version need no display: they are answered before any window system is asked.
bool asksForHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0) return true;
    }
    return false;
}

void setIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("Zarvelo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZARVELO_VERSION));
}

}  // namespace

int main(int argc, char** argv) {
    setIdentity();
    if (asksForHelpOrVersion(argc, argv)) {
        QCoreApplication core(argc, argv);
        QTranslator qtTexts;
        installGermanQtTexts(qtTexts);
        QCommandLineParser parser;
        describeOptions(parser);
        parser.process(core);  // prints the help or the version and ends the program
        return 0;
    }

    QApplication app(argc, argv);
    QTranslator qtTexts;
    installGermanQtTexts(qtTexts);
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fputs("zarvelo öffnet höchstens eine DNL-Datei.\n", stderr);
        return 2;
    }

    QGuiApplication::setDesktopFileName(QStringLiteral("example.zarvelo.Zarvelo"));
    QApplication::setWindowIcon(zarvelo::applicationIcon());
    // The layouts have fixed pixel positions: one style and font everywhere keeps them intact.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(zarvelo::sansFont(11));
    zarvelo::ensureResources();

    zarvelo::QtPlatform platform;
    zarvelo::ProgramWindows windows(platform);
    zarvelo::TF1_Hauptseite& mainWindow = windows.main();
    platform.setParent(&mainWindow);
    if (!files.isEmpty()) mainWindow.openAfterStartNotice(QFileInfo(files.front()).absoluteFilePath().toStdString());
    mainWindow.show();
    return app.exec();
}

// The program as the desktop starts it: a file named on the command line or dropped on the
// main window goes through exactly what "DNL-DATEI laden" does, and every window carries
// the program's icon.

#include "ui/app_icon.hpp"
#include "ui/main_window.hpp"
#include "ui/program_windows.hpp"
#include "flash/messages.hpp"
#include "scripted_platform.hpp"
#include "synthetic_firmware.hpp"
#include "test_files.hpp"
#include "ui/resources_init.hpp"
#include "ui/tf10_farbpalette.hpp"
#include "ui/tf2_farbeditor.hpp"
#include "ui/tf3_startbild.hpp"
#include "ui/tf4_texte.hpp"
#include "ui/tf5_versionsinfo.hpp"
#include "ui/tf6_unterstuetzt.hpp"
#include "ui/tf7_haupthilfe.hpp"
#include "ui/tf8_startinfo.hpp"
#include "ui/tf9_speichern.hpp"
#include "ui_tf1_hauptseite.h"

#include <QApplication>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace zarvelo;
using test::TempDir;
using test::writeFile;

namespace {

// One running program: its windows, a scripted platform, and every modal window it showed
// together with whether a file was loaded at that moment.
struct Program {
    Program() {
        ensureResources();
        windows = std::make_unique<ProgramWindows>(platform);
        main = &windows->main();
        main->setPauseMilliseconds(0);
        main->setModalRunner([this](QDialog& dialog) {
            shown.push_back({&dialog, main->workspace().fileLoaded()});
            return int(QDialog::Rejected);
        });
    }
    ~Program() { main->hide(); }

    Workspace& ws() { return main->workspace(); }
    Ui::TF1_Hauptseite& ui() { return main->ui(); }
    void settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }

    test::ScriptedPlatform platform;
    std::unique_ptr<ProgramWindows> windows;
    TF1_Hauptseite* main = nullptr;
    struct Shown {
        QDialog* dialog;
        bool fileLoadedThen;
    };
    std::vector<Shown> shown;
};

QStringList infoLines(Program& p) {
    QStringList lines;
    for (int i = 0; i < p.ui().LB_Versionstexte->count(); ++i) lines << p.ui().LB_Versionstexte->item(i)->text();
    return lines;
}

// Everything a user or a later command can see of a load: messages, document, page and
// the file the open dialog proposes next.
void expectSameStateAs(Program& actual, Program& reference) {
    EXPECT_EQ(actual.platform.messages, reference.platform.messages);
    EXPECT_EQ(actual.platform.beeps, reference.platform.beeps);
    EXPECT_EQ(actual.ws().fileLoaded(), reference.ws().fileLoaded());
    EXPECT_EQ(actual.ws().fileName(), reference.ws().fileName());
    EXPECT_EQ(actual.ws().versionIndex(), reference.ws().versionIndex());
    EXPECT_TRUE(actual.ws().dnl() == reference.ws().dnl());
    EXPECT_TRUE(actual.ws().flash() == reference.ws().flash());
    EXPECT_EQ(actual.main->dayView(), reference.main->dayView());
    EXPECT_EQ(actual.windows->windows().startbild->takeOverPending(),
              reference.windows->windows().startbild->takeOverPending());
    EXPECT_EQ(actual.ui().S_speichere_DNL_file->isEnabled(), reference.ui().S_speichere_DNL_file->isEnabled());
    EXPECT_EQ(actual.ui().P_DNL_Grafik->isVisibleTo(actual.main), reference.ui().P_DNL_Grafik->isVisibleTo(reference.main));
    EXPECT_EQ(infoLines(actual), infoLines(reference));
    EXPECT_TRUE(actual.ui().I_BIN_Bild_Grafik->canvas() == reference.ui().I_BIN_Bild_Grafik->canvas());

    // The open dialog starts from the file just tried, whichever road it came by.
    for (Program* p : {&actual, &reference}) {
        p->platform.answerOpen(std::nullopt);
        p->main->DNL_Datei_einlesen();
    }
    ASSERT_FALSE(actual.platform.openRequests.empty());
    EXPECT_EQ(actual.platform.openRequests.back().initialName, reference.platform.openRequests.back().initialName);
}

struct FileCase {
    const char* name;
    std::function<void(const std::string& path)> make;  // writes the file (or leaves it missing)
    bool loads;
    const char* message;  // the program's own message, or nullptr for the system's text
};

std::vector<FileCase> fileCases() {
    return {
        {"good", [](const std::string& path) { writeFile(path, synth::makeSample({.version = 2}).dnl); }, true, nullptr},
        {"checksum_error",
         [](const std::string& path) {
             Bytes dnl = synth::makeSample({.version = 2}).dnl;
             dnl[100] ^= 0x01;
             writeFile(path, dnl);
         },
         false, msg::kChecksumError},
        {"missing", [](const std::string&) {}, false, nullptr},
    };
}

// The reference: the same file through the open dialog of a fresh program.
void loadThroughDialog(Program& reference, const std::string& path) {
    reference.platform.answerOpen(path);
    reference.main->DNL_Datei_einlesen();
}

class OpenRoads : public ::testing::TestWithParam<FileCase> {
protected:
    TempDir dir;
};

}  // namespace

TEST_P(OpenRoads, CommandLineFileOpensAfterTheStartNoticeLikeTheOpenDialog) {
    const std::string path = dir.file("V2DG2322.DNL");
    GetParam().make(path);

    Program program;
    program.main->openAfterStartNotice(path);
    program.main->show();
    EXPECT_FALSE(program.ws().fileLoaded()) << "nothing is loaded before the start-up notice";
    program.settle();

    ASSERT_FALSE(program.shown.empty());
    EXPECT_EQ(program.shown.front().dialog, program.windows->windows().startInfo);
    EXPECT_FALSE(program.shown.front().fileLoadedThen);
    EXPECT_EQ(program.ws().fileLoaded(), GetParam().loads);
    if (!GetParam().loads) {
        ASSERT_EQ(program.platform.messages.size(), 1u);
        if (GetParam().message) EXPECT_EQ(program.platform.messages.front(), GetParam().message);
        else EXPECT_NE(program.platform.messages.front().find("V2DG2322.DNL"), std::string::npos);
        EXPECT_FALSE(program.ui().S_speichere_DNL_file->isEnabled());
        EXPECT_FALSE(program.ui().P_DNL_Grafik->isVisibleTo(program.main));
    }
    EXPECT_TRUE(program.platform.openRequests.empty()) << "no open dialog for a file named on the command line";

    Program reference;
    loadThroughDialog(reference, path);
    expectSameStateAs(program, reference);
}

TEST_P(OpenRoads, DroppedFileLoadsLikeTheOpenDialog) {
    const std::string path = dir.file("V2DG2322.DNL");
    GetParam().make(path);

    Program program;
    program.main->setStartNoticeEnabled(false);
    program.main->show();
    program.settle();
    EXPECT_TRUE(program.main->acceptDrops());

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(program.main, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(program.main, &drop);
    EXPECT_TRUE(drop.isAccepted());
    program.settle();

    EXPECT_EQ(program.ws().fileLoaded(), GetParam().loads);
    EXPECT_EQ(program.platform.messages.size(), GetParam().loads ? 0u : 1u);

    Program reference;
    loadThroughDialog(reference, path);
    expectSameStateAs(program, reference);
}

INSTANTIATE_TEST_SUITE_P(Files, OpenRoads, ::testing::ValuesIn(fileCases()),
                         [](const ::testing::TestParamInfo<FileCase>& info) { return info.param.name; });

TEST(DesktopDrop, OtherDropsAreRefusedWithoutAMessage) {
    TempDir dir;
    const std::string dnl = dir.file("A.DNL");
    writeFile(dnl, synth::makeSample({.version = 2}).dnl);
    const std::string second = dir.file("B.dnl");
    writeFile(second, synth::makeSample({.version = 3}).dnl);
    const std::string bmp = dir.file("BILD.BMP");
    writeFile(bmp, Bytes(100, 0));

    struct Refused {
        const char* what;
        std::function<void(QMimeData&)> fill;
        bool whileAnotherWindowIsOpen = false;
    };
    const std::vector<Refused> cases = {
        {"two DNL files",
         [&](QMimeData& d) { d.setUrls({QUrl::fromLocalFile(QString::fromStdString(dnl)), QUrl::fromLocalFile(QString::fromStdString(second))}); }},
        {"a picture", [&](QMimeData& d) { d.setUrls({QUrl::fromLocalFile(QString::fromStdString(bmp))}); }},
        {"a remote file", [](QMimeData& d) { d.setUrls({QUrl(QStringLiteral("https://www.zarvelo.example/A.DNL"))}); }},
        {"plain text naming a file", [&](QMimeData& d) { d.setText(QString::fromStdString(dnl)); }},
        {"a DNL file while another window is open",
         [&](QMimeData& d) { d.setUrls({QUrl::fromLocalFile(QString::fromStdString(dnl))}); }, true},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.what);
        Program program;
        program.main->setStartNoticeEnabled(false);
        QMimeData data;
        c.fill(data);
        QDialog other(program.main);
        if (c.whileAnotherWindowIsOpen) {
            other.setModal(true);
            other.show();
            ASSERT_EQ(QApplication::activeModalWidget(), &other);
        }
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(program.main, &enter);
        EXPECT_FALSE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(program.main, &drop);
        EXPECT_FALSE(drop.isAccepted());
        program.settle();
        EXPECT_FALSE(program.ws().fileLoaded());
        EXPECT_TRUE(program.platform.messages.empty());
        EXPECT_EQ(program.platform.beeps, 0);
    }
}

TEST(DesktopIcon, EveryWindowShowsTheProgramIcon) {
    test::ScriptedPlatform platform;
    ProgramWindows windows(platform);
    const SecondaryWindows& w = windows.windows();
    const QIcon icon = applicationIcon();
    for (int size : {16, 32, 48, 256}) EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    const QImage expected = icon.pixmap(32, 32).toImage();
    ASSERT_FALSE(expected.isNull());
    for (QWidget* window : std::initializer_list<QWidget*>{&windows.main(), w.farbeditor, w.startbild, w.texte,
                                                           w.versionsInfo, w.unterstuetzt, w.hauptHilfe, w.startInfo,
                                                           w.speichern, w.farbpalette}) {
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_TRUE(window->windowIcon().pixmap(32, 32).toImage() == expected);
    }
}

#include "program_windows.hpp"

#include "ui/app_icon.hpp"
#include "ui/tf10_farbpalette.hpp"
#include "ui/tf2_farbeditor.hpp"
#include "ui/tf3_startbild.hpp"
#include "ui/tf4_texte.hpp"
#include "ui/tf5_versionsinfo.hpp"
#include "ui/tf6_unterstuetzt.hpp"
#include "ui/tf7_haupthilfe.hpp"
#include "ui/tf8_startinfo.hpp"
#include "ui/tf9_speichern.hpp"

namespace zarvelo {

ProgramWindows::ProgramWindows(Platform& platform) : main_(std::make_unique<TF1_Hauptseite>(platform)) {
    TF1_Hauptseite* owner = main_.get();
    Workspace& ws = owner->workspace();
    SecondaryWindows& w = windows_;
    // The editors' help buttons open their pages through the main page and its modal runner.
    w.farbeditor = new TF2_Farbeditor(ws, platform, owner);
    w.startbild = new TF3_Startbild(ws, platform, [owner] { owner->showHelpPage(QStringLiteral("H_BOOT")); }, owner);
    w.texte = new TF4_Texte(ws, platform, [owner] { owner->showHelpPage(QStringLiteral("H_TEXT")); }, owner);
    w.versionsInfo = new TF5_VersionsINFO(platform, owner);
    w.unterstuetzt = new TF6_unterstuetzt(owner);
    w.hauptHilfe = new TF7_HauptHilfe(platform, owner);
    w.startInfo = new TF8_StartInfo(owner);
    w.speichern = new TF9_Speichern(ws, platform, owner);
    w.farbpalette = new TF10_Farbpalette(platform, owner);
    w.startbild->setFarbpalette(w.farbpalette);
    owner->setWindows(w);

    const QIcon icon = applicationIcon();
    owner->setWindowIcon(icon);
    for (QWidget* window : std::initializer_list<QWidget*>{w.farbeditor, w.startbild, w.texte, w.versionsInfo,
                                                           w.unterstuetzt, w.hauptHilfe, w.startInfo, w.speichern,
                                                           w.farbpalette})
        window->setWindowIcon(icon);
}

// The main window deletes the other nine with itself.
ProgramWindows::~ProgramWindows() = default;

}  // namespace zarvelo

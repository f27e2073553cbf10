#pragma once
// The start image editor over the program's windows: the main window opens it as exec()
// would (its opening runs, then the test acts in it), and the editor's own modal windows,
// the expert selection and the photo window, are handed to the test.

#include "program_windows_fixture.hpp"
#include "synthetic_firmware.hpp"
#include "ui/photo_fit_dialog.hpp"
#include "ui/tf10_farbpalette.hpp"
#include "ui/tf3_startbild.hpp"
#include "workspace/picture_file.hpp"

#include <functional>
#include <string>

namespace zarvelo::test {

// The editor's sets, to see what a command changed.
struct Sets {
    ColourSet O, MAX, AKT, O_DSP, AKT_DSP;
    explicit Sets(const StartImageEditor& e) : O(e.O), MAX(e.MAX), AKT(e.AKT), O_DSP(e.O_DSP), AKT_DSP(e.AKT_DSP) {}
    bool operator==(const Sets&) const = default;
};

class StartImageEditorTest : public ProgramWindowsTest {
protected:
    void SetUp() override {
        ProgramWindowsTest::SetUp();
        tf3 = windows->windows().startbild;
        tf10 = windows->windows().farbpalette;
        // As exec() would: the editor runs its opening, then the test acts in it.
        main->setModalRunner([this](QDialog& dialog) {
            if (&dialog == tf3) {
                tf3->setResult(QDialog::Rejected);
                tf3->FormShow();
                if (inEditor) inEditor();
                return tf3->result();
            }
            return onOtherModal ? onOtherModal(dialog) : int(QDialog::Rejected);
        });
        tf3->setModalRunner([this](QDialog& dialog) {
            if (auto* photo = dynamic_cast<PhotoFitDialog*>(&dialog)) {
                photo->setResult(QDialog::Rejected);
                if (inPhoto) inPhoto(*photo);
                return photo->result();
            }
            tf10->setResult(QDialog::Rejected);
            if (inSelection) inSelection();
            return tf10->result();
        });
    }

    synth::Sample load(const synth::Options& options) {
        synth::Sample sample = synth::makeSample(options);
        const std::string path = dir.file("sample" + std::to_string(loads++) + ".DNL");
        writeFile(path, sample.dnl);
        platform.answerOpen(path);
        main->DNL_Datei_einlesen();
        return sample;
    }
    std::string putPicture(const std::string& name, const RgbImage& picture) {
        const std::string path = dir.file(name);
        writeFile(path, encodeBmp24(picture));
        return path;
    }
    void importThroughDialog(const std::string& path) {
        platform.answerOpen(path);
        tf3->S_oeffne_Grafik_file->click();
    }
    const StartImageEditor& ed() const { return tf3->editor(); }
    Workspace& ws() { return main->workspace(); }

    int loads = 0;
    TF3_Startbild* tf3 = nullptr;
    TF10_Farbpalette* tf10 = nullptr;
    std::function<void()> inEditor, inSelection;
    std::function<void(PhotoFitDialog&)> inPhoto;  // "FOTO ANPASSEN"'s window
    std::function<int(QDialog&)> onOtherModal;
};

}  // namespace zarvelo::test

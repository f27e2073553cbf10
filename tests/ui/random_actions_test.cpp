// A seeded sequence of random user actions over the windows, offscreen with scripted dialogs.
// After every action: nothing crashed or hung, the palette copies mirror the flash image,
// and the flash image changed only after a command the user accepted.
//
//   ZARVELO_RANDOM_SEED=n     replays a run (a failing run prints its seed)
//   ZARVELO_RANDOM_ACTIONS=n  length of the run (default 3000)
//   ZARVELO_RANDOM_SUMMARY=1  prints how often each action ran

#include "ui/main_window.hpp"
#include "ui/program_windows.hpp"
#include "flash/dnl_file.hpp"
#include "flash/firmware_versions.hpp"
#include "flash/messages.hpp"
#include "graphics/palette_block.hpp"
#include "scripted_platform.hpp"
#include "synthetic_firmware.hpp"
#include "test_files.hpp"
#include "ui/resources_init.hpp"
#include "ui/photo_fit_dialog.hpp"
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

#include "bmp_files.hpp"
#include "test_pictures.hpp"
#include "workspace/picture_file.hpp"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace zarvelo;
using test::TempDir;
using test::readFile;
using test::writeFile;
namespace fs = std::filesystem;

namespace {

std::uint64_t envNumber(const char* name, std::uint64_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

// Aborts the process, naming the seed, when one action takes longer than a person would wait.
class Watchdog {
public:
    Watchdog(std::uint64_t seed, std::chrono::seconds limit) : seed_(seed), limit_(limit), thread_([this] { watch(); }) {}
    ~Watchdog() {
        stop_ = true;
        thread_.join();
    }
    void tick(std::size_t action) { action_ = action, ticks_++; }

private:
    void watch() {
        std::uint64_t last = ticks_;
        auto since = std::chrono::steady_clock::now();
        while (!stop_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (ticks_ != last) {
                last = ticks_;
                since = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - since > limit_) {
                std::fprintf(stderr, "Action %zu hangs. Replay with ZARVELO_RANDOM_SEED=%llu\n", action_.load(),
                             static_cast<unsigned long long>(seed_));
                std::abort();
            }
        }
    }
    std::uint64_t seed_;
    std::chrono::seconds limit_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> ticks_{0};
    std::atomic<std::size_t> action_{0};
    std::thread thread_;
};

class RandomSession {
public:
    explicit RandomSession(std::uint64_t seed) : rng_(seed) {
        ensureResources();
        windows_ = std::make_unique<ProgramWindows>(platform_);
        main_ = &windows_->main();
        u_ = &main_->ui();
        main_->setPauseMilliseconds(0);
        main_->setStartNoticeEnabled(false);
        main_->setModalRunner([this](QDialog& dialog) { return onModal(dialog); });
        writeFile(dir_.file("plain"), Bytes{1});  // a file: nothing can be written below it
        makeSamples();
        makePictures();
        windows_->windows().startbild->setModalRunner([this](QDialog& dialog) { return onModal(dialog); });
    }

    // --- the actions -------------------------------------------------------------------

    enum class Writes { Never, WhenAccepted };
    struct Action {
        const char* name;
        int weight;
        Writes writes;
        std::function<void(RandomSession&)> run;
    };

    static const std::vector<Action>& actions() {
        static const std::vector<Action> table = {
            // Loading.
            {"load a good sample", 6, Writes::WhenAccepted, [](RandomSession& s) { s.loadGood(); }},
            {"load a file with a bad checksum", 2, Writes::WhenAccepted, [](RandomSession& s) { s.loadBad(Damage::Checksum); }},
            {"load a cut-off file", 2, Writes::WhenAccepted, [](RandomSession& s) { s.loadBad(Damage::CutOff); }},
            {"load a cut-off file with a fitting checksum", 2, Writes::WhenAccepted,
             [](RandomSession& s) { s.loadBad(Damage::CutOffChecksumFixed); }},
            {"load a tiny file", 1, Writes::WhenAccepted, [](RandomSession& s) { s.loadBad(Damage::Tiny); }},
            {"load a missing file", 1, Writes::WhenAccepted, [](RandomSession& s) {
                 s.accepted_ = s.main_->workspace().isModified();
                 s.loadPath(s.dir_.file("fehlt.DNL"));
             }},
            {"cancel the open dialog", 1, Writes::WhenAccepted, [](RandomSession& s) { s.loadCancelled(); }},
            // History.
            {"undo", 4, Writes::WhenAccepted, [](RandomSession& s) { s.accepted_ = s.trigger(s.u_->Rueckgaengig1); }},
            {"redo", 2, Writes::WhenAccepted, [](RandomSession& s) { s.accepted_ = s.trigger(s.u_->Wiederherstellen1); }},
            {"undo every step and redo them", 1, Writes::Never, [](RandomSession& s) { s.undoEverything(); }},
            // Main page.
            {"click a palette cell", 8, Writes::Never, [](RandomSession& s) { s.clickPalette(Qt::LeftButton); }},
            {"move over the palette", 4, Writes::Never, [](RandomSession& s) { s.main_->I_PaletteMouseMove(s.palettePoint()); }},
            {"colour editor on a palette cell", 5, Writes::WhenAccepted, [](RandomSession& s) { s.clickPalette(Qt::RightButton); }},
            {"all colours", 2, Writes::Never, [](RandomSession& s) { s.u_->P_alle_Farben->click(); }},
            {"day view", 3, Writes::Never, [](RandomSession& s) { s.clickShown(s.u_->RB_Tag); }},
            {"night view", 3, Writes::Never, [](RandomSession& s) { s.clickShown(s.u_->RB_Nacht); }},
            {"split palette", 2, Writes::Never, [](RandomSession& s) { s.clickShown(s.u_->CB_TagNacht); }},
            {"DSP overlay on", 2, Writes::Never, [](RandomSession& s) { s.clickShown(s.u_->RB_DSP_an); }},
            {"DSP overlay off", 2, Writes::Never, [](RandomSession& s) { s.clickShown(s.u_->RB_DSP_aus); }},
            {"grid lines on", 2, Writes::WhenAccepted, [](RandomSession& s) { s.accepted_ = s.clickShown(s.u_->RB_Gitter_an); }},
            {"grid lines off", 2, Writes::WhenAccepted, [](RandomSession& s) { s.accepted_ = s.clickShown(s.u_->RB_Gitter_aus); }},
            {"correct day and night", 2, Writes::WhenAccepted,
             [](RandomSession& s) { s.accepted_ = s.clickShown(s.u_->P_FixTagNacht); }},
            // Saving and exports.
            {"save the DNL file", 5, Writes::WhenAccepted, [](RandomSession& s) { s.u_->S_speichere_DNL_file->click(); }},
            {"export the flash image", 2, Writes::Never, [](RandomSession& s) { s.exportFile("BIN", [&] { s.u_->BINDateispeichern1->trigger(); }); }},
            {"export the start image", 2, Writes::Never, [](RandomSession& s) { s.exportFile("BMP", [&] { s.u_->P_Bild_speichern->click(); }); }},
            {"export the palette", 2, Writes::Never, [](RandomSession& s) { s.exportFile("BMP", [&] { s.u_->P_Palette_speichern->click(); }); }},
            {"export the DSP logo", 1, Writes::Never,
             [](RandomSession& s) { s.exportFile("BMP", [&] { s.clickShown(s.u_->P_speichere_DSP_LOGO); }); }},
            // Other windows.
            {"help", 1, Writes::Never, [](RandomSession& s) { s.u_->S_Hilfe->click(); }},
            {"version information", 1, Writes::Never, [](RandomSession& s) { s.u_->Info1->trigger(); }},
            {"supported versions", 1, Writes::Never, [](RandomSession& s) { s.u_->untersttzteVersionen1->trigger(); }},
            {"expert mode", 1, Writes::Never, [](RandomSession& s) { s.u_->Expertenmodus1->trigger(); }},
            // The start image editor (TF3_Startbild with the expert selection TF10_Farbpalette)
            // and the text editor (TF4_Texte) open here; their own actions go to onModal().
            {"start image editor", 4, Writes::WhenAccepted, [](RandomSession& s) { s.u_->S_Startbild->click(); }},
            {"text editor", 4, Writes::WhenAccepted, [](RandomSession& s) { s.u_->S_Texte->click(); }},
        };
        return table;
    }

    // Runs `count` actions; returns an empty string or what went wrong.
    std::string run(std::size_t count, Watchdog& watchdog) {
        std::vector<int> weights;
        for (const Action& a : actions()) weights.push_back(a.weight);
        std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
        for (std::size_t n = 0; n < count; ++n) {
            watchdog.tick(n);
            const Action& action = actions()[pick(rng_)];
            history_.push_back(action.name);
            if (history_.size() > 12) history_.pop_front();
            const Bytes before = main_->workspace().flash();
            accepted_ = false;
            problem_.clear();
            action.run(*this);
            QApplication::processEvents();
            ++tally_[action.name][accepted_ ? 1 : 0];
            const Workspace& ws = main_->workspace();
            if (problem_.empty() && ws.flash() != before && (action.writes == Writes::Never || !accepted_))
                problem_ = "the flash image changed without an accepted command";
            if (problem_.empty()) checkCopies();
            if (ws.history().size() >= History::kMaxSteps) historyFull_ = true;
            if (!problem_.empty()) {
                std::ostringstream out;
                out << "action " << n << " (" << action.name << "): " << problem_ << "\nlast actions:";
                for (const std::string& h : history_) out << "\n  " << h;
                return out.str();
            }
        }
        return {};
    }

    // How often each action ran and how often it was accepted.
    std::string summary() const {
        std::ostringstream out;
        for (const auto& [name, counts] : tally_) out << "  " << name << ": " << counts[0] + counts[1] << " (" << counts[1] << " accepted)\n";
        return out.str();
    }

private:
    enum class Damage { Checksum, CutOff, CutOffChecksumFixed, Tiny };

    struct Prepared {
        std::string path;
        Bytes dnl, flash;
        bool markerDamaged = false;
    };

    void makeSamples() {
        std::vector<synth::Options> options;
        for (int v = 1; v <= kVersionCount; ++v) options.push_back({.version = v, .seed = static_cast<std::uint32_t>(v)});
        options.push_back({.version = 4, .largeImage = true});
        options.push_back({.version = 9, .largeImage = true, .grid = synth::GridData::Inactive});
        options.push_back({.version = 2, .damagedSecondMarker = true, .grid = synth::GridData::Inactive});
        options.push_back({.version = 5, .originalChecksum = false, .night = synth::NightPalette::SameAsDay});
        options.push_back({.version = 3, .grid = synth::GridData::Foreign, .night = synth::NightPalette::DiffersUnused});
        options.push_back({.version = 7, .detail = 0, .allEntries = true});
        options.push_back({.version = 8, .imageHeader = false});
        for (std::size_t i = 0; i < options.size(); ++i) {
            synth::Sample sample = synth::makeSample(options[i]);
            Prepared p{dir_.file("sample" + std::to_string(i) + ".DNL"), sample.dnl, sample.flash,
                       options[i].damagedSecondMarker};
            writeFile(p.path, p.dnl);
            samples_.push_back(std::move(p));
        }
    }

    std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
    bool chance(int percent) { return static_cast<int>(below(100)) < percent; }

    // Opens `path` through the open dialog (nothing: the dialog is cancelled); returns the
    // messages the load showed. With unsaved changes the question comes first and gets a
    // random answer; `opened` tells whether the open dialog came up at all.
    std::vector<std::string> loadPath(const std::optional<std::string>& path, bool* opened = nullptr) {
        const bool modified = main_->workspace().isModified();
        const std::size_t questions = platform_.questions.size();
        if (modified) platform_.saveChoices.push_back(std::array{SaveChoice::Save, SaveChoice::Discard, SaveChoice::Cancel}[below(3)]);
        platform_.answerOpen(path);
        const std::size_t requests = platform_.openRequests.size();
        const std::size_t shown = platform_.messages.size();
        const std::size_t bySave = messagesBySave_;
        u_->S_oeffne_DNL_file->click();
        if (platform_.questions.size() != questions + (modified ? 1 : 0)) problem_ = "the question before a load came wrong";
        if (!platform_.saveChoices.empty()) problem_ = "an answer was not used";
        const bool dialog = platform_.openRequests.size() == requests + 1;
        if (!dialog) platform_.openAnswers.clear();  // the load stopped before its dialog
        if (opened) *opened = dialog;
        // The messages of a save run by "Speichern" come before the load's.
        const std::size_t first = shown + (messagesBySave_ - bySave);
        return {platform_.messages.begin() + static_cast<std::ptrdiff_t>(first), platform_.messages.end()};
    }

    void loadGood() {
        const Prepared& p = samples_[below(samples_.size())];
        const Bytes before = main_->workspace().flash();
        bool opened = false;
        const std::vector<std::string> messages = loadPath(p.path, &opened);
        accepted_ = true;
        if (!problem_.empty()) return;
        if (!opened) {
            // Cancelled, or a save that failed or was cancelled: the document as it was.
            if (main_->workspace().flash() != before) problem_ = "a cancelled load changed the document";
            return;
        }
        const std::vector<std::string> expected =
            p.markerDamaged ? std::vector<std::string>{msg::kMarkerCorrected} : std::vector<std::string>{};
        if (messages != expected) problem_ = "a good sample was not loaded cleanly";
        else if (main_->workspace().flash() != p.flash) problem_ = "the loaded flash image is not the sample's";
        else if (main_->workspace().isModified() || main_->workspace().history().size() != 0)
            problem_ = "a loaded file does not start a new history";
        loadedFlash_ = p.flash;
        historyFull_ = false;
    }

    bool trigger(QAction* action) {
        if (!action->isEnabled()) return false;
        action->trigger();
        return true;
    }

    // Undoing every step gives back the loaded flash image (unless the bound dropped steps);
    // redoing as many gives back the image before.
    void undoEverything() {
        Workspace& ws = main_->workspace();
        if (!ws.fileLoaded()) return;
        const Bytes before = ws.flash();
        const std::size_t position = ws.history().position();
        while (trigger(u_->Rueckgaengig1)) {}
        if (!historyFull_ && ws.flash() != loadedFlash_) problem_ = "undoing every step does not give the loaded flash image";
        for (std::size_t k = 0; k < position; ++k) trigger(u_->Wiederherstellen1);
        if (problem_.empty() && ws.flash() != before) problem_ = "redoing the steps does not give the image back";
    }

    void loadBad(Damage damage) {
        Bytes b = samples_[below(samples_.size())].dnl;
        switch (damage) {
        case Damage::Checksum: b[kDnlHeaderSize + below(b.size() - kDnlHeaderSize)] ^= static_cast<std::uint8_t>(1 + below(255)); break;
        case Damage::CutOff:
        case Damage::CutOffChecksumFixed: {
            // Cut inside the data of a record, so the stream cannot end on a record boundary.
            std::vector<std::size_t> records;
            for (std::size_t r = kDnlHeaderSize; r + 4 < b.size(); r += 4 + b[r + 3])
                if (b[r + 3] > 0) records.push_back(r);
            const std::size_t r = records[below(records.size())];
            b.resize(r + 4 + below(b[r + 3]));
            const std::uint16_t fitting = DNL_rechne_Pruefsumme(b);
            DNL_schreibe_Pruefsumme(b, damage == Damage::CutOffChecksumFixed ? fitting : static_cast<std::uint16_t>(fitting + 1));
            break;
        }
        case Damage::Tiny: b.resize(below(kDnlMinimumSize)); break;
        }
        const std::string path = dir_.file("damaged.DNL");
        writeFile(path, b);
        accepted_ = main_->workspace().isModified();  // "Speichern" may write a colour mode
        bool opened = false;
        if (loadPath(path, &opened).size() != (opened ? 1u : 0u)) problem_ = "a damaged file was not refused with one message";
    }

    void loadCancelled() {
        // "Speichern" in the question may write a colour mode into the document.
        accepted_ = main_->workspace().isModified();
        loadPath(std::nullopt);
    }

    // A user can click only what is shown and enabled.
    bool clickShown(QAbstractButton* button) {
        if (!button->isVisibleTo(main_) || !button->isEnabled()) return false;
        button->click();
        return true;
    }

    QPoint palettePoint() { return QPoint(static_cast<int>(below(209)), static_cast<int>(below(209))); }

    void clickPalette(Qt::MouseButton button) {
        if (!u_->P_DNL_Palette->isVisibleTo(main_)) return;
        main_->I_PaletteMouseDown(palettePoint(), button);
    }

    // A save target: a fresh file, the same file again, cancelled, or one that cannot be written.
    std::optional<std::string> saveTarget(const std::string& extension, bool& writable) {
        writable = false;
        switch (below(5)) {
        case 0: return std::nullopt;
        case 1: return dir_.file("plain") + "/out." + extension;
        default: writable = true; return dir_.file("out" + std::to_string(below(3)) + "." + extension);
        }
    }

    // Runs a command that may ask for a save target and answers with saveTarget(); gives the
    // target when the command asked for it and it can be written (an old file there removed).
    std::optional<std::string> runWithSaveTarget(const std::string& extension, const std::function<void()>& trigger) {
        bool writable = false;
        const std::optional<std::string> target = saveTarget(extension, writable);
        if (target && writable) fs::remove(*target);
        const std::size_t requests = platform_.saveRequests.size();
        platform_.answerSave(target);
        trigger();
        if (platform_.saveRequests.size() == requests) {
            platform_.saveAnswers.clear();  // the command was not available
            return std::nullopt;
        }
        return writable ? target : std::nullopt;
    }

    void exportFile(const std::string& extension, const std::function<void()>& trigger) {
        const std::optional<std::string> target = runWithSaveTarget(extension, trigger);
        if (target && (!fs::exists(*target) || fs::file_size(*target) == 0)) problem_ = "an export was not written";
    }

    // --- modal windows -------------------------------------------------------------------

    int onModal(QDialog& dialog) {
        if (auto* editor = dynamic_cast<TF2_Farbeditor*>(&dialog)) return colourEditor(*editor);
        if (auto* save = dynamic_cast<TF9_Speichern*>(&dialog)) return saveDialog(*save);
        if (auto* info = dynamic_cast<TF5_VersionsINFO*>(&dialog)) {
            if (chance(30)) info->L_emailClick();
            if (chance(30)) info->L_webClick();
        }
        if (auto* startbild = dynamic_cast<TF3_Startbild*>(&dialog)) return startImageEditor(*startbild);
        if (auto* selection = dynamic_cast<TF10_Farbpalette*>(&dialog)) return expertSelection(*selection);
        if (auto* texte = dynamic_cast<TF4_Texte*>(&dialog)) return textEditor(*texte);
        if (auto* photo = dynamic_cast<PhotoFitDialog*>(&dialog)) return photoWindow(*photo);
        return chance(50) ? int(QDialog::Accepted) : int(QDialog::Rejected);
    }

    // Pictures for the start image editor, written once: good ones in several colour counts
    // and BMP variants, and ones the import must refuse.
    struct Picture {
        std::string path;
        bool good;
    };

    void makePictures() {
        std::mt19937 rng(7);
        const auto put = [&](const std::string& name, const Bytes& bytes, bool good) {
            writeFile(dir_.file(name), bytes);
            pictures_.push_back({dir_.file(name), good});
        };
        const auto putIndexed = [&](const std::string& name, const RgbImage& picture) {
            // An 8-bit BMP as the toolkit writes it.
            QImage rgb(picture.rgb.data(), picture.width, picture.height, picture.width * 3, QImage::Format_RGB888);
            const QImage indexed = rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
            const QString path = QString::fromStdString(dir_.file(name));
            if (indexed.colorCount() <= 256 && indexed.save(path, "BMP")) pictures_.push_back({path.toStdString(), true});
        };
        for (int colours : {2, 16, 100, 256}) {
            put("start" + std::to_string(colours) + ".bmp", encodeBmp24(synth::photoPicture(static_cast<std::uint32_t>(colours), colours)), true);
            put("logo" + std::to_string(colours) + ".bmp", encodeBmp24(synth::randomPicture(rng, kDspLogoWidth, kDspLogoHeight, std::min(colours, 60))), true);
        }
        putIndexed("start8bit.bmp", synth::photoPicture(3, 64));
        put("start_rle8.bmp", rle8Picture(kStartImageWidth, kStartImageHeight, 24), true);
        put("logo_rle8.bmp", rle8Picture(kDspLogoWidth, kDspLogoHeight, 6), true);
        put("start_565.bmp", rgb565Picture(kStartImageWidth, kStartImageHeight, 30), true);
        put("logo_565.bmp", rgb565Picture(kDspLogoWidth, kDspLogoHeight, 9), true);
        putIndexed("logo8bit.bmp", synth::randomPicture(rng, kDspLogoWidth, kDspLogoHeight, 12));
        RgbImage many(kStartImageWidth, kStartImageHeight);
        for (int p = 0; p < kStartImageWidth * kStartImageHeight; ++p)
            many.set(p % kStartImageWidth, p / kStartImageWidth, {static_cast<std::uint8_t>(p % 17 * 15), static_cast<std::uint8_t>(p / 17 % 17 * 15), 3});
        put("many.bmp", encodeBmp24(many), false);
        put("tall.bmp", encodeBmp24(RgbImage(kStartImageWidth, kStartImageHeight + 1, Rgb{1, 2, 3})), false);
        put("logo21.bmp", encodeBmp24(RgbImage(kDspLogoWidth, kDspLogoHeight + 1, Rgb{1, 2, 3})), false);
        Bytes truncated = encodeBmp24(synth::photoPicture(5, 8));
        truncated.resize(truncated.size() / 2);
        put("short.bmp", truncated, false);
        put("fake.bmp", Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0}, false);
        pictures_.push_back({dir_.file("missing.bmp"), false});
    }

    // RLE8 of horizontal bands of `colours` grey levels.
    static Bytes rle8Picture(int width, int height, int colours) {
        Bytes table, pixels;
        for (int i = 0; i < colours; ++i) table.insert(table.end(), {static_cast<std::uint8_t>(i * 255 / (colours - 1)), static_cast<std::uint8_t>(i), 40, 0});
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; x += 40)
                pixels.insert(pixels.end(), {static_cast<std::uint8_t>(std::min(40, width - x)), static_cast<std::uint8_t>((y / 4 + x / 40) % colours)});
            pixels.insert(pixels.end(), {0, 0});
        }
        pixels.insert(pixels.end(), {0, 1});
        return test::bmpFile({.width = width, .height = height, .bits = 8, .compression = 1, .table = table}, pixels);
    }

    // 16-bit 565 with explicit masks, a few colours in vertical bands.
    static Bytes rgb565Picture(int width, int height, int colours) {
        Bytes pixels;
        const int stride = (width * 2 + 3) / 4 * 4;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int k = (x * colours / width + y) % colours;
                const std::uint16_t v = static_cast<std::uint16_t>((k % 32) << 11 | (k * 7 % 64) << 5 | (31 - k % 32));
                pixels.push_back(static_cast<std::uint8_t>(v)), pixels.push_back(static_cast<std::uint8_t>(v >> 8));
            }
            pixels.resize(pixels.size() + static_cast<std::size_t>(stride - width * 2));
        }
        return test::bmpFile({.width = width, .height = height, .bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}}, pixels);
    }

    struct Sets {
        ColourSet O, MAX, AKT, O_DSP, AKT_DSP;
        explicit Sets(const StartImageEditor& e) : O(e.O), MAX(e.MAX), AKT(e.AKT), O_DSP(e.O_DSP), AKT_DSP(e.AKT_DSP) {}
        bool operator==(const Sets&) const = default;
    };

    void moveSlider(QSlider* slider) {
        if (!slider->isVisibleTo(slider->window()) || !slider->isEnabled()) return;
        slider->setValue(slider->minimum() + static_cast<int>(below(static_cast<std::size_t>(slider->maximum() - slider->minimum() + 1))));
    }

    static bool clickable(QAbstractButton* button) { return button->isVisibleTo(button->window()) && button->isEnabled(); }

    int startImageEditor(TF3_Startbild& w) {
        w.setResult(QDialog::Rejected);
        w.FormShow();
        const int steps = 1 + static_cast<int>(below(8));
        for (int i = 0; i < steps && problem_.empty(); ++i) {
            switch (below(10)) {
            case 0:
            case 1: {
                const Picture& p = pictures_[below(pictures_.size())];
                const Sets before(w.editor());
                const std::size_t shown = platform_.messages.size();
                if (chance(30)) {
                    QMimeData data;
                    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(p.path))});
                    // As a drag does: the drop follows an accepted enter.
                    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                    QApplication::sendEvent(&w, &enter);
                    if (!enter.isAccepted()) {
                        problem_ = "a dragged BMP file was not taken";
                        break;
                    }
                    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
                    QApplication::sendEvent(&w, &drop);
                } else if (clickable(w.S_oeffne_Grafik_file)) {
                    platform_.answerOpen(p.path);
                    w.S_oeffne_Grafik_file->click();
                } else {
                    break;
                }
                if (!p.good && !(Sets(w.editor()) == before)) problem_ = "a refused import changed an editor set";
                else if (!p.good && platform_.messages.size() == shown) problem_ = "a refused import showed no message: " + p.path;
                break;
            }
            case 2: moveSlider(w.TB_Startbild); break;
            case 3: moveSlider(w.TB_DSP); break;
            case 4:
                w.I_AKT_Bild_PalMouseMove(QPoint(static_cast<int>(below(300)), static_cast<int>(below(40))));
                w.I_DSP_PaletteMouseMove(QPoint(static_cast<int>(below(300)), static_cast<int>(below(40))));
                break;
            case 5: {
                QPushButton* saves[] = {w.P_Startbild_speichern_U3, w.P_DSP_Logo_speichern, w.P_speichere_mod_DSP_Bild};
                QPushButton* b = saves[below(3)];
                if (clickable(b)) runWithSaveTarget("BMP", [b] { b->click(); });
                break;
            }
            case 6:
                if (clickable(w.S_Hilfe)) w.S_Hilfe->click();
                break;
            case 7: {
                // The photo road reads every picture the BMP road reads, and more; what it
                // refuses must change nothing.
                if (!clickable(w.S_Foto_anpassen)) break;
                const Sets before(w.editor());
                const std::size_t shown = platform_.messages.size();
                platform_.answerOpen(pictures_[below(pictures_.size())].path);
                w.S_Foto_anpassen->click();
                if (platform_.messages.size() != shown && !(Sets(w.editor()) == before))
                    problem_ = "a refused photo changed an editor set";
                break;
            }
            default:
                if (clickable(w.P_Palette_auswaehlen)) w.P_Palette_auswaehlen->click();
                break;
            }
        }
        if (chance(50) && clickable(w.BB_schreibe_NEU_in_BIN)) {
            accepted_ = true;
            w.BB_schreibe_NEU_in_BIN->click();
        } else {
            w.BB_Abbruch->click();
        }
        return w.result();
    }

    int photoWindow(PhotoFitDialog& w) {
        w.setResult(QDialog::Rejected);
        w.setColourChooser([this](Rgb) -> std::optional<Rgb> {
            if (chance(20)) return std::nullopt;
            return Rgb{static_cast<std::uint8_t>(below(256)), static_cast<std::uint8_t>(below(256)),
                       static_cast<std::uint8_t>(below(256))};
        });
        const int steps = static_cast<int>(below(8));
        for (int i = 0; i < steps; ++i) {
            switch (below(6)) {
            case 0: {
                const QPoint from(static_cast<int>(below(480)), static_cast<int>(below(351)));
                const QPoint to(static_cast<int>(below(480)), static_cast<int>(below(351)));
                QTest::mousePress(w.cropView, Qt::LeftButton, {}, from);
                QTest::mouseMove(w.cropView, to);
                QTest::mouseRelease(w.cropView, Qt::LeftButton, {}, to);
                break;
            }
            case 1: w.zoomSlider->setValue(100 + static_cast<int>(below(1501))); break;
            case 2: {
                QAbstractButton* modes[] = {w.fillButton, w.fitButton, w.stretchButton, w.startImageButton, w.dspLogoButton};
                QAbstractButton* b = modes[below(5)];
                if (clickable(b)) b->click();
                break;
            }
            case 3: w.coloursSpin->setValue(static_cast<int>(below(300))); break;
            case 4: w.backgroundButton->click(); break;
            default: QApplication::processEvents(); break;
            }
        }
        (chance(60) ? w.acceptButton : w.cancelButton)->click();
        if (w.result() == QDialog::Accepted && w.acceptedResult().fit.ok() &&
            w.acceptedResult().fit->palette.size() > static_cast<std::size_t>(std::max(w.session().colours(), 1)))
            problem_ = "the photo window fitted more colours than asked for";
        return w.result();
    }

    int expertSelection(TF10_Farbpalette& w) {
        w.setResult(QDialog::Rejected);
        const int steps = static_cast<int>(below(10));
        for (int i = 0; i < steps; ++i) {
            switch (below(4)) {
            case 0: w.I_Palette_U10MouseMove(QPoint(static_cast<int>(below(209)), static_cast<int>(below(209)))); break;
            case 1:
                if (clickable(w.RB_Tag_U10)) w.RB_Tag_U10->click();
                break;
            case 2:
                if (clickable(w.RB_Nacht_U10)) w.RB_Nacht_U10->click();
                break;
            default: {
                const bool ctrl = chance(30);
                w.I_Palette_U10MouseDown(QPoint(static_cast<int>(below(209)), static_cast<int>(below(209))), Qt::LeftButton,
                                         Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier);
            }
            }
        }
        if (chance(60) && clickable(w.BB_schreibe_NEU_in_BIN)) w.BB_schreibe_NEU_in_BIN->click();
        else w.BitBtn2->click();
        return w.result();
    }

    // A text accept changes nothing outside the text table, which never grows.
    void checkTextRegion(const Bytes& before) {
        const Bytes& after = main_->workspace().flash();
        const auto start = static_cast<std::size_t>(firmwareVersion(main_->workspace().versionIndex()).textTableOffset);
        const auto marker = std::search(before.begin() + static_cast<std::ptrdiff_t>(start), before.end(), kTextEndMarker.begin(), kTextEndMarker.end());
        const auto end = static_cast<std::size_t>(marker - before.begin()) + kTextEndMarker.size();
        if (after.size() != before.size()) {
            problem_ = "a text accept changed the size of the flash image";
            return;
        }
        for (std::size_t i = 0; i < after.size(); ++i)
            if (after[i] != before[i] && (i < start || i >= end)) {
                problem_ = "a text accept changed the flash image outside the text table";
                return;
            }
    }

    void type(QWidget* widget, const QString& text) {
        for (const char32_t c : text.toUcs4())
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString::fromUcs4(&c, 1), Qt::NoModifier);
    }

    int textEditor(TF4_Texte& w) {
        // The main page has run the opening already.
        w.setResult(QDialog::Rejected);
        const Bytes before = main_->workspace().flash();
        static const char* const typed[] = {"A", "Ziel", "ä", "Ö", "ß", "€", "ÿ", "x y", "12", "\xc3\xa9"};
        static const char* const searched[] = {"", "a", "STRASSE", "zzzq", "ö", "E"};
        const int steps = 1 + static_cast<int>(below(10));
        for (int i = 0; i < steps; ++i) {
            switch (below(8)) {
            case 0:
                if (w.LB_Texte->count() > 0) w.LB_Texte->setCurrentRow(static_cast<int>(below(static_cast<std::size_t>(w.LB_Texte->count()))));
                break;
            case 1:
                if (w.LB_Texte->currentItem()) w.LB_TexteDblClick();
                break;
            case 2:
                QTest::mouseClick(w.E_Text, Qt::LeftButton);
                type(w.E_Text, QString::fromUtf8(typed[below(std::size(typed))]));
                break;
            case 3:
                if (chance(50)) QTest::keyClick(w.E_Text, Qt::Key_Return);
                else if (clickable(w.Panel1)) w.Panel1->click();
                break;
            case 4: {
                QRadioButton* mode = chance(50) ? w.RB_erlauben : w.RB_sperren;
                if (clickable(mode)) mode->click();
                break;
            }
            case 5:
                w.E_Suche->setText(QString::fromUtf8(searched[below(std::size(searched))]));
                w.P_Suchen->click();
                break;
            case 6:
                runWithSaveTarget(kTxtExtension, [&w] {
                    if (clickable(w.Panel3)) w.Panel3->click();
                });
                break;
            default: break;
            }
        }
        if (chance(50)) {
            accepted_ = true;
            w.BB_OK->click();
            checkTextRegion(before);
        } else if (chance(50)) {
            w.BB_Abbruch->click();
        } else {
            w.reject();  // closing the window
        }
        return w.result();
    }

    int colourEditor(TF2_Farbeditor& editor) {
        editor.FormShow();
        for (QSlider* slider : {editor.T_rot, editor.T_gruen, editor.T_blau})
            if (chance(60)) slider->setValue(static_cast<int>(below(256)));
        if (chance(50)) {
            editor.BitBtn2->click();
        } else {
            accepted_ = true;
            editor.BitBtn1->click();
        }
        return editor.result();
    }

    int saveDialog(TF9_Speichern& save) {
        QRadioButton* modes[] = {save.RB_Normal, save.RB_ImmerTag, save.RB_Vertauschen, save.RB_ImmerNacht};
        modes[below(4)]->click();
        if (chance(15)) {
            save.BB_zurueck->click();
            return save.result();
        }
        bool writable = false;
        const std::optional<std::string> target = saveTarget("DNL", writable);
        platform_.answerSave(target);
        const std::size_t shown = platform_.messages.size();
        save.BB_speichereDatei->click();
        messagesBySave_ += platform_.messages.size() - shown;
        accepted_ = target && writable;
        if (accepted_ && platform_.messages.size() != shown) problem_ = "a save into a writable folder failed";
        else if (accepted_ && readFile(*target) != main_->workspace().dnl()) problem_ = "the saved file is not the rebuilt one";
        else if (target && !writable && platform_.messages.size() != shown + 1) problem_ = "a failed save was not reported";
        return save.result();
    }

    // The decoded palettes mirror the flash image after every action.
    void checkCopies() {
        const Workspace& ws = main_->workspace();
        if (!ws.fileLoaded()) return;
        Palette day{}, night{};
        if (!BIN_lese_Palette(ws.flash(), ws.paletteOffset(), day, night).ok())
            problem_ = "the palettes lie outside the flash image";
        else if (day != ws.dayPalette() || night != ws.nightPalette())
            problem_ = "the palette copies differ from the flash image";
    }

    std::mt19937_64 rng_;
    TempDir dir_;
    test::ScriptedPlatform platform_;
    std::unique_ptr<ProgramWindows> windows_;
    TF1_Hauptseite* main_ = nullptr;
    std::vector<Picture> pictures_;
    Ui::TF1_Hauptseite* u_ = nullptr;
    std::vector<Prepared> samples_;
    std::deque<std::string> history_;
    bool accepted_ = false;
    std::size_t messagesBySave_ = 0;  // messages the save dialog showed so far
    Bytes loadedFlash_;        // the flash image of the last load
    bool historyFull_ = false;  // the bound may have dropped steps since the last load
    std::string problem_;
    std::map<std::string, std::array<std::size_t, 2>> tally_;
};

}  // namespace

TEST(RandomActions, WindowsSurviveASeededSequenceOfUserActions) {
    const std::uint64_t seed = envNumber("ZARVELO_RANDOM_SEED", std::random_device{}());
    const std::uint64_t count = envNumber("ZARVELO_RANDOM_ACTIONS", 3000);
    std::printf("Random actions: %llu with seed %llu (replay with ZARVELO_RANDOM_SEED=%llu)\n",
                static_cast<unsigned long long>(count), static_cast<unsigned long long>(seed),
                static_cast<unsigned long long>(seed));
    Watchdog watchdog(seed, std::chrono::seconds(30));
    RandomSession session(seed);
    const std::string problem = session.run(count, watchdog);
    if (envNumber("ZARVELO_RANDOM_SUMMARY", 0)) std::printf("%s", session.summary().c_str());
    EXPECT_TRUE(problem.empty()) << problem << "\nReplay with ZARVELO_RANDOM_SEED=" << seed;
}

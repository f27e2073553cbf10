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

#include <gtest/gtest.h>

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
            {"load a file with a bad checksum", 2, Writes::Never, [](RandomSession& s) { s.loadBad(Damage::Checksum); }},
            {"load a cut-off file", 2, Writes::Never, [](RandomSession& s) { s.loadBad(Damage::CutOff); }},
            {"load a cut-off file with a fitting checksum", 2, Writes::Never,
             [](RandomSession& s) { s.loadBad(Damage::CutOffChecksumFixed); }},
            {"load a tiny file", 1, Writes::Never, [](RandomSession& s) { s.loadBad(Damage::Tiny); }},
            {"load a missing file", 1, Writes::Never, [](RandomSession& s) { s.loadPath(s.dir_.file("fehlt.DNL")); }},
            {"cancel the open dialog", 1, Writes::Never, [](RandomSession& s) { s.loadCancelled(); }},
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
            {"start image editor", 1, Writes::WhenAccepted, [](RandomSession& s) { s.u_->S_Startbild->click(); }},
            {"text editor", 1, Writes::WhenAccepted, [](RandomSession& s) { s.u_->S_Texte->click(); }},
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
            const Bytes before = main_->workspace().flash;
            accepted_ = false;
            problem_.clear();
            action.run(*this);
            QApplication::processEvents();
            ++tally_[action.name][accepted_ ? 1 : 0];
            const Workspace& ws = main_->workspace();
            if (problem_.empty() && ws.flash != before && (action.writes == Writes::Never || !accepted_))
                problem_ = "the flash image changed without an accepted command";
            if (problem_.empty()) checkCopies();
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

    // Opens `path` through the open dialog; returns the messages the load showed.
    std::vector<std::string> loadPath(const std::string& path) {
        const std::size_t shown = platform_.messages.size();
        platform_.answerOpen(path);
        u_->S_oeffne_DNL_file->click();
        return {platform_.messages.begin() + static_cast<std::ptrdiff_t>(shown), platform_.messages.end()};
    }

    void loadGood() {
        const Prepared& p = samples_[below(samples_.size())];
        const std::vector<std::string> messages = loadPath(p.path);
        accepted_ = true;
        const std::vector<std::string> expected =
            p.markerDamaged ? std::vector<std::string>{msg::kMarkerCorrected} : std::vector<std::string>{};
        if (messages != expected) problem_ = "a good sample was not loaded cleanly";
        else if (main_->workspace().flash != p.flash) problem_ = "the loaded flash image is not the sample's";
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
        if (loadPath(path).size() != 1) problem_ = "a damaged file was not refused with one message";
    }

    void loadCancelled() {
        platform_.answerOpen(std::nullopt);
        u_->S_oeffne_DNL_file->click();
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

    void exportFile(const std::string& extension, const std::function<void()>& trigger) {
        bool writable = false;
        const std::optional<std::string> target = saveTarget(extension, writable);
        if (target && writable) fs::remove(*target);
        const std::size_t requests = platform_.saveRequests.size();
        platform_.answerSave(target);
        trigger();
        if (platform_.saveRequests.size() == requests) {
            platform_.saveAnswers.clear();  // the command was not available
            return;
        }
        if (target && writable && (!fs::exists(*target) || fs::file_size(*target) == 0))
            problem_ = "an export was not written";
    }

    // --- modal windows -------------------------------------------------------------------

    int onModal(QDialog& dialog) {
        if (auto* editor = dynamic_cast<TF2_Farbeditor*>(&dialog)) return colourEditor(*editor);
        if (auto* save = dynamic_cast<TF9_Speichern*>(&dialog)) return saveDialog(*save);
        if (auto* info = dynamic_cast<TF5_VersionsINFO*>(&dialog)) {
            if (chance(30)) info->L_emailClick();
            if (chance(30)) info->L_webClick();
        }
        // TF3_Startbild, TF10_Farbpalette, TF4_Texte: their actions (imports of good and
        // refused pictures, slider moves, expert selection, text edits and searches, accept
        // and cancel) go here, setting accepted_ when a command writes into the flash image.
        return chance(50) ? int(QDialog::Accepted) : int(QDialog::Rejected);
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
        accepted_ = target && writable;
        if (accepted_ && platform_.messages.size() != shown) problem_ = "a save into a writable folder failed";
        else if (accepted_ && readFile(*target) != main_->workspace().dnl) problem_ = "the saved file is not the rebuilt one";
        else if (target && !writable && platform_.messages.size() != shown + 1) problem_ = "a failed save was not reported";
        return save.result();
    }

    // The decoded palettes mirror the flash image after every action.
    void checkCopies() {
        const Workspace& ws = main_->workspace();
        if (!ws.fileLoaded) return;
        Palette day{}, night{};
        BIN_lese_Palette(ws.flash, ws.paletteOffset(), day, night);
        if (day != ws.dayPalette || night != ws.nightPalette) problem_ = "the palette copies differ from the flash image";
    }

    std::mt19937_64 rng_;
    TempDir dir_;
    test::ScriptedPlatform platform_;
    std::unique_ptr<ProgramWindows> windows_;
    TF1_Hauptseite* main_ = nullptr;
    Ui::TF1_Hauptseite* u_ = nullptr;
    std::vector<Prepared> samples_;
    std::deque<std::string> history_;
    bool accepted_ = false;
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

#pragma once
// The document's history: every accepted change is one step that keeps only what it
// replaced and what it wrote, as runs of bytes in the flash image, plus the available
// palette entries where they changed. Steps are never snapshots of the whole image.

#include "flash/bytes.hpp"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zarvelo {

// What a change touched; the main page redraws what the kind says.
enum class ChangeKind {
    File,        // a file was loaded: everything is new
    Palettes,    // colour editor, "Korrigieren?"
    StartImage,  // start image editor "Daten übernehmen"
    Entries,     // expert selection of the available palette entries alone
    Grid,
    Texts,
    ColourMode,  // the colour mode a save wrote into the flash image
    Saved,       // nothing changed but the saved position
};

// The labels of the steps, as "&Rückgängig" and "&Wiederherstellen" name them.
namespace steplabel {
inline constexpr const char* kColour = "Farbe ändern";
inline constexpr const char* kDayNight = "Tag und Nacht angleichen";
inline constexpr const char* kGridOn = "Gitter einschalten";
inline constexpr const char* kGridOff = "Gitter ausschalten";
inline constexpr const char* kStartImage = "Startbild übernehmen";
inline constexpr const char* kEntries = "Paletteneinträge auswählen";
inline constexpr const char* kTexts = "Texte übernehmen";
inline constexpr const char* kColourMode = "Farbmodus speichern";
inline constexpr const char* kChecksum = "Prüfsumme eintragen";
}  // namespace steplabel

// How a change came about: a command applied it, or the history moved.
enum class ChangeCause { Apply, Undo, Redo, Load, Save };

struct DocumentChange {
    ChangeKind kind = ChangeKind::File;
    ChangeCause cause = ChangeCause::Apply;
};

// Bytes [offset, offset + before.size()) of the flash image, as they were and as they are.
struct FlashRun {
    std::uint32_t offset = 0;
    Bytes before;
    Bytes after;
};

// The runs where `before` and `after` differ (images of one size). Runs closer than a few
// bytes are joined: a run costs more than the equal bytes between.
std::vector<FlashRun> differingRuns(const Bytes& before, const Bytes& after);

using EntryTable = std::array<bool, 256>;

struct HistoryStep {
    ChangeKind kind = ChangeKind::Palettes;
    std::string label;  // German, as the menu shows it after "Rückgängig: "
    std::vector<FlashRun> runs;
    std::optional<std::pair<EntryTable, EntryTable>> entries;  // before, after
    // False for a step a save does not write (the expert selection): it does not make the
    // document modified.
    bool changesSavedState = true;

    std::size_t memorySize() const;
    // Puts the old (undo) or new (redo) bytes and entries in place.
    void apply(Bytes& flash, EntryTable& available, bool forward) const;
};

class History {
public:
    static constexpr std::size_t kMaxSteps = 100;
    static constexpr std::size_t kMaxBytes = 64u << 20;

    // A new history (after a load): no steps, the current state is the saved one.
    void clear();
    // Adds a step after the current position; steps that could be redone are gone. The
    // oldest steps are dropped beyond the bounds.
    void push(HistoryStep step);

    // Folds `runs` (written over the current state) into the step that led to it, so that
    // undoing that step takes them back as well. False when no step led to the current state.
    bool amendLast(const std::vector<FlashRun>& runs);

    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }
    // The step an undo or redo would take back or make again; nullptr when there is none.
    const HistoryStep* nextUndo() const { return canUndo() ? &steps_[position_ - 1] : nullptr; }
    const HistoryStep* nextRedo() const { return canRedo() ? &steps_[position_] : nullptr; }
    // Moves the position; the caller applies the returned step.
    const HistoryStep* stepBack();
    const HistoryStep* stepForward();

    // The current state is what the file on disk holds now.
    void markSaved() { saved_ = position_; }
    // A step that changes saved state lies between the current and the saved position, or
    // the saved state is no longer reachable.
    bool modified() const;

    std::size_t size() const { return steps_.size(); }
    std::size_t position() const { return position_; }
    std::size_t memorySize() const;

private:
    void dropOldest();

    std::vector<HistoryStep> steps_;
    std::size_t position_ = 0;
    std::optional<std::size_t> saved_ = 0;  // empty: the saved state fell off the history
    std::size_t bytes_ = 0;
};

}  // namespace zarvelo

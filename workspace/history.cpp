#include "workspace/history.hpp"

#include <algorithm>
#include <cstring>

namespace zarvelo {

namespace {

// Equal bytes between two differing ones up to this length stay inside one run.
constexpr std::size_t kJoinGap = 16;

}  // namespace

std::vector<FlashRun> differingRuns(const Bytes& before, const Bytes& after) {
    std::vector<FlashRun> runs;
    const std::size_t n = std::min(before.size(), after.size());
    const std::uint8_t* a = before.data();
    const std::uint8_t* b = after.data();
    std::size_t i = 0;
    while (i < n) {
        // Skip equal blocks quickly; most of a 1 MiB image is untouched.
        constexpr std::size_t kBlock = 64;
        while (i + kBlock <= n && std::memcmp(a + i, b + i, kBlock) == 0) i += kBlock;
        while (i < n && a[i] == b[i]) ++i;
        if (i >= n) break;
        const std::size_t start = i;
        std::size_t end = i + 1;  // one past the last differing byte
        for (std::size_t j = end; j < n && j - end <= kJoinGap; ++j)
            if (a[j] != b[j]) end = j + 1;
        runs.push_back({static_cast<std::uint32_t>(start), Bytes(a + start, a + end), Bytes(b + start, b + end)});
        i = end;
    }
    return runs;
}

std::size_t HistoryStep::memorySize() const {
    std::size_t size = sizeof(HistoryStep) + label.capacity();
    for (const FlashRun& r : runs) size += sizeof(FlashRun) + r.before.capacity() + r.after.capacity();
    return size;
}

void HistoryStep::apply(Bytes& flash, EntryTable& available, bool forward) const {
    for (const FlashRun& r : runs) {
        const Bytes& bytes = forward ? r.after : r.before;
        if (r.offset > flash.size() || flash.size() - r.offset < bytes.size()) continue;  // never outside the image
        std::copy(bytes.begin(), bytes.end(), flash.begin() + static_cast<std::ptrdiff_t>(r.offset));
    }
    if (entries) available = forward ? entries->second : entries->first;
}

void History::clear() {
    steps_.clear();
    position_ = 0;
    saved_ = 0;
    bytes_ = 0;
}

void History::push(HistoryStep step) {
    // The steps after the current position cannot be redone any more. A saved state among
    // them is out of reach, unless none of the steps up to it changed what a save writes.
    if (saved_ && *saved_ > position_) {
        const bool same = std::none_of(steps_.begin() + static_cast<std::ptrdiff_t>(position_),
                                       steps_.begin() + static_cast<std::ptrdiff_t>(*saved_),
                                       [](const HistoryStep& s) { return s.changesSavedState; });
        if (same) saved_ = position_;
        else saved_.reset();
    }
    for (std::size_t k = position_; k < steps_.size(); ++k) bytes_ -= steps_[k].memorySize();
    steps_.resize(position_);
    bytes_ += step.memorySize();
    steps_.push_back(std::move(step));
    ++position_;
    while (steps_.size() > kMaxSteps || (bytes_ > kMaxBytes && steps_.size() > 1)) dropOldest();
}

void History::dropOldest() {
    const bool savedWithIt = steps_.front().changesSavedState;
    bytes_ -= steps_.front().memorySize();
    steps_.erase(steps_.begin());
    --position_;
    if (saved_) {
        // A saved state before the dropped step is out of reach, unless the step wrote
        // nothing a save writes.
        if (*saved_ > 0) --*saved_;
        else if (savedWithIt) saved_.reset();
    }
}

bool History::amendLast(const std::vector<FlashRun>& runs) {
    if (position_ == 0) return false;
    HistoryStep& step = steps_[position_ - 1];
    bytes_ -= step.memorySize();
    std::vector<FlashRun> added;
    for (const FlashRun& run : runs) {
        for (std::size_t i = 0; i < run.after.size(); ++i) {
            const std::size_t at = run.offset + i;
            // A byte the step wrote already keeps its old value and takes the new one.
            auto inside = std::find_if(step.runs.begin(), step.runs.end(), [&](const FlashRun& r) {
                return at >= r.offset && at - r.offset < r.after.size();
            });
            if (inside != step.runs.end()) {
                inside->after[at - inside->offset] = run.after[i];
                continue;
            }
            if (added.empty() || added.back().offset + added.back().after.size() != at)
                added.push_back({static_cast<std::uint32_t>(at), {}, {}});
            added.back().before.push_back(run.before[i]);
            added.back().after.push_back(run.after[i]);
        }
    }
    step.runs.insert(step.runs.end(), added.begin(), added.end());
    if (!runs.empty()) step.changesSavedState = true;
    bytes_ += step.memorySize();
    return true;
}

const HistoryStep* History::stepBack() {
    if (!canUndo()) return nullptr;
    return &steps_[--position_];
}

const HistoryStep* History::stepForward() {
    if (!canRedo()) return nullptr;
    return &steps_[position_++];
}

bool History::modified() const {
    if (!saved_) return true;
    const std::size_t from = std::min(*saved_, position_);
    const std::size_t to = std::max(*saved_, position_);
    for (std::size_t k = from; k < to; ++k)
        if (steps_[k].changesSavedState) return true;
    return false;
}

std::size_t History::memorySize() const { return bytes_ + sizeof(History); }

}  // namespace zarvelo

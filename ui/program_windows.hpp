#pragma once
// The ten windows of the program, created once in a fixed order and alive until it ends.

#include "ui/main_window.hpp"

#include <memory>

namespace zarvelo {

class ProgramWindows {
public:
    // Creates the main window first, then the other nine in the order of their numbers.
    explicit ProgramWindows(Platform& platform);
    ~ProgramWindows();

    TF1_Hauptseite& main() { return *main_; }
    const SecondaryWindows& windows() const { return windows_; }

private:
    std::unique_ptr<TF1_Hauptseite> main_;  // parent of the other nine
    SecondaryWindows windows_;
};

}  // namespace zarvelo

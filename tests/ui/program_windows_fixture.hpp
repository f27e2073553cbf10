#pragma once
// The program's ten windows over a scripted platform, with the main window's modal windows
// handed to the test instead of blocking in exec().

#include "scripted_platform.hpp"
#include "test_files.hpp"
#include "ui/main_window.hpp"
#include "ui/program_windows.hpp"
#include "ui/resources_init.hpp"

#include <QDialog>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace zarvelo::test {

class ProgramWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureResources();
        windows = std::make_unique<ProgramWindows>(platform);
        main = &windows->main();
        main->setPauseMilliseconds(0);
        main->setStartNoticeEnabled(false);
        main->setModalRunner([this](QDialog& dialog) {
            shown.push_back(&dialog);
            return onModal ? onModal(dialog) : int(QDialog::Rejected);
        });
    }

    TempDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<ProgramWindows> windows;
    TF1_Hauptseite* main = nullptr;
    std::vector<QDialog*> shown;             // every modal window the main window opened
    std::function<int(QDialog&)> onModal;    // what the user does in it; rejected when unset
};

}  // namespace zarvelo::test

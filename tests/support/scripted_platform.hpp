#pragma once
// A platform for tests: file dialogs answer from prepared queues (an empty queue or an
// empty optional means "cancelled"), and every request, message, question, beep and link is
// recorded.

#include "workspace/platform.hpp"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace zarvelo::test {

class ScriptedPlatform : public Platform {
public:
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::string>> saveAnswers;

    std::vector<FileDialogRequest> openRequests;
    std::vector<FileDialogRequest> saveRequests;
    std::vector<std::string> messages;
    std::vector<std::string> links;
    // The "save changes?" questions asked, and their answers (empty queue: "Abbrechen").
    std::vector<std::string> questions;
    std::deque<SaveChoice> saveChoices;
    int beeps = 0;

    void answerOpen(std::optional<std::string> path) { openAnswers.push_back(std::move(path)); }
    void answerSave(std::optional<std::string> path) { saveAnswers.push_back(std::move(path)); }

    std::optional<std::string> openFile(const FileDialogRequest& request) override {
        openRequests.push_back(request);
        return next(openAnswers);
    }
    std::optional<std::string> saveFile(const FileDialogRequest& request) override {
        saveRequests.push_back(request);
        return next(saveAnswers);
    }
    void message(const std::string& text) override { messages.push_back(text); }
    SaveChoice askToSave(const std::string& text) override {
        questions.push_back(text);
        if (saveChoices.empty()) return SaveChoice::Cancel;
        const SaveChoice choice = saveChoices.front();
        saveChoices.pop_front();
        return choice;
    }
    void beep() override { ++beeps; }
    void openLink(const std::string& url) override { links.push_back(url); }

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& queue) {
        if (queue.empty()) return std::nullopt;
        std::optional<std::string> answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }
};

}  // namespace zarvelo::test

#pragma once
// Everything that waits for a person goes through this interface: file dialogs, message
// boxes, the question before unsaved changes are lost, the beep and opening a link. The program uses the Qt implementation; tests hand
// in a scripted one that answers with prepared paths and records messages and beeps.

#include <optional>
#include <string>

namespace zarvelo {

struct FileDialogRequest {
    std::string filter;            // as "Beschreibung (*.EXT)|*.EXT"
    std::string defaultExtension;  // without the dot, e.g. "DNL"
    std::string initialName;       // proposed file name or path; may be empty
};

// The answers to "Die Änderungen an NAME wurden nicht gespeichert."
enum class SaveChoice { Save, Discard, Cancel };

class Platform {
public:
    virtual ~Platform() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
    // Asks before overwriting an existing file.
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
    // A modal message box with an OK button (UTF-8 text).
    virtual void message(const std::string& text) = 0;
    // A modal question with "Speichern", "Verwerfen" and "Abbrechen"; closing it cancels.
    virtual SaveChoice askToSave(const std::string& text) = 0;
    virtual void beep() = 0;
    virtual void openLink(const std::string& url) = 0;
};

}  // namespace zarvelo

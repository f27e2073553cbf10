#pragma once
// The platform interface on Qt: standard file dialogs, message boxes, the system beep and
// the desktop's link handler.

#include "workspace/platform.hpp"

#include <QString>

class QWidget;

namespace zarvelo {

class QtPlatform : public Platform {
public:
    // Dialogs and messages are centred over `parent` (may be null).
    explicit QtPlatform(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    void message(const std::string& text) override;
    SaveChoice askToSave(const std::string& text) override;
    void beep() override;
    void openLink(const std::string& url) override;

    // "Text (*.EXT)|*.EXT|Alle (*.*)|*.*" -> "Text (*.EXT);;Alle (*.*)".
    static QString toQtFilter(const std::string& filter);
    // Appends ".EXT" when the chosen name has no extension.
    static QString withDefaultExtension(const QString& path, const std::string& defaultExtension);

private:
    QWidget* parent_;
};

}  // namespace zarvelo

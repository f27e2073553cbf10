#pragma once
// Save dialog: colour mode choice, then the DNL file is rebuilt and written.

#include "flash/rebuild.hpp"
#include "ui/window_frame.hpp"
#include "ui_tf9_speichern.h"

class QButtonGroup;

namespace zarvelo {

class Platform;
class Workspace;

inline constexpr const char* kDnlFilter = "Navi-Flash-Dateien (*.DNL)|*.DNL";
inline constexpr const char* kDnlExtension = "DNL";

class TF9_Speichern : public FixedDialog, public Ui::TF9_Speichern {
    Q_OBJECT
public:
    TF9_Speichern(Workspace& workspace, Platform& platform, QWidget* parent = nullptr);

    ColourMode colourMode() const;
    void setColourMode(ColourMode mode);
    // Back to "Normale Darstellung" (the main window's command state does this).
    void resetColourMode() { setColourMode(ColourMode::Normal); }

    // "Datei speichern": asks for the path, then the workspace applies the colour mode,
    // rebuilds, writes and verifies; only a saved file leaves colour mode and rebuild in
    // the workspace, a failed save changes nothing and a message says why. Closes with
    // Accepted once a path was chosen, with Rejected when the file dialog was cancelled.
    // The main page redraws from the workspace's notification.
    void BB_speichereDateiClick();
    void BB_zurueckClick() { reject(); }

private:
    Workspace& workspace_;
    Platform& platform_;
    QButtonGroup* modes_;
};

}  // namespace zarvelo

#pragma once

#include <QString>

// Modal file panels. The application installs QFileDialog-based ones; tests
// install scripted ones. Main thread only.
class PanelPresenter {
public:
    virtual ~PanelPresenter() = default;
    // A folder chosen by the user (folders only, new folders allowed), or a null
    // string when the user cancelled.
    virtual QString chooseFolder(const QString& title, const QString& prompt) = 0;

    static void install(PanelPresenter* presenter);
    static PanelPresenter* current();
};

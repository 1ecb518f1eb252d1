#pragma once

#include "document/DocumentWindowInterface.h"
#include "document/StatisticsRecord.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class DocToolbarDelegate;
class FileTableModel;
class ParWindow;
class PARTableView;
class StatisticsPanel;

// Shows one PAR document in its window: the file table, the statistics, the
// coloured status line, the progress bar and the helper output in the drawer.
// The document calls it on the main thread with copies of its maps; the table
// keeps its own snapshot of them. It also saves the window's frame and the
// file column's width once the set-up is done.
class VelmoraController : public QObject, public DocumentWindowInterface {
    Q_OBJECT

public:
    static constexpr int kFirstDrawerWidth = 350;
    // Room for the dock's frame and splitter beside the drawer's content.
    static constexpr int kDrawerFrameWidth = 16;
    // Frame and column changes are saved once they have settled.
    static constexpr int kLayoutSaveDelayMs = 400;

    explicit VelmoraController(ParWindow* window);

    // The controller behind a document's window interface; null for other windows.
    static VelmoraController* fromWindowInterface(DocumentWindowInterface* window);
    ParWindow* documentWindow() const { return m_window; }

    // Once, after the window is made: toolbar, saved frame and column width,
    // the statistics panel of the set's PAR version.
    void FinishUserInterfaceSetup(MyDocument* document);
    // Forgets the document; the window then shows what it showed last.
    void detachDocument();

    void FileStatusChanged(MyDocument* document, const DocumentFileChanges& changes,
                           const QString& emphasizeKey) override;
    void StatusChanged(MyDocument* document, int32_t newStatus) override;
    void ProgressionChanged(MyDocument* document, int32_t newProgression) override;
    void ParOutputChanged(MyDocument* document, const QString& output) override;
    void ParOutputAppended(MyDocument* document, const QString& addedText) override;
    void RefreshUI() override;
    void StopRequested(MyDocument* document) override;
    void ResultChanged(MyDocument* document, const QString& text, const QString& path) override;
    QStringList SelectedFiles() const override;
    int NumSelectedFiles() const override;
    void NoSelection() override;
    void setCloseButtonEnabled(bool enabled) override;
    void showWindows() override;
    void documentDidClose() override;

    bool closeButtonEnabled() const { return m_closeButtonEnabled; }
    QList<int> getNotOKFiles() const;
    DocToolbarDelegate* toolbarDelegate() const { return m_TBDelegate; }

    void ToggleDrawer();
    bool IsDrawerOpen() const;

    void DocumentWindowResized();
    void DocumentWindowMoved();
    // Writes a frame or column change that is still waiting to be saved.
    void saveLayoutNow();

signals:
    // Something the window's commands depend on may have changed.
    void displayStateChanged();
    // The document closed: its window should go.
    void documentClosed();

private:
    void FileStatusUI_Update(const StatisticsRecord& statistics, const QString& emphasizeKey);
    void AddToolbarForParType(int parType, bool newSet);
    StatisticsPanel* statisticsPanel() const;
    void restoreSavedLayout();
    void removeUnusedStatisticsPanel(int parType);
    void fileColumnResized(int column);
    void updateOutputButton();
    void showProgressOutcome(int32_t status);
    void growForDrawer(int drawerWidth);
    void shrinkAfterDrawer();

    ParWindow* m_window;
    PARTableView* m_table;
    FileTableModel* m_model;
    int m_PreviousSubjects = 0;
    bool m_skippedFileChanges = false;
    bool isFirstDrawerOpen = true;
    // How much the window grew when the drawer opened.
    int m_drawerGrowth = 0;
    bool m_SaveWindowSize = false;
    bool m_closeButtonEnabled = true;
    bool m_frameChanged = false;
    bool m_fileColumnChanged = false;
    DocToolbarDelegate* m_TBDelegate = nullptr;
    QTimer m_layoutSaveTimer;
    // Since the run's first reported percentage, for the time left.
    QElapsedTimer m_progressClock;
};

#pragma once

#include <QMainWindow>
#include <QPointer>

class OutputDrawer;
class PARTableView;
class QProgressBar;
class QPushButton;
class QToolBar;
class ResultLine;
class StatisticsPanel;
class StatusLine;

// The document window of a recovery set: toolbar, file table, statistics,
// status line, progress bar and the output drawer. It only lays them out;
// VelmoraController fills them and ParWindowController decides about closing.
class ParWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kDefaultWidth = 760;
    static constexpr int kDefaultHeight = 520;

    explicit ParWindow(QWidget* parent = nullptr);

    QToolBar* toolbar() const { return m_toolbar; }
    PARTableView* fileStatus() const { return m_fileStatus; }
    // Both panels exist until the window set-up removes the one the set does not use.
    StatisticsPanel* par1StatisticsView() const;
    StatisticsPanel* par2StatisticsView() const;
    QProgressBar* progression() const { return m_progression; }
    StatusLine* statusLine() const { return m_statusLine; }
    OutputDrawer* drawer() const { return m_drawer; }
    QPushButton* outputButton() const { return m_outputButton; }
    ResultLine* resultLine() const { return m_resultLine; }

signals:
    // Receivers ignore the event to keep the window open.
    void closeRequested(QCloseEvent* event);
    void resized();
    void moved();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    QWidget* makeFooter();

    QToolBar* m_toolbar;
    PARTableView* m_fileStatus;
    QPointer<StatisticsPanel> m_par1StatisticsView;
    QPointer<StatisticsPanel> m_par2StatisticsView;
    QProgressBar* m_progression;
    StatusLine* m_statusLine;
    OutputDrawer* m_drawer;
    QPushButton* m_outputButton;
    ResultLine* m_resultLine;
};

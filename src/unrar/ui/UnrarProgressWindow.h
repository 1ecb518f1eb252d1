#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress of one extraction: a phase text, a bar, the size unpacked so far
// with the current entry, and Cancel. With a document window it is a
// window-modal sheet on it; otherwise a window of its own titled with the
// archive's file name. Cancel, Escape and the window's close button only ask
// for the cancel (cancelRequested); whoever runs the extraction closes it.
class UnrarProgressWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kBarWidth = 400;
    // A window of its own sits this far right of and below the active window.
    static constexpr int kCascadeOffset = 20;

    UnrarProgressWindow(const QString& archivePath, QWidget* documentWindow);

    // Shows the sheet, or places the window beside `activeWindow` (centred on
    // the screen without one) and brings it to the front.
    void present(QWidget* activeWindow);

    void setStatusText(const QString& text);
    void setCurrentFileText(const QString& text);
    void setIndeterminate();
    void setProgress(double fraction);
    // The run is over: Cancel is disabled and the bar stops where it is.
    void runEnded();

    QProgressBar* progressionBar() const { return m_progressionBar; }
    // The full text; the label shows it elided to its width.
    QString currentFileText() const { return m_currentFileText; }
    QPushButton* cancelButton() const { return m_cancelButton; }

public slots:
    void reject() override;

signals:
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showElidedCurrentFile();
    void requestCancel();

    QLabel* m_statusText;
    QProgressBar* m_progressionBar;
    QLabel* m_currentFile;
    QPushButton* m_cancelButton;
    QString m_currentFileText;
    bool m_runEnded = false;
};

#pragma once

#include <QDockWidget>
#include <QTimer>

class QPlainTextEdit;

// The side panel with the helper's output. New text is collected and reaches
// the view at most every kRefreshIntervalMs, and only while the panel is
// open, so a helper that writes hundreds of thousands of lines keeps the
// window responsive.
class OutputDrawer : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kRefreshIntervalMs = 250;

    explicit OutputDrawer(QWidget* parent = nullptr);

    // Replaces the whole text. A text that extends the one already known only
    // appends its new part.
    void replaceText(const QString& text);
    void appendText(const QString& text);

    // The whole output known so far, and what the view shows of it now.
    QString text() const { return m_text; }
    QString shownText() const;
    QPlainTextEdit* view() const { return m_view; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void scheduleRefresh();
    void refreshView();
    void scrollToEnd();

    QPlainTextEdit* m_view;
    QTimer m_refreshTimer;
    QString m_text;
    // How much of m_text the view holds, and whether what it holds is stale.
    qsizetype m_viewLength = 0;
    bool m_viewStale = false;
    // The view keeps showing the end while the user has not scrolled away from it.
    bool m_followEnd = true;
};

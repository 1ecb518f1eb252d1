#include "OutputDrawer.h"

#include "platform/StringTables.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

OutputDrawer::OutputDrawer(QWidget* parent)
    : QDockWidget(StringTables::localized(QStringLiteral("OutputDrawerTitle")), parent),
      m_view(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("drawer"));
    setFeatures(QDockWidget::DockWidgetClosable);
    setAllowedAreas(Qt::RightDockWidgetArea);
    m_view->setObjectName(QStringLiteral("parOutput"));
    m_view->setReadOnly(true);
    m_view->setUndoRedoEnabled(false);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setWidget(m_view);
    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(kRefreshIntervalMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &OutputDrawer::refreshView);
    QScrollBar* scrollBar = m_view->verticalScrollBar();
    connect(scrollBar, &QScrollBar::valueChanged, this,
            [this, scrollBar](int value) { m_followEnd = value >= scrollBar->maximum(); });
    // The view lays out new text after it was inserted; the end is kept in view then.
    connect(scrollBar, &QScrollBar::rangeChanged, this, [this] {
        if (m_followEnd)
            scrollToEnd();
    });
}

void OutputDrawer::replaceText(const QString& text) {
    if (text.startsWith(m_text)) {
        appendText(text.mid(m_text.size()));
        return;
    }
    m_text = text;
    m_viewLength = 0;
    m_viewStale = true;
    scheduleRefresh();
}

void OutputDrawer::appendText(const QString& text) {
    if (text.isEmpty())
        return;
    m_text += text;
    scheduleRefresh();
}

QString OutputDrawer::shownText() const {
    return m_view->toPlainText();
}

void OutputDrawer::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    refreshView();
}

void OutputDrawer::scheduleRefresh() {
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

void OutputDrawer::refreshView() {
    if (!isVisible() || (!m_viewStale && m_viewLength == m_text.size()))
        return;
    if (m_viewStale) {
        m_view->setPlainText(m_text);
        m_followEnd = true;
    } else {
        QTextCursor end(m_view->document());
        end.movePosition(QTextCursor::End);
        end.insertText(m_text.mid(m_viewLength));
    }
    m_viewLength = m_text.size();
    m_viewStale = false;
    if (m_followEnd)
        scrollToEnd();
}

void OutputDrawer::scrollToEnd() {
    QScrollBar* scrollBar = m_view->verticalScrollBar();
    scrollBar->setValue(scrollBar->maximum());
}

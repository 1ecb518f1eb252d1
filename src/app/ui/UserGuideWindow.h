#pragma once

#include <QDialog>

class QTextBrowser;

// The user guide as a page of its own: the installed Markdown file, rendered.
// Without an installed guide the page says where it would be.
class UserGuideWindow : public QDialog {
    Q_OBJECT
public:
    explicit UserGuideWindow(QWidget* parent);

    QTextBrowser* page() const { return m_page; }

private:
    QTextBrowser* m_page;
};

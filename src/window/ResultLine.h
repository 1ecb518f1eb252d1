#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// What the after-run actions did and where the result went ("Extracted to
// ~/Downloads/holiday"), with buttons to open its folder and to show it in the
// file manager. Hidden until there is a result; the buttons only while the
// result is on disk.
class ResultLine : public QWidget {
    Q_OBJECT

public:
    explicit ResultLine(QWidget* parent = nullptr);

    void showResult(const QString& text, const QString& path);
    QString text() const;
    QString path() const { return m_path; }
    QPushButton* openFolderButton() const { return m_openFolder; }
    QPushButton* revealButton() const { return m_reveal; }

private:
    void openFolder() const;
    void reveal() const;

    QLabel* m_text;
    QPushButton* m_openFolder;
    QPushButton* m_reveal;
    QString m_path;
};

#include "ResultLine.h"

#include "platform/StringTables.h"
#include "platform/Workspace.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ResultLine::ResultLine(QWidget* parent)
    : QWidget(parent), m_text(new QLabel(this)),
      m_openFolder(
          new QPushButton(StringTables::localized(QStringLiteral("ResultOpenFolder")), this)),
      m_reveal(new QPushButton(StringTables::localized(QStringLiteral("ResultShowInFileManager")),
                               this)) {
    setObjectName(QStringLiteral("resultLine"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_openFolder);
    layout->addWidget(m_reveal);
    connect(m_openFolder, &QPushButton::clicked, this, &ResultLine::openFolder);
    connect(m_reveal, &QPushButton::clicked, this, &ResultLine::reveal);
    hide();
}

void ResultLine::showResult(const QString& text, const QString& path) {
    m_path = path;
    m_text->setText(text);
    m_text->setToolTip(path);
    const bool onDisk = !path.isEmpty() && QFileInfo::exists(path);
    m_openFolder->setVisible(onDisk);
    m_reveal->setVisible(onDisk);
    setVisible(!text.isEmpty());
}

QString ResultLine::text() const {
    return m_text->text();
}

// A folder opens itself; a file opens the folder it is in.
void ResultLine::openFolder() const {
    const QFileInfo item(m_path);
    if (Workspace* workspace = Workspace::current())
        workspace->openFile(item.isDir() ? item.absoluteFilePath() : item.absolutePath());
}

void ResultLine::reveal() const {
    if (Workspace* workspace = Workspace::current())
        workspace->revealInFileManager(m_path);
}

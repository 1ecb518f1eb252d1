#include "UnrarProgressWindow.h"

#include "platform/StringTables.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kBarSteps = 1000;

QLabel* plainLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    // Entry and archive names come from the archive: never read them as markup.
    label->setTextFormat(Qt::PlainText);
    label->setMinimumHeight(label->fontMetrics().height());
    return label;
}

// A name with a line break would grow the fixed-size window.
QString oneLine(QString text) {
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    return text;
}

} // namespace

UnrarProgressWindow::UnrarProgressWindow(const QString& archivePath, QWidget* documentWindow)
    : QDialog(documentWindow), m_statusText(plainLabel(this)),
      m_progressionBar(new QProgressBar(this)), m_currentFile(plainLabel(this)),
      m_cancelButton(
          new QPushButton(StringTables::localized(QStringLiteral("CancelButton")), this)) {
    setObjectName(QStringLiteral("UnrarProgression"));
    setWindowTitle(QFileInfo(archivePath).fileName());
    if (documentWindow != nullptr)
        setWindowModality(Qt::WindowModal);

    m_statusText->setObjectName(QStringLiteral("statusText"));
    QFont bold = m_statusText->font();
    bold.setBold(true);
    m_statusText->setFont(bold);
    m_progressionBar->setObjectName(QStringLiteral("progressionBar"));
    m_progressionBar->setMinimumWidth(kBarWidth);
    m_progressionBar->setTextVisible(false);
    m_currentFile->setObjectName(QStringLiteral("currentFile"));
    m_currentFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    // Return must not stop an extraction by accident; Escape does it on purpose.
    m_cancelButton->setAutoDefault(false);
    connect(m_cancelButton, &QPushButton::clicked, this, &UnrarProgressWindow::requestCancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_statusText);
    layout->addWidget(m_progressionBar);
    layout->addWidget(m_currentFile);
    layout->addSpacing(layout->spacing());
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

void UnrarProgressWindow::present(QWidget* activeWindow) {
    if (parentWidget() != nullptr) {
        show();
        return;
    }
    if (activeWindow != nullptr) {
        move(activeWindow->frameGeometry().topLeft() + QPoint(kCascadeOffset, kCascadeOffset));
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

void UnrarProgressWindow::setStatusText(const QString& text) {
    m_statusText->setText(text);
}

void UnrarProgressWindow::setCurrentFileText(const QString& text) {
    m_currentFileText = oneLine(text);
    m_currentFile->setToolTip(m_currentFileText);
    showElidedCurrentFile();
}

void UnrarProgressWindow::showElidedCurrentFile() {
    m_currentFile->setText(m_currentFile->fontMetrics().elidedText(
        m_currentFileText, Qt::ElideMiddle, m_currentFile->width()));
}

void UnrarProgressWindow::setIndeterminate() {
    m_progressionBar->setRange(0, 0);
}

void UnrarProgressWindow::setProgress(double fraction) {
    m_progressionBar->setRange(0, kBarSteps);
    m_progressionBar->setValue(int(std::lround(std::clamp(fraction, 0.0, 1.0) * kBarSteps)));
}

void UnrarProgressWindow::runEnded() {
    m_runEnded = true;
    m_cancelButton->setEnabled(false);
    if (m_progressionBar->maximum() == 0)
        m_progressionBar->setRange(0, kBarSteps);
}

void UnrarProgressWindow::requestCancel() {
    if (!m_runEnded)
        emit cancelRequested();
}

void UnrarProgressWindow::reject() {
    if (m_runEnded)
        QDialog::reject();
    else
        requestCancel();
}

void UnrarProgressWindow::closeEvent(QCloseEvent* event) {
    if (m_runEnded) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    requestCancel();
}

void UnrarProgressWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    showElidedCurrentFile();
}

#include "ParWindow.h"

#include "window/OutputDrawer.h"
#include "window/PARTableView.h"
#include "window/ResultLine.h"
#include "window/StatisticsPanel.h"
#include "window/StatusLine.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

ParWindow::ParWindow(QWidget* parent)
    : QMainWindow(parent), m_toolbar(new QToolBar(this)), m_fileStatus(new PARTableView(this)),
      m_par1StatisticsView(new StatisticsPanel(StatisticsPanel::Kind::Par1, this)),
      m_par2StatisticsView(new StatisticsPanel(StatisticsPanel::Kind::Par2, this)),
      m_progression(new QProgressBar(this)), m_statusLine(new StatusLine(this)),
      m_drawer(new OutputDrawer(this)), m_outputButton(new QPushButton(this)),
      m_resultLine(new ResultLine(this)) {
    m_toolbar->setObjectName(QStringLiteral("VelmoraDocToolbar3"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, m_toolbar);

    m_fileStatus->setObjectName(QStringLiteral("fileStatus"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(10, 4, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(m_fileStatus, 1);
    layout->addWidget(makeFooter());
    setCentralWidget(central);

    m_drawer->hide();
    addDockWidget(Qt::RightDockWidgetArea, m_drawer);
    resize(kDefaultWidth, kDefaultHeight);
}

// Statistics on the left; status line, progress bar and the output button on the right.
QWidget* ParWindow::makeFooter() {
    auto* footer = new QWidget(this);
    auto* grid = new QGridLayout(footer);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(24);
    grid->setVerticalSpacing(6);
    auto* statistics = new QVBoxLayout;
    statistics->setContentsMargins(0, 0, 0, 0);
    statistics->addWidget(m_par1StatisticsView);
    statistics->addWidget(m_par2StatisticsView);
    grid->addLayout(statistics, 0, 0, 2, 1, Qt::AlignLeft | Qt::AlignVCenter);

    m_statusLine->setObjectName(QStringLiteral("statusLine"));
    m_progression->setObjectName(QStringLiteral("progression"));
    m_progression->setRange(0, 100);
    m_progression->setValue(0);
    m_progression->setTextVisible(false);
    m_outputButton->setObjectName(QStringLiteral("outputButton"));
    grid->addWidget(m_statusLine, 0, 1, 1, 2);
    grid->addWidget(m_progression, 1, 1);
    grid->addWidget(m_outputButton, 1, 2);
    grid->addWidget(m_resultLine, 2, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    return footer;
}

StatisticsPanel* ParWindow::par1StatisticsView() const {
    return m_par1StatisticsView;
}

StatisticsPanel* ParWindow::par2StatisticsView() const {
    return m_par2StatisticsView;
}

void ParWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closeRequested(event);
}

void ParWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    emit resized();
}

void ParWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    emit moved();
}

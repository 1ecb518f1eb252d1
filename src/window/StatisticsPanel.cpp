#include "StatisticsPanel.h"

#include "platform/StringFormat.h"
#include "platform/StringTables.h"
#include "window/StatusTexts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>

StatisticsPanel::StatisticsPanel(Kind kind, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_layout(new QGridLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setHorizontalSpacing(8);
    m_layout->setVerticalSpacing(4);
    if (kind == Kind::Par1) {
        setObjectName(QStringLiteral("par1StatisticsView"));
        addField(0, 0, QStringLiteral("StatGoodFiles"), QStringLiteral("numGoodFiles"));
        addField(1, 0, QStringLiteral("StatCorruptFiles"), QStringLiteral("numCorruptFiles"));
        addField(0, 1, QStringLiteral("StatPxxFiles"), QStringLiteral("numPxxFiles"));
        addField(1, 1, QStringLiteral("StatMissingFiles"), QStringLiteral("numMissingFiles"));
        addField(2, 0, QStringLiteral("StatRemovedFiles"), QStringLiteral("numRemovedFiles"));
    } else {
        setObjectName(QStringLiteral("par2StatisticsView"));
        addField(0, 0, QStringLiteral("StatGoodFiles"), QStringLiteral("par2NumGoodFiles"));
        addField(1, 0, QStringLiteral("StatTotalFiles"), QStringLiteral("par2NumTotalFiles"));
        addField(0, 1, QStringLiteral("StatUnavailableBlocks"),
                 QStringLiteral("par2NumUnavailableBlocks"));
        addField(2, 0, QStringLiteral("StatMissingBlocks"), QStringLiteral("par2NumMissingBlocks"));
        addField(2, 1, QStringLiteral("StatMissingBytes"), QStringLiteral("par2NumMissingBytes"));
        addField(1, 1, QStringLiteral("StatRemovedFiles"), QStringLiteral("par2NumRemovedFiles"));
    }
    // A gap between the two pairs of columns.
    m_layout->setColumnMinimumWidth(2, 16);
    showStatistics(StatisticsRecord());
}

void StatisticsPanel::addField(int row, int pair, const QString& captionKey, const QString& field) {
    auto* caption = new QLabel(StringTables::localized(captionKey), this);
    caption->setObjectName(field + QStringLiteral("Caption"));
    auto* value = new QLabel(this);
    value->setObjectName(field);
    value->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const int column = pair * 3;
    m_layout->addWidget(caption, row, column, Qt::AlignRight | Qt::AlignVCenter);
    m_layout->addWidget(value, row, column + 1, Qt::AlignLeft | Qt::AlignVCenter);
}

void StatisticsPanel::showStatistics(const StatisticsRecord& statistics) {
    const QLocale locale;
    const auto count = [&](StatisticsRecord::Index index) {
        return locale.toString(qulonglong(statistics[index]));
    };
    const QString removedField = m_kind == Kind::Par1 ? QStringLiteral("numRemovedFiles")
                                                      : QStringLiteral("par2NumRemovedFiles");
    setValue(removedField, locale.toString(qulonglong(statistics.removedFiles)));
    showField(removedField, statistics.removedFiles > 0);
    if (m_kind == Kind::Par1) {
        setValue(QStringLiteral("numGoodFiles"), count(StatisticsRecord::IntactFiles));
        setValue(QStringLiteral("numCorruptFiles"), count(StatisticsRecord::DamagedFiles));
        setValue(QStringLiteral("numMissingFiles"), count(StatisticsRecord::MissingFiles));
        setValue(QStringLiteral("numPxxFiles"), count(StatisticsRecord::RecoveryVolumesFound));
        return;
    }
    // The blocks still needed, and the data they stand for, only matter when
    // repair is impossible.
    const qint64 missingBytes = qint64(statistics[StatisticsRecord::BlockSize]) *
                                qint64(statistics[StatisticsRecord::MissingBlocks]);
    setValue(QStringLiteral("par2NumGoodFiles"), count(StatisticsRecord::IntactFiles));
    setValue(QStringLiteral("par2NumUnavailableBlocks"),
             locale.toString(qulonglong(statistics.unavailableBlocks)));
    setValue(QStringLiteral("par2NumMissingBlocks"), count(StatisticsRecord::MissingBlocks));
    setValue(QStringLiteral("par2NumMissingBytes"), StatusTexts::SizeText(missingBytes),
             formatString(StringTables::localized(QStringLiteral("StatExactBytes")),
                          locale.toString(missingBytes)));
    setValue(QStringLiteral("par2NumTotalFiles"), count(StatisticsRecord::TotalFiles));
    const bool moreNeeded = statistics[StatisticsRecord::MissingBlocks] > 0;
    showField(QStringLiteral("par2NumMissingBlocks"), moreNeeded);
    showField(QStringLiteral("par2NumMissingBytes"), moreNeeded);
}

void StatisticsPanel::showField(const QString& field, bool shown) {
    findChild<QLabel*>(field)->setVisible(shown);
    findChild<QLabel*>(field + QStringLiteral("Caption"))->setVisible(shown);
}

QString StatisticsPanel::valueOf(const QString& field) const {
    const auto* label = findChild<QLabel*>(field);
    return label != nullptr ? label->text() : QString();
}

void StatisticsPanel::setValue(const QString& field, const QString& text, const QString& toolTip) {
    if (auto* label = findChild<QLabel*>(field)) {
        label->setText(text);
        label->setToolTip(toolTip);
    }
}

bool StatisticsPanel::isFieldShown(const QString& field) const {
    const auto* label = findChild<QLabel*>(field);
    return label != nullptr && !label->isHidden();
}

QString StatisticsPanel::toolTipOf(const QString& field) const {
    const auto* label = findChild<QLabel*>(field);
    return label != nullptr ? label->toolTip() : QString();
}

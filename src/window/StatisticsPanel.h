#pragma once

#include "document/StatisticsRecord.h"

#include <QWidget>

class QGridLayout;
class QLabel;

// The counts under the file table. A PAR 1 set shows intact, damaged and
// missing files and the recovery volumes found; a PAR 2 set shows intact and
// total files, the data blocks missing or damaged and, when repair is
// impossible, how many more recovery blocks are needed and the data they
// stand for (in human units, the exact bytes in the tooltip). Both show, once
// there are any, the files of the set moved to the trash or deleted after the
// run; the other counts are of files still there. Each value is a label
// named after its field ("numGoodFiles", "par2NumMissingBytes", ...).
class StatisticsPanel : public QWidget {
    Q_OBJECT

public:
    enum class Kind { Par1, Par2 };

    explicit StatisticsPanel(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    void showStatistics(const StatisticsRecord& statistics);
    // The text a value field shows; empty for an unknown field.
    QString valueOf(const QString& field) const;
    QString toolTipOf(const QString& field) const;
    // Whether a value field is on show (hidden ones do not apply to the set now).
    bool isFieldShown(const QString& field) const;

private:
    void addField(int row, int pair, const QString& captionKey, const QString& field);
    void setValue(const QString& field, const QString& text, const QString& toolTip = QString());
    void showField(const QString& field, bool shown);

    Kind m_kind;
    QGridLayout* m_layout;
};

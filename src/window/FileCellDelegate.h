#pragma once

#include <QStyledItemDelegate>

// Draws the file table's cells. Rows are selected as a whole, so no cell gets
// a focus frame of its own; the icon column shows its image centred at its
// natural size, without text.
class FileCellDelegate : public QStyledItemDelegate {
public:
    static constexpr int kIconSize = 16;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    void paintIcon(QPainter* painter, const QStyleOptionViewItem& option,
                   const QModelIndex& index) const;
};

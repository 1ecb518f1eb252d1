#include "FileCellDelegate.h"

#include "window/FileTableModel.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>

void FileCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    cell.state &= ~QStyle::State_HasFocus;
    if (index.column() == FileTableModel::IconColumn)
        paintIcon(painter, cell, index);
    else
        QStyledItemDelegate::paint(painter, cell, index);
}

void FileCellDelegate::paintIcon(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.icon = QIcon();
    background.text.clear();
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    if (icon.isNull())
        return;
    QRect target(0, 0, kIconSize, kIconSize);
    target.moveCenter(option.rect.center());
    icon.paint(painter, target, Qt::AlignCenter);
}

#pragma once

#include <QStyledItemDelegate>

namespace rooms
{

// Shows a column's numbers with two decimals in a list ("35.50"), as the form shows them; an empty value
// stays empty.
class RoomDecimalDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant &value, const QLocale &locale) const override;
};

} // namespace rooms

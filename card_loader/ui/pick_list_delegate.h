#pragma once
// A grid cell edited with a drop-down of offered values that also takes typed values.

#include <QStringList>
#include <QStyledItemDelegate>

class PickListDelegate : public QStyledItemDelegate {
public:
    PickListDelegate(QStringList items, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    QStringList items_;
};

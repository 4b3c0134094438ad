#include "grid_columns.h"

#include <QSqlQueryModel>
#include <QSqlRecord>

GridColumns::GridColumns(QSqlQueryModel* source, QList<GridColumn> columns, QObject* parent)
    : QIdentityProxyModel(parent), source_(source), columns_(std::move(columns)) {
    setSourceModel(source);
    // A change in fields the grid does not show cannot be mapped cell by cell: repaint the
    // rows it touched instead.
    disconnect(source, &QAbstractItemModel::dataChanged, this, nullptr);
    connect(source, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (columns_.isEmpty())
                    return;
                Q_EMIT dataChanged(index(topLeft.row(), 0),
                                   index(bottomRight.row(), int(columns_.size()) - 1));
            });
}

int GridColumns::sourceColumn(int column) const {
    return source_->record().indexOf(columns_.at(column).field);
}

int GridColumns::columnOf(const QString& field) const {
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int GridColumns::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QModelIndex GridColumns::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columns_.size())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex GridColumns::mapToSource(const QModelIndex& proxyIndex) const {
    if (!proxyIndex.isValid())
        return QModelIndex();
    return source_->index(proxyIndex.row(), sourceColumn(proxyIndex.column()));
}

QModelIndex GridColumns::mapFromSource(const QModelIndex& sourceIndex) const {
    if (!sourceIndex.isValid())
        return QModelIndex();
    const int column = columnOf(source_->record().fieldName(sourceIndex.column()));
    return column < 0 ? QModelIndex() : createIndex(sourceIndex.row(), column);
}

QVariant GridColumns::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return QVariant();
    const GridColumn& c = columns_.at(index.column());
    if (role == Qt::BackgroundRole && c.background.isValid())
        return c.background;
    if (c.checkBox) {
        if (role == Qt::CheckStateRole)
            return QIdentityProxyModel::data(index, Qt::EditRole).toInt() != 0 ? Qt::Checked
                                                                               : Qt::Unchecked;
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return QVariant();
    }
    return QIdentityProxyModel::data(index, role);
}

QVariant GridColumns::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columns_.size())
            return QVariant();
        if (role == Qt::DisplayRole)
            return columns_[section].title;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(columns_[section].titleAlignment);
        return QVariant();
    }
    return QIdentityProxyModel::headerData(section, orientation, role);
}

Qt::ItemFlags GridColumns::flags(const QModelIndex& index) const {
    if (index.isValid() && columns_.at(index.column()).checkBox)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return QIdentityProxyModel::flags(index);
}

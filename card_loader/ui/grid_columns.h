#pragma once
// Which fields of a query a grid shows, in which order and under which titles, as the design
// of a data-bound grid states its columns. The query itself keeps all its fields.

#include <QColor>
#include <QIdentityProxyModel>
#include <QList>

class QSqlQueryModel;

struct GridColumn {
    GridColumn(QString field_, QString title_, QColor background_ = QColor(),
               Qt::Alignment titleAlignment_ = Qt::AlignLeft | Qt::AlignVCenter,
               bool checkBox_ = false)
        : field(std::move(field_)), title(std::move(title_)), background(background_),
          titleAlignment(titleAlignment_), checkBox(checkBox_) {}

    QString field;
    QString title;
    QColor background; // invalid: the grid's own
    Qt::Alignment titleAlignment;
    bool checkBox; // a true/false field shown as a check box, not edited as text
};

class GridColumns : public QIdentityProxyModel {
public:
    GridColumns(QSqlQueryModel* source, QList<GridColumn> columns, QObject* parent);

    // The column showing field, -1 when none does.
    int columnOf(const QString& field) const;
    const GridColumn& column(int column) const { return columns_.at(column); }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int sourceColumn(int column) const;

    QSqlQueryModel* source_;
    QList<GridColumn> columns_;
};

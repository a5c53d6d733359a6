#pragma once
// The goods table as the page's grid shows it: column 0 is the fixed, empty "№" column, columns
// 1 to 6 the six cells of each row. It follows every change of the table it shows.
#include <QAbstractTableModel>

#include "goods/goods_table.h"

namespace tarnis::goods {

class GoodsTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit GoodsTableModel(GoodsTable& table, QObject* parent = nullptr);
  ~GoodsTableModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  GoodsTable& table_;
};

}  // namespace tarnis::goods

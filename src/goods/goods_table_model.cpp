#include "goods/goods_table_model.h"

#include <QFont>

#include "ui/qt_text.h"

namespace tarnis::goods {

GoodsTableModel::GoodsTableModel(GoodsTable& table, QObject* parent) : QAbstractTableModel(parent), table_(table) {
  table_.SetObserver([this](int first, int last) {
    emit dataChanged(index(first, 0), index(last, kGoodsColumnCount));
  });
}

GoodsTableModel::~GoodsTableModel() { table_.SetObserver({}); }

int GoodsTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kGoodsRecordCount;
}

int GoodsTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kGoodsColumnCount + 1;
}

QVariant GoodsTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const RecordState state = table_.state(index.row());
  // A record not on the device: "*" edited, "!" not written in the margin, and its code in bold.
  if (role == Qt::FontRole && index.column() == 1 && state != RecordState::OnDevice) {
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  if (role != Qt::DisplayRole) return {};
  if (index.column() == 0) {
    if (state == RecordState::Edited) return QStringLiteral("*");
    return state == RecordState::NotWritten ? QStringLiteral("!") : QVariant();
  }
  return ui::FromCp1251(table_.row(index.row()).cell(static_cast<GoodsColumn>(index.column() - 1)));
}

QVariant GoodsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  if (section == 0) return QStringLiteral("№");
  return ui::FromUtf8(GoodsColumnTitle(static_cast<GoodsColumn>(section - 1)));
}

}  // namespace tarnis::goods

#include "wizard/grid_page_frame.h"

#include <QCheckBox>
#include <QPushButton>

namespace tarnis::wizard {

GridPageFrame::GridPageFrame(const QString& object_name, WizardContext& context, QWidget* parent)
    : ContentPageFrame(object_name, "Далее >>>", context.single_page, parent), context_(context) {
  CheckBox1 = new QCheckBox("Текущий", this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setChecked(true);
  CheckBox1->setGeometry(8, kActionRowTop + 3, 98, 20);
  BitBtn3 = new QPushButton("Очистить поля", this);
  BitBtn3->setObjectName("BitBtn3");
  BitBtn3->setGeometry(342, kActionRowTop, 112, 25);
}

void GridPageFrame::PlaceGrid(ItemPage& page, const std::vector<GridColumn>& columns, int top) {
  page_ = &page;
  StringGrid1 = new CellGridWidget(page.grid(), columns, this);
  StringGrid1->setGeometry(4, top, StringGrid1->FittingWidth(), kActionRowTop - 6 - top);
  connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, [this] { StringGrid1DblClick(); });
  connect(BitBtn1, &QPushButton::clicked, this, &GridPageFrame::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &GridPageFrame::BitBtn2Click);
  connect(BitBtn3, &QPushButton::clicked, this, &GridPageFrame::BitBtn3Click);
}

void GridPageFrame::FillPage() {
  page_->Fill();
  ApplySinglePageRule();
}

void GridPageFrame::BitBtn1Click() { page_->Read(CheckBox1->isChecked(), StringGrid1->selected_row()); }

void GridPageFrame::BitBtn2Click() { page_->Write(CheckBox1->isChecked(), StringGrid1->selected_row()); }

void GridPageFrame::BitBtn3Click() { page_->Clear(); }

}  // namespace tarnis::wizard

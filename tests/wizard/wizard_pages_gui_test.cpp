#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "wizard/cell_grid_widget.h"
#include "wizard/data_oper_frame.h"
#include "wizard/dco_frame.h"
#include "wizard/kls_frame.h"
#include "wizard/kls_frame2.h"
#include "wizard/usl_frame.h"
#include "wizard_gui_support.h"

namespace tarnis::wizard {
namespace {

class WizardPagesTest : public WizardTest {
 protected:
  void SetUp() override { Open(false, 0); }

  // Double-clicks cell (row, column) of grid as the user would.
  static void DoubleClick(CellGridWidget* grid, int row, int column) {
    grid->SelectCell(row, column);
    emit grid->cellDoubleClicked(row - 1, column);
  }
};

TEST_F(WizardPagesTest, GridsCarryTheirColumnsAndHeaders) {
  CellGridWidget* operators = wizard->oper_frame->StringGrid1;
  EXPECT_EQ(operators->rowCount(), 32);
  EXPECT_EQ(operators->columnWidth(1), 125);
  EXPECT_EQ(operators->columnWidth(3), 100);
  EXPECT_EQ(operators->horizontalHeaderItem(4)->text(), "Дост.");
  EXPECT_EQ(operators->rowHeight(0), 18);
  CellGridWidget* services = wizard->usl_frame->StringGrid1;
  EXPECT_EQ(services->rowCount(), 99);
  EXPECT_EQ(services->columnWidth(2), 175);
  EXPECT_EQ(services->item(98, 2)->text(), "УСЛУГА 99 - СТРОКА 2");
  CellGridWidget* requisites = wizard->kls_frame->StringGrid1;
  EXPECT_EQ(requisites->columnCount(), 5);
  EXPECT_EQ(requisites->columnWidth(4), 65);
  EXPECT_EQ(requisites->horizontalHeaderItem(3)->text(), "Строка 3");
  CellGridWidget* cliche = wizard->kls_frame2->StringGrid1;
  EXPECT_EQ(cliche->columnWidth(1), 400);
  EXPECT_EQ(cliche->horizontalHeaderItem(1)->text(), "Значение");
  EXPECT_EQ(cliche->item(7, 1)->text(), "СТРОКА КЛИШЕ 7");
  for (CellGridWidget* grid : {operators, services, requisites, cliche})
    EXPECT_LE(grid->geometry().right(), WizardPageFrame::kWidth) << grid->parent()->objectName().toStdString();
}

TEST_F(WizardPagesTest, FillingAPageRestoresColumnsTheUserDragged) {
  CellGridWidget* operators = wizard->oper_frame->StringGrid1;
  CellGridWidget* requisites = wizard->kls_frame->StringGrid1;
  CellGridWidget* cliche = wizard->kls_frame2->StringGrid1;
  operators->setColumnWidth(1, 60);
  requisites->setColumnWidth(0, 90);
  cliche->setColumnWidth(1, 150);

  wizard->oper_frame->FillPage();
  wizard->kls_frame->FillPage();
  wizard->kls_frame2->FillPage(2);

  EXPECT_EQ(operators->columnWidth(1), 125);
  EXPECT_EQ(requisites->columnWidth(0), 20);
  EXPECT_EQ(cliche->columnWidth(1), 400);
  EXPECT_EQ(operators->horizontalHeaderItem(2)->text(), "Ф.И.О.");
}

TEST_F(WizardPagesTest, EveryTextFitsItsPage) {
  for (int index = 0; index < kPageCount; ++index) {
    WizardPageFrame* page = wizard->Page(static_cast<WizardPage>(index));
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      const QRect area = child->geometry();
      EXPECT_TRUE(page->rect().contains(area)) << page->objectName().toStdString() << " "
                                               << child->metaObject()->className();
      if (auto* label = qobject_cast<QLabel*>(child)) {
        EXPECT_LE(label->sizeHint().width(), area.width()) << label->text().toStdString();
      }
    }
  }
}

TEST_F(WizardPagesTest, TickingWideThenCancelLeavesCellAndRecord) {
  const std::string before = configuration.operators[1].position.Text().data();
  WhenModal([this](QDialog&) {
    line_editor.Edit1->setText("ДРУГОЙ ТЕКСТ");
    line_editor.CheckBox1->setChecked(true);
    line_editor.Button2->click();
  });
  DoubleClick(wizard->oper_frame->StringGrid1, 2, 1);
  EXPECT_EQ(std::string(configuration.operators[1].position.Text()), before);
  EXPECT_EQ(wizard->oper_frame->StringGrid1->item(1, 1)->text(), "ОПЕРАТОР 2");
}

TEST_F(WizardPagesTest, AppliedEditsReachCellAndRecord) {
  WhenModal([this](QDialog&) {
    EXPECT_EQ(line_editor.Edit1->text(), "УСЛУГА 3 - СТРОКА 2");
    line_editor.Edit1->setText("МОЙКА ПОСУДЫ И КУХОННОЙ");
    line_editor.CheckBox1->setChecked(true);
    line_editor.Button1->click();
  });
  DoubleClick(wizard->usl_frame->StringGrid1, 3, 2);
  EXPECT_EQ(configuration.services[2].lines[1].Text(), Cp("1МОЙКА ПОСУДЫ"));
  EXPECT_EQ(wizard->usl_frame->StringGrid1->item(2, 2)->text(), "МОЙКА ПОСУДЫ И КУХОННОЙ");

  WhenModal([this](QDialog&) {
    EXPECT_EQ(number_editor.Edit1->text(), "4");
    number_editor.Edit1->setText("7777");
    number_editor.Button1->click();
  });
  DoubleClick(wizard->oper_frame->StringGrid1, 4, 3);
  EXPECT_EQ(configuration.operators[3].password.Text(), "7777");
}

// Enter and F2 open a cell's editor as a double-click does, on every page's grid; Enter in the
// editor applies whatever control has the focus, Escape cancels.
TEST_F(WizardPagesTest, EnterOrF2OpensTheEditorAndTabLeavesTheGrid) {
  wizard->activateWindow();
  QApplication::setActiveWindow(wizard.get());
  CellGridWidget* requisites = wizard->kls_frame->StringGrid1;
  wizard->ShowPage(wizard->kls_frame);  // "Дополнительные реквизиты"
  QApplication::processEvents();
  requisites->SelectCell(2, 1);
  requisites->setFocus();
  const QString before = requisites->item(1, 1)->text();
  WhenModal([this](QDialog&) {
    line_editor.Edit1->setText("ИЗМЕНЕНО");
    QTest::keyClick(line_editor.Edit1, Qt::Key_Escape);
  });
  QTest::keyClick(requisites, Qt::Key_F2);
  EXPECT_EQ(requisites->item(1, 1)->text(), before);
  WhenModal([this](QDialog&) {
    line_editor.Edit1->setText("ИЗМЕНЕНО");
    line_editor.CheckBox1->setFocus();
    QTest::keyClick(line_editor.CheckBox1, Qt::Key_Return);
  });
  QTest::keyClick(requisites, Qt::Key_Return);
  EXPECT_EQ(requisites->item(1, 1)->text(), "ИЗМЕНЕНО");

  requisites->setFocus();
  QTest::keyClick(requisites, Qt::Key_Tab);
  EXPECT_FALSE(requisites->hasFocus());
  EXPECT_EQ(requisites->selected_row(), 2) << "Tab walks no cells";
  EXPECT_EQ(requisites->selected_column(), 1);
}

TEST_F(WizardPagesTest, NumberAndAccessColumnsOpenNoEditor) {
  bool editor_opened = false;
  const auto watch = [&] {
    QTimer::singleShot(0, [&] {
      if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != wizard.get()) {
        editor_opened = true;
        modal->close();
      }
    });
  };
  for (const auto& [grid, column] : {std::pair{wizard->usl_frame->StringGrid1, 0},
                                     std::pair{wizard->usl_frame->StringGrid1, 3},
                                     std::pair{wizard->kls_frame->StringGrid1, 4},
                                     std::pair{wizard->oper_frame->StringGrid1, 4},
                                     std::pair{wizard->kls_frame2->StringGrid1, 0}}) {
    watch();
    DoubleClick(grid, 1, column);
    QApplication::processEvents();
  }
  EXPECT_FALSE(editor_opened);
}

TEST_F(WizardPagesTest, DocumentNameWidthCutsTheStoredTextOnly) {
  configuration.document_name.Set(Cp("1КВИТАНЦИЯ"));
  wizard->dco_frame->FillPage();
  EXPECT_TRUE(wizard->dco_frame->CheckBox1->isChecked());
  EXPECT_EQ(configuration.document_name.Text(), Cp("1КВИТАНЦИЯ"));

  wizard->dco_frame->CheckBox1->setChecked(false);
  wizard->dco_frame->Edit1->setText("КВИТАНЦИЯ НА ОПЛАТУ УСЛ");
  EXPECT_EQ(configuration.document_name.Text(), Cp("0КВИТАНЦИЯ НА ОПЛАТУ УСЛ"));
  wizard->dco_frame->CheckBox1->click();
  EXPECT_EQ(configuration.document_name.Text(), Cp("1КВИТАНЦИЯ НА"));
  EXPECT_EQ(wizard->dco_frame->Edit1->text(), "КВИТАНЦИЯ НА ОПЛАТУ УСЛ");
  wizard->dco_frame->CheckBox1->click();
  EXPECT_EQ(configuration.document_name.Text(), Cp("0КВИТАНЦИЯ НА ОПЛАТУ УСЛ"));

  wizard->dco_frame->Edit1->clear();
  TypeText(wizard->dco_frame->Edit1, "чек");
  EXPECT_EQ(configuration.document_name.Text(), Cp("0ЧЕК"));
}

TEST_F(WizardPagesTest, ChoosingClicheTwoActsOnItAtTheNextWrite) {
  configuration.cliches[1].lines[0].Set(Cp("0ВТОРОЕ КЛИШЕ"));
  wizard->kls_frame2->ComboBox1->setCurrentIndex(1);
  EXPECT_EQ(wizard->kls_frame2->StringGrid1->item(0, 1)->text(), "СТРОКА КЛИШЕ 0") << "the list alone changes nothing";
  wizard->kls_frame2->BitBtn2->click();
  EXPECT_EQ(DeviceText(4, 2, 1), Device("0ВТОРОЕ КЛИШЕ"));
  EXPECT_EQ(wizard->kls_frame2->StringGrid1->item(0, 1)->text(), "ВТОРОЕ КЛИШЕ");
  EXPECT_EQ(wizard->kls_frame2->ComboBox1->currentIndex(), 1);
}

TEST_F(WizardPagesTest, TekushchiyChoosesTheSelectedRowOrAll) {
  wizard->kls_frame->StringGrid1->SelectCell(6, 2);
  wizard->kls_frame->BitBtn2->click();
  EXPECT_EQ(Requests(), 3u);
  wizard->kls_frame->CheckBox1->setChecked(false);
  wizard->kls_frame->BitBtn3->click();
  EXPECT_EQ(configuration.requisites[0].lines[0].Text(), "");
  EXPECT_EQ(wizard->kls_frame->StringGrid1->item(0, 1)->text(), "");
  wizard->kls_frame->BitBtn2->click();
  EXPECT_EQ(Requests(), 3u + 24);
  EXPECT_EQ(DeviceText(3, 1, 1), "");
}

}  // namespace
}  // namespace tarnis::wizard

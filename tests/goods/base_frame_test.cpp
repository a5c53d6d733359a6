#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFont>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "emulated_device.h"
#include "goods/base_frame.h"
#include "goods/goods_item_dialog.h"
#include "link/device_charset.h"
#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"

namespace tarnis::goods {
namespace {

std::string Cp(const char* utf8) { return *Utf8ToCp1251(utf8); }

class BaseFrameTest : public ::testing::Test {
 protected:
  BaseFrameTest() : frame_(device_.link(), ui_) {}

  QString Cell(int code, int column) { return frame_.StringGrid1->model()->index(code, column).data().toString(); }
  void Select(int code) { frame_.StringGrid1->setCurrentIndex(frame_.StringGrid1->model()->index(code, 2)); }
  void ShowActive() {
    frame_.show();
    frame_.activateWindow();
    QApplication::setActiveWindow(&frame_);
    QApplication::processEvents();
  }
  // Runs `act` on the editor once its modal loop is running.
  void WhileEditorRuns(std::function<void(TForm8&)> act) {
    QTimer::singleShot(0, &frame_, [this, act] { act(frame_.editor()); });
  }
  std::size_t GoodsRequests() {
    return device_.WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Goods); });
  }

  test::EmulatedDevice device_;
  test::RecordingUserInterface ui_;
  TBaseFrame frame_;
};

TEST_F(BaseFrameTest, StartsWithEmptyRowsHeadersWidthsAndDeviceControlsOff) {
  QTableView* grid = frame_.StringGrid1;
  ASSERT_EQ(grid->model()->rowCount(), 1001);
  ASSERT_EQ(grid->model()->columnCount(), 7);
  const QStringList headers = {"№", "Код товара", "Наименование", "Тип. шрифта", "Штрих-код", "Секция", "Цена"};
  const int widths[] = {20, 75, 250, 80, 100, 55, 85};
  for (int column = 0; column < 7; ++column) {
    EXPECT_EQ(grid->model()->headerData(column, Qt::Horizontal).toString(), headers[column]);
    EXPECT_EQ(grid->columnWidth(column), widths[column]);
  }
  EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), 18);
  EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
  for (const int code : {0, 1000}) {
    EXPECT_EQ(Cell(code, 0), "");
    EXPECT_EQ(Cell(code, 1), QString::number(code));
    EXPECT_EQ(Cell(code, 2), "");
    EXPECT_EQ(Cell(code, 3), "узкий");
    EXPECT_EQ(Cell(code, 4), "0");
    EXPECT_EQ(Cell(code, 5), "0");
    EXPECT_EQ(Cell(code, 6), "0.00");
  }
  EXPECT_EQ(frame_.selected_code(), 0);

  const std::pair<QPushButton*, const char*> captions[] = {
      {frame_.BitBtn1, "Выгрузить из КМ"}, {frame_.BitBtn2, "Загрузить в КМ"},     {frame_.BitBtn3, "Сохранить в файл"},
      {frame_.BitBtn4, "Загрузить из файла"}, {frame_.BitBtn5, "Очистить поля"}, {frame_.BitBtn6, "Очистить базу в КМ"},
      {frame_.BitBtn7, "Экспорт CSV..."},  {frame_.BitBtn8, "Импорт CSV..."},     {frame_.Button1, "Выход"}};
  for (const auto& [button, caption] : captions) EXPECT_EQ(button->text(), QString::fromUtf8(caption));
  EXPECT_EQ(frame_.CheckBox1->text(), "Текущий");
  EXPECT_EQ(frame_.CheckBox2->text(), "Диапазон");
  EXPECT_EQ(frame_.Label3->text(), "с");
  EXPECT_EQ(frame_.Label4->text(), "по");
  EXPECT_EQ(frame_.Edit1->text(), "0");
  EXPECT_EQ(frame_.Edit2->text(), "0");
  EXPECT_EQ(frame_.Label1->text(), "База товаров");

  for (QWidget* off : std::initializer_list<QWidget*>{frame_.BitBtn1, frame_.BitBtn2, frame_.BitBtn6, frame_.CheckBox1,
                                                      frame_.CheckBox2, frame_.Label3, frame_.Edit1, frame_.Label4,
                                                      frame_.Edit2})
    EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
  EXPECT_TRUE(frame_.BitBtn3->isEnabled());
  EXPECT_TRUE(frame_.BitBtn5->isEnabled());

  frame_.EnableDeviceControls();
  for (QWidget* on : std::initializer_list<QWidget*>{frame_.BitBtn1, frame_.BitBtn2, frame_.BitBtn6, frame_.CheckBox1,
                                                     frame_.CheckBox2})
    EXPECT_TRUE(on->isEnabled());
  EXPECT_FALSE(frame_.Edit1->isEnabled());
  frame_.CheckBox2->click();
  EXPECT_TRUE(frame_.Edit1->isEnabled());
  EXPECT_TRUE(frame_.Label4->isEnabled());
  frame_.CheckBox2->click();
  EXPECT_FALSE(frame_.Edit2->isEnabled());
}

TEST_F(BaseFrameTest, ReadButtonWithNeitherBoxReadsAllCodesIntoTheGrid) {
  device_.WithDevice([](emulator::Km07Device& d) {
    d.state().goods[999] = {link::ToDeviceText(Cp("1ВОДА")), 46, 2, 5};
  });
  frame_.EnableDeviceControls();
  QTest::mouseClick(frame_.BitBtn1, Qt::LeftButton);
  EXPECT_EQ(GoodsRequests(), 1001u);
  EXPECT_EQ(Cell(999, 2), "ВОДА");
  EXPECT_EQ(Cell(999, 3), "широкий");
  EXPECT_EQ(Cell(999, 6), "0.05");
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Прочитано удачно..."});
}

// Edited rows carry a margin mark and a bold code, the count shows beside the boxes, and
// "Изменённые" writes just them; a read of all asks before it replaces unsaved edits.
TEST_F(BaseFrameTest, ChangedBoxWritesTheMarkedRowsOnly) {
  frame_.EnableDeviceControls();
  EXPECT_EQ(frame_.ChangedCheckBox->text(), "Изменённые");
  EXPECT_TRUE(frame_.ChangedCheckBox->isEnabled());
  EXPECT_EQ(frame_.ChangedCountLabel->text(), "");
  frame_.table().SetCell(3, GoodsColumn::Price, "1.00");
  frame_.table().SetCell(700, GoodsColumn::Section, "2");
  EXPECT_EQ(Cell(3, 0), "*");
  EXPECT_TRUE(frame_.StringGrid1->model()->index(3, 1).data(Qt::FontRole).value<QFont>().bold());
  EXPECT_FALSE(frame_.StringGrid1->model()->index(4, 1).data(Qt::FontRole).value<QFont>().bold());
  EXPECT_EQ(frame_.ChangedCountLabel->text(), "изменено: 2");

  ui_.answers = {ui::Answer::No, ui::Answer::No};
  QTest::mouseClick(frame_.BitBtn1, Qt::LeftButton);
  EXPECT_EQ(GoodsRequests(), 0u);
  frame_.ChangedCheckBox->setChecked(true);
  QTest::mouseClick(frame_.BitBtn1, Qt::LeftButton);  // a read ignores the box: still all, still asks
  EXPECT_EQ(GoodsRequests(), 0u);
  QTest::mouseClick(frame_.BitBtn2, Qt::LeftButton);
  EXPECT_EQ(GoodsRequests(), 2u);
  EXPECT_EQ(Cell(3, 0), "");
  EXPECT_EQ(frame_.ChangedCountLabel->text(), "");
  const std::string question = "Несохранённые изменения будут заменены данными из КМ. Продолжить?";
  EXPECT_EQ(ui_.MessageTexts(), (std::vector<std::string>{question, question, "Записано изменений: 2."}));
}

TEST_F(BaseFrameTest, CurrentBoxReadsTheSelectedRowOnly) {
  frame_.EnableDeviceControls();
  Select(56);
  frame_.CheckBox1->setChecked(true);
  frame_.CheckBox2->setChecked(true);
  frame_.Edit2->setText("");
  QTest::mouseClick(frame_.BitBtn1, Qt::LeftButton);
  EXPECT_EQ(GoodsRequests(), 1u);
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Прочитано удачно..."});
}

TEST_F(BaseFrameTest, EraseButtonIgnoresRangeAndCurrentAndLeavesTheTable) {
  frame_.EnableDeviceControls();
  frame_.CheckBox1->setChecked(true);
  frame_.CheckBox2->click();
  frame_.Edit1->setText("1");
  frame_.Edit2->setText("2");
  frame_.table().SetRow(4, {"4", Cp("ТОВАР"), Cp("широкий"), "1", "1", "1.00"});
  const GoodsRow before = frame_.table().row(4);
  ui_.answers = {ui::Answer::Yes};
  QTest::mouseClick(frame_.BitBtn6, Qt::LeftButton);
  EXPECT_EQ(GoodsRequests(), 1001u);
  EXPECT_EQ(frame_.table().row(4), before);
  EXPECT_EQ(ui_.MessageTexts(),
            (std::vector<std::string>{"Вы действительно хотите удалить базу из КМ?", "База очищена..."}));
}

TEST_F(BaseFrameTest, EmptyRangeEndGetsTheFocus) {
  ShowActive();
  frame_.EnableDeviceControls();
  frame_.CheckBox2->click();
  frame_.Edit2->clear();
  QTest::mouseClick(frame_.BitBtn2, Qt::LeftButton);
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Не задан конец диапазона... "});
  EXPECT_FALSE(ui_.wait_visible);
  EXPECT_TRUE(frame_.Edit2->hasFocus());
  EXPECT_EQ(GoodsRequests(), 0u);
}

TEST_F(BaseFrameTest, RangeFieldsTakeDigitsOnly) {
  frame_.EnableDeviceControls();
  frame_.CheckBox2->click();
  frame_.Edit1->clear();
  QTest::keyClicks(frame_.Edit1, "1%2'a3");
  EXPECT_EQ(frame_.Edit1->text(), "123");
}

TEST_F(BaseFrameTest, EditorAppliedOnRow57SetsCode56AndNormalisesThePrice) {
  frame_.table().SetRow(56, {"", Cp("СТАРОЕ"), Cp("узкий"), "", "3", "1.00"});
  Select(56);
  std::string barcode_shown;
  WhileEditorRuns([&](TForm8& editor) {
    barcode_shown = editor.Edit2->text().toStdString();
    editor.Edit1->clear();
    QTest::keyClicks(editor.Edit1, "tea");
    QTest::sendKeyEvent(QTest::Click, editor.Edit1, Qt::Key_unknown, QString::fromUtf8("ж"), Qt::NoModifier);
    EXPECT_EQ(editor.NameNotice->text(), "");
    QTest::sendKeyEvent(QTest::Click, editor.Edit1, Qt::Key_unknown, QString::fromUtf8("ё"), Qt::NoModifier);
    EXPECT_EQ(editor.NameNotice->text(), QString::fromUtf8("Ё будет записана как Е"));
    QTest::keyClick(editor.Edit1, Qt::Key_Backspace);
    EXPECT_EQ(editor.NameNotice->text(), "");
    editor.CheckBox1->setChecked(true);
    editor.Edit4->clear();
    QTest::keyClicks(editor.Edit4, "12.5.x");
    QTest::mouseClick(editor.Button1, Qt::LeftButton);
  });
  frame_.StringGrid1DblClick();
  EXPECT_EQ(barcode_shown, "0");
  EXPECT_EQ(frame_.table().row(56), (GoodsRow{"56", Cp("TEAЖ"), Cp("широкий"), "0", "3", "12.50"}));
  EXPECT_EQ(Cell(56, 1), "56");
  EXPECT_EQ(Cell(56, 6), "12.50");
}

// A comma typed or pasted into the price is its decimal point, never a dropped character that
// would make the price a hundred times larger; a comma that may group thousands is refused.
TEST_F(BaseFrameTest, CommaInThePriceIsTheDecimalPointTypedOrPasted) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("comma_test_" + std::to_string(::getpid()) + ".base")).string();
  for (const bool paste : {false, true}) {
    frame_.table().SetRow(4, {"4", Cp("ТОВАР"), Cp("узкий"), "46", "1", "1.00"});
    Select(4);
    WhileEditorRuns([&](TForm8& editor) {
      editor.Edit4->clear();
      if (paste) {
        QApplication::clipboard()->setText("89,90");
        // Ctrl+V as a keyboard sends it: the key types the control character, not "v".
        QTest::sendKeyEvent(QTest::Click, editor.Edit4, Qt::Key_V, QString(QChar(0x16)), Qt::ControlModifier);
      } else {
        QTest::keyClicks(editor.Edit4, "89,9,0");
      }
      EXPECT_EQ(editor.Edit4->text(), "89,90");
      // Apply; a refused price would keep the editor open, so that ends in a cancel.
      QTest::mouseClick(editor.Button1, Qt::LeftButton);
      if (editor.isVisible()) QTest::mouseClick(editor.Button2, Qt::LeftButton);
    });
    frame_.StringGrid1DblClick();
    EXPECT_EQ(frame_.table().row(4).price, "89.90") << paste;
    ui_.file_choices.push_back(path);
    QTest::mouseClick(frame_.BitBtn3, Qt::LeftButton);
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto price = static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[4 * 40 + 36])) |
                       static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[4 * 40 + 37])) << 8;
    EXPECT_EQ(price, 8990u);
  }
  std::filesystem::remove(path);

  for (const char* ambiguous : {"1,234", "1,234.50"}) {
    ui_.messages.clear();
    WhileEditorRuns([&](TForm8& editor) {
      editor.Edit4->setText(ambiguous);
      QTest::mouseClick(editor.Button1, Qt::LeftButton);
      EXPECT_TRUE(editor.isVisible()) << ambiguous;
      QTest::mouseClick(editor.Button2, Qt::LeftButton);
    });
    frame_.StringGrid1DblClick();
    EXPECT_EQ(frame_.table().row(4).price, "89.90") << ambiguous;
    EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Неккоректное значение цены!\nВозможно неккоректный разделитель!"});
  }
}

// The keyboard reaches the editor: Enter or F2 on the grid opens it, Enter in it applies from
// any control, Escape cancels; Tab leaves the grid.
TEST_F(BaseFrameTest, GridKeysOpenTheEditorAndTabLeavesTheGrid) {
  ShowActive();
  Select(9);
  frame_.StringGrid1->setFocus();
  WhileEditorRuns([](TForm8& editor) {
    editor.Edit1->setText("ОТМЕНЕНО");
    QTest::keyClick(editor.Edit1, Qt::Key_Escape);
  });
  QTest::keyClick(frame_.StringGrid1, Qt::Key_Return);
  EXPECT_FALSE(frame_.editor().applied());
  EXPECT_EQ(frame_.table().row(9), EmptyGoodsRow(9));

  WhileEditorRuns([](TForm8& editor) {
    editor.Edit1->setText("ЧАЙ");
    editor.CheckBox1->setFocus();
    QTest::keyClick(editor.CheckBox1, Qt::Key_Enter, Qt::KeypadModifier);
    if (editor.isVisible()) editor.Button2->click();
  });
  QTest::keyClick(frame_.StringGrid1, Qt::Key_F2);
  EXPECT_EQ(frame_.table().row(9).name, Cp("ЧАЙ"));

  frame_.StringGrid1->setFocus();
  QTest::keyClick(frame_.StringGrid1, Qt::Key_Tab);
  EXPECT_FALSE(frame_.StringGrid1->hasFocus());
  EXPECT_EQ(frame_.StringGrid1->currentIndex().row(), 9);
}

// The typing limits (13 barcode digits, 12 price characters) must not cut what a row holds: the
// device keeps 48-bit barcodes and a file's price may carry leading zeros.
TEST_F(BaseFrameTest, EditorKeepsLongerValuesFromTheRowAndLimitsOnlyTyping) {
  const GoodsRow stored{"7", Cp("ЧАЙ"), Cp("узкий"), "281474976710655", "3", "12.34"};
  frame_.table().SetRow(7, stored);
  Select(7);
  WhileEditorRuns([&](TForm8& editor) { QTest::mouseClick(editor.Button1, Qt::LeftButton); });
  frame_.StringGrid1DblClick();
  EXPECT_EQ(frame_.table().row(7), stored);

  frame_.table().SetRow(7, {"7", Cp("ЧАЙ"), Cp("узкий"), "281474976710655", "3", "0000000012.34"});
  WhileEditorRuns([&](TForm8& editor) {
    editor.Edit2->setCursorPosition(15);
    QTest::keyClicks(editor.Edit2, "9");  // no room for a 16th digit
    QTest::mouseClick(editor.Button1, Qt::LeftButton);
  });
  frame_.StringGrid1DblClick();
  EXPECT_EQ(frame_.table().row(7).barcode, "281474976710655");
  EXPECT_EQ(frame_.table().row(7).price, "12.34");

  // Once the user shortens the text, typing is held to the limit again.
  TForm8& editor = frame_.editor();
  editor.LoadFrom(stored);
  editor.Edit2->setCursorPosition(15);
  QTest::keyClick(editor.Edit2, Qt::Key_Backspace);
  QTest::keyClick(editor.Edit2, Qt::Key_Backspace);
  QTest::keyClick(editor.Edit2, Qt::Key_Backspace);
  QTest::keyClicks(editor.Edit2, "5678");
  EXPECT_EQ(editor.Edit2->text(), "2814749767105");
}

TEST_F(BaseFrameTest, EditorRefusalsKeepItOpenAndCancelLeavesTheRow) {
  Select(3);
  const GoodsRow before = frame_.table().row(3);
  std::vector<bool> visible_after_refusal;
  WhileEditorRuns([&](TForm8& editor) {
    editor.Edit4->setText("1000000000");
    QTest::mouseClick(editor.Button1, Qt::LeftButton);
    visible_after_refusal.push_back(editor.isVisible());
    editor.Edit4->setText("1");
    editor.Edit3->setText("300");
    QTest::mouseClick(editor.Button1, Qt::LeftButton);
    visible_after_refusal.push_back(editor.isVisible());
    QTest::mouseClick(editor.Button2, Qt::LeftButton);
  });
  frame_.StringGrid1DblClick();
  EXPECT_EQ(visible_after_refusal, (std::vector<bool>{true, true}));
  EXPECT_FALSE(frame_.editor().applied());
  EXPECT_EQ(frame_.table().row(3), before);
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[0].text, "Значение параметра \"Цена\" превышает разрядность!");
  EXPECT_EQ(ui_.messages[0].caption, "Ошибка...");
  EXPECT_EQ(ui_.messages[0].icon, ui::Icon::None);
  EXPECT_EQ(ui_.messages[1].text, "Значение параметра \"Секция\" не может быть больше 255!");
}

TEST_F(BaseFrameTest, EditorClearFieldsAndLimits) {
  TForm8& editor = frame_.editor();
  EXPECT_EQ(editor.windowTitle(), "Редактирование параметров...");
  EXPECT_EQ(editor.size(), QSize(402, 206));
  EXPECT_EQ(editor.Edit1->maxLength(), 24);
  EXPECT_EQ(editor.Edit2->maxLength(), 13);
  EXPECT_EQ(editor.Edit4->maxLength(), 12);
  EXPECT_EQ(editor.Edit4->toolTip(), "89.90 или 89,90");
  EXPECT_FALSE(editor.windowFlags() & Qt::WindowCloseButtonHint);
  editor.LoadFrom({"1", Cp("А"), Cp("широкий"), "5", "6", "7.00"});
  editor.Button3Click();
  EXPECT_EQ(editor.Edit1->text(), "");
  EXPECT_EQ(editor.Edit2->text(), "0");
  EXPECT_FALSE(editor.CheckBox1->isChecked());
  EXPECT_EQ(editor.Edit3->text(), "0");
  EXPECT_EQ(editor.Edit4->text(), "0.00");
  editor.Edit2->clear();
  QTest::keyClicks(editor.Edit2, "12a%3");
  EXPECT_EQ(editor.Edit2->text(), "123");

  // The price takes digits and one point, typed or committed by an input method.
  editor.Edit4->clear();
  QTest::keyClicks(editor.Edit4, "1a.2.5");
  EXPECT_EQ(editor.Edit4->text(), "1.25");
  for (const char* commit : {"x", ".", "7"}) {
    QInputMethodEvent typed;
    typed.setCommitString(QString::fromLatin1(commit));
    QApplication::sendEvent(editor.Edit4, &typed);
  }
  EXPECT_EQ(editor.Edit4->text(), "1.257");
}

TEST_F(BaseFrameTest, ResetButtonAndEscapeEmptyTheTable) {
  ShowActive();
  frame_.table().SetRow(4, {"4", Cp("ТОВАР"), Cp("широкий"), "1", "1", "1.00"});
  QTest::mouseClick(frame_.BitBtn5, Qt::LeftButton);
  EXPECT_EQ(frame_.table().row(4), EmptyGoodsRow(4));
  frame_.table().SetRow(4, {"4", Cp("ТОВАР"), Cp("широкий"), "1", "1", "1.00"});
  frame_.StringGrid1->setFocus();
  QTest::keyClick(frame_.StringGrid1, Qt::Key_Escape);
  EXPECT_EQ(frame_.table().row(4), EmptyGoodsRow(4));
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(GoodsRequests(), 0u);
}

TEST_F(BaseFrameTest, ExitAsksAndOnlyYesLeaves) {
  QSignalSpy exits(&frame_, &TBaseFrame::ExitRequested);
  ui_.answers = {ui::Answer::No, ui::Answer::Yes};
  QTest::mouseClick(frame_.Button1, Qt::LeftButton);
  EXPECT_EQ(exits.count(), 0);
  QTest::mouseClick(frame_.Button1, Qt::LeftButton);
  EXPECT_EQ(exits.count(), 1);
  EXPECT_EQ(ui_.messages[0].text, "Вы действительно хотите выйти из загрузчика базы?");
  EXPECT_EQ(ui_.messages[0].caption, "Подтверждение...");
}

TEST_F(BaseFrameTest, SaveRightAfterStartGives40040Bytes) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("base_frame_test_" + std::to_string(::getpid()) + ".base")).string();
  ui_.file_choices.push_back(path);
  QTest::mouseClick(frame_.BitBtn3, Qt::LeftButton);
  EXPECT_EQ(std::filesystem::file_size(path), 40040u);
  frame_.table().SetRow(8, {"8", Cp("ТОВАР"), Cp("широкий"), "1", "1", "1.00"});
  ui_.file_choices.push_back(path);
  QTest::mouseClick(frame_.BitBtn4, Qt::LeftButton);
  EXPECT_EQ(Cell(8, 2), "");
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace tarnis::goods

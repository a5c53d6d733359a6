#pragma once
// The blank form constructor page: eight form buttons, six variant buttons, the requisite and
// extra-line choices, the limits of the variant and the preview of the printed blank. Every
// choice goes straight into the blank form table; the device is reached only through the
// blank transfer operations.
#include <QFrame>
#include <array>
#include <functional>
#include <span>

#include "config/device_configuration.h"
#include "constructor/blank_forms.h"
#include "link/link.h"
#include "ui/user_interface.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace tarnis::constructor {

class TFrameConstructor : public QFrame {
  Q_OBJECT

 public:
  TFrameConstructor(config::DeviceConfiguration& configuration, BlankFormTable& table, link::Link& link,
                    ui::UserInterface& ui, QWidget* parent = nullptr);

  // Runs when the user confirms leaving the page; the main window hides it.
  void SetLeaveHandler(std::function<void()> leave) { leave_ = std::move(leave); }

  // Puts the page into "no form shown", redraws the form buttons from the table and refills the
  // requisite grid from the configuration. Whoever opens the page calls it right before.
  void InitConstructor();
  // The device's current group as the opener learned it; empty when unknown.
  void SetGroupLabel(const QString& group);

  int SelectedForm() const;  // 0..8, 0 when no form button is pressed
  void ShowForm(int form);
  void ShowVariantLimits(int variant);
  void PressFormVariant(int form);
  void BuildPreview(int form);
  void SetRequisiteControlsVisible(bool visible);
  void SetTypeSkControlsVisible(bool visible);

  void FormClick();
  void VariantClick(QAbstractButton* clicked);
  void TypeSkClick(QAbstractButton* clicked);
  void ComboBox1Select();
  void BitBtn1Click();
  void BitBtn2Click();
  void BitBtn3Click();
  void Button1Click();

 private:
  void BuildControls();
  void BuildRequisiteGrid();
  // Opens the requisite and extra-line controls a variant allows; a variant outside 1..6 leaves them.
  void ShowControlsOfVariant(int variant);
  void HideChoiceControls();
  void ResetLimits();
  static void ReleaseAll(std::span<QToolButton* const> buttons);
  static int PressedIndex(std::span<QToolButton* const> buttons);  // -1 when none is pressed
  void PressTypeSk(int type_sk);
  void SelectRequisite(int requisite);
  void PaintFormButtons();
  void FillRequisiteGrid();
  void ShowReadBlank(int form, std::uint8_t requisite, std::uint8_t type_sk);
  BlankFormEntry* SelectedEntry();

  config::DeviceConfiguration& configuration_;
  BlankFormTable& table_;
  link::Link& link_;
  ui::UserInterface& ui_;
  std::function<void()> leave_;

  QPlainTextEdit* RichEdit1 = nullptr;
  QLabel* Label7 = nullptr;   // form number
  QLabel* Label23 = nullptr;  // group
  QLabel* Label24 = nullptr;  // documents
  QLabel* Label15 = nullptr;  // services
  QLabel* Label16 = nullptr;  // sum digits
  QLabel* Label17 = nullptr;  // requisite available
  QLabel* Label18 = nullptr;  // discount available
  QLabel* Label20 = nullptr;  // tax available
  QLabel* Label21 = nullptr;  // code available
  std::array<QToolButton*, kFormCount> form_buttons_{};
  std::array<QToolButton*, kVariantCount> variant_buttons_{};
  std::array<QToolButton*, kMaxTypeSk> type_sk_buttons_{};  // "С", "Н", "К": extra line 1, 2, 3
  QLabel* Label25 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label19 = nullptr;
  QTableWidget* StringGrid1 = nullptr;
  QLabel* Label4 = nullptr;
};

}  // namespace tarnis::constructor

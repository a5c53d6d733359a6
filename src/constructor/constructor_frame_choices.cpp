// The form, variant, requisite and extra-line choices of the constructor page, the limits they
// show and the preview of the printed blank.
#include "constructor/constructor_frame.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTableWidget>
#include <QToolButton>

#include "constructor/preview.h"
#include "ui/qt_text.h"

namespace tarnis::constructor {

void TFrameConstructor::PaintFormButtons() {
  for (int form = 1; form <= kFormCount; ++form) {
    QToolButton* button = form_buttons_[static_cast<std::size_t>(form - 1)];
    QPalette palette = button->palette();
    const QColor colour = table_.Form(form)->programmed == 0 ? QColor(255, 0, 0) : QColor(0, 0, 0);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::WindowText, colour);
    button->setPalette(palette);
    button->setEnabled(true);
  }
}

int TFrameConstructor::PressedIndex(std::span<QToolButton* const> buttons) {
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (buttons[i]->isChecked()) return static_cast<int>(i);
  return -1;
}

int TFrameConstructor::SelectedForm() const { return PressedIndex(form_buttons_) + 1; }

BlankFormEntry* TFrameConstructor::SelectedEntry() { return table_.Form(SelectedForm()); }

void TFrameConstructor::ShowForm(int form) {
  const BlankFormEntry* entry = table_.Form(form);
  if (entry == nullptr) {
    Label7->setText(QStringLiteral("-"));
    return;
  }
  Label7->setText(QString::number(form));
  ui_.ProcessEvents();
  if (entry->variant == 0) {
    ReleaseAll(variant_buttons_);
    Label3->hide();
    Label19->hide();
    StringGrid1->hide();
    SetTypeSkControlsVisible(false);
    RichEdit1->clear();
    Label23->clear();
    return;
  }
  ShowControlsOfVariant(entry->variant);
}

void TFrameConstructor::ShowControlsOfVariant(int variant) {
  if (variant < 1 || variant > kVariantCount) return;
  const auto v = static_cast<std::uint8_t>(variant);
  SetRequisiteControlsVisible(VariantAllowsRequisite(v));
  SetTypeSkControlsVisible(VariantAllowsExtraLine(v));
  if (VariantAllowsExtraLine(v) && !VariantAllowsCode(v)) type_sk_buttons_[2]->hide();
}

void TFrameConstructor::SetRequisiteControlsVisible(bool visible) {
  for (QWidget* widget : {static_cast<QWidget*>(Label25), static_cast<QWidget*>(ComboBox1),
                          static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label19),
                          static_cast<QWidget*>(StringGrid1)})
    widget->setVisible(visible);
}

void TFrameConstructor::SetTypeSkControlsVisible(bool visible) {
  Label4->setVisible(visible);
  for (QToolButton* button : type_sk_buttons_) {
    button->setVisible(visible);
    button->setEnabled(true);
  }
}

void TFrameConstructor::HideChoiceControls() {
  SetRequisiteControlsVisible(false);
  SetTypeSkControlsVisible(false);
}

void TFrameConstructor::ResetLimits() {
  Label23->clear();
  for (QLabel* label : {Label16, Label17, Label18, Label20, Label21, Label24, Label15})
    label->setText(QStringLiteral("---"));
}

void TFrameConstructor::ReleaseAll(std::span<QToolButton* const> buttons) {
  for (QToolButton* button : buttons) button->setChecked(false);
}

void TFrameConstructor::PressTypeSk(int type_sk) {
  if (type_sk < 0 || type_sk > kMaxTypeSk) return;
  for (int i = 0; i < kMaxTypeSk; ++i) type_sk_buttons_[static_cast<std::size_t>(i)]->setChecked(i + 1 == type_sk);
}

void TFrameConstructor::SelectRequisite(int requisite) {
  ComboBox1->setCurrentIndex(requisite >= 0 && requisite <= kRequisiteChoices ? requisite : -1);
}

void TFrameConstructor::ShowVariantLimits(int variant) {
  if (variant != 0) {
    if (const BlankFormEntry* entry = SelectedEntry()) {
      SelectRequisite(entry->requisite);
      PressTypeSk(entry->typeSk);
    }
  }
  // Any value outside 0..6 shows the empty texts of an unknown variant.
  const VariantLimitRow& limits =
      LimitsOf(variant >= 0 && variant <= kVariantCount ? static_cast<std::uint8_t>(variant) : std::uint8_t{255});
  Label23->setText(ui::FromUtf8(limits.group));
  Label15->setText(ui::FromUtf8(limits.services));
  Label16->setText(ui::FromUtf8(limits.sumDigits));
  Label17->setText(ui::FromUtf8(limits.requisite));
  Label18->setText(ui::FromUtf8(limits.discount));
  Label20->setText(ui::FromUtf8(limits.tax));
  Label21->setText(ui::FromUtf8(limits.code));
  Label24->setText(ui::FromUtf8(limits.documents));
  ui_.ProcessEvents();
}

void TFrameConstructor::PressFormVariant(int form) {
  ReleaseAll(variant_buttons_);
  const BlankFormEntry* entry = table_.Form(form);
  if (entry != nullptr && IsKnownVariant(entry->variant)) variant_buttons_[entry->variant - 1u]->setChecked(true);
}

void TFrameConstructor::BuildPreview(int form) {
  RichEdit1->clear();
  const BlankFormEntry* entry = table_.Form(form);
  if (entry == nullptr) return;
  QStringList lines;
  for (const std::string& line : PreviewLines(configuration_, *entry)) lines << ui::FromCp1251(line);
  RichEdit1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TFrameConstructor::FormClick() {
  const bool form_pressed = SelectedForm() != 0;
  ReleaseAll(variant_buttons_);
  ui_.ProcessEvents();
  RichEdit1->clear();
  HideChoiceControls();
  ResetLimits();
  ui_.ProcessEvents();
  const int form = SelectedForm();
  ShowForm(form);
  for (QToolButton* button : variant_buttons_) button->setEnabled(form_pressed);
  if (!form_pressed) return;
  PressFormVariant(form);
  BuildPreview(form);
  ShowVariantLimits(table_.Form(form)->variant);
}

void TFrameConstructor::VariantClick(QAbstractButton* clicked) {
  const int pressed = PressedIndex(variant_buttons_);
  if (pressed < 0) {
    HideChoiceControls();
    RichEdit1->clear();
    ResetLimits();
    ui_.ProcessEvents();
    return;
  }
  BlankFormEntry* entry = SelectedEntry();
  if (entry == nullptr) {
    clicked->setChecked(false);
    ui::ShowNotice(ui_, "Не выбрана форма...");
    return;
  }
  const int variant = pressed + 1;
  ShowControlsOfVariant(variant);
  ShowVariantLimits(variant);
  entry->variant = static_cast<std::uint8_t>(variant);
  BuildPreview(SelectedForm());
}

void TFrameConstructor::TypeSkClick(QAbstractButton*) {
  BlankFormEntry* entry = SelectedEntry();
  if (entry == nullptr) return;
  entry->typeSk = static_cast<std::uint8_t>(PressedIndex(type_sk_buttons_) + 1);
  BuildPreview(SelectedForm());
}

void TFrameConstructor::ComboBox1Select() {
  BlankFormEntry* entry = SelectedEntry();
  const int index = ComboBox1->currentIndex();
  if (entry == nullptr || index < 0) return;
  entry->requisite = static_cast<std::uint8_t>(index);
  BuildPreview(SelectedForm());
}

}  // namespace tarnis::constructor

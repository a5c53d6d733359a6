#pragma once
// TForm5, the wizard "Помощник": seven pages stacked in Panel1, one shown at a time, stepping
// through the configuration section by section, or showing one content page alone.
#include <QDialog>
#include <array>

#include "wizard/wizard_context.h"
#include "wizard/wizard_flow.h"

class QFrame;

namespace tarnis::wizard {

class TStartFrame;
class TDataOperFrame;
class TDcoFrame;
class TUslFrame;
class TKlsFrame;
class TKlsFrame2;
class TLastFrame;
class WizardPageFrame;

class TForm5 : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 466;
  static constexpr int kClientHeight = 344;

  TForm5(const WizardContext& context, QWidget* parent = nullptr);
  ~TForm5() override;

  // Hides the current page, lets the screen catch up, shows page.
  void ShowPage(WizardPageFrame* page);
  WizardPageFrame* current_page() const { return current_page_; }
  WizardPageFrame* Page(WizardPage page) const { return pages_[static_cast<std::size_t>(page)]; }

  // The start page's "Выгрузить из КМ": the whole configuration, every page refreshed.
  void StartReadClick();
  // The last page's "Готово": the current-group query, then the constructor.
  void FinishClick();
  // "Выход" of page.
  void ExitClick(WizardPage page);

  QFrame* Panel1 = nullptr;
  TStartFrame* start_frame = nullptr;
  TDataOperFrame* oper_frame = nullptr;
  TDcoFrame* dco_frame = nullptr;
  TUslFrame* usl_frame = nullptr;
  TKlsFrame* kls_frame = nullptr;
  TKlsFrame2* kls_frame2 = nullptr;
  TLastFrame* last_frame = nullptr;

 public slots:
  // Neither Escape nor the window manager closes the wizard; only its pages' buttons do, so no
  // page is destroyed while its operation runs.
  void reject() override {}

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void CreatePages();
  void WireNavigation(WizardPage page);

  WizardContext context_;
  std::array<WizardPageFrame*, kPageCount> pages_{};
  WizardPageFrame* current_page_ = nullptr;
  bool shown_before_ = false;
};

}  // namespace tarnis::wizard

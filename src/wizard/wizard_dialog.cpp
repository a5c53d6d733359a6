#include "wizard/wizard_dialog.h"

#include <QFrame>
#include <QPushButton>

#include "config/config_transfer.h"
#include "ui/operation_report.h"
#include "wizard/data_oper_frame.h"
#include "wizard/dco_frame.h"
#include "wizard/kls_frame.h"
#include "wizard/kls_frame2.h"
#include "wizard/last_frame.h"
#include "wizard/start_frame.h"
#include "wizard/usl_frame.h"

namespace tarnis::wizard {

TForm5::TForm5(const WizardContext& context, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), context_(context) {
  setObjectName("TForm5");
  setWindowTitle("Конструктор...");
  setFixedSize(kClientWidth, kClientHeight);
  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(0, 0, kClientWidth, kClientHeight);
}

TForm5::~TForm5() = default;

void TForm5::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_before_) return;
  shown_before_ = true;
  FormShow();
}

void TForm5::FormShow() {
  CreatePages();
  oper_frame->FillPage();
  dco_frame->FillPage();
  usl_frame->FillPage();
  kls_frame->FillPage();
  kls_frame2->FillPage(2);
  kls_frame2->FillPage(1);
  last_frame->FillPage();
  ShowPage(Page(PageFromIndex(context_.start_page)));
  start_frame->Button1->setEnabled(true);
}

void TForm5::CreatePages() {
  start_frame = new TStartFrame(Panel1);
  oper_frame = new TDataOperFrame(context_, Panel1);
  dco_frame = new TDcoFrame(context_, Panel1);
  usl_frame = new TUslFrame(context_, Panel1);
  kls_frame = new TKlsFrame(context_, Panel1);
  kls_frame2 = new TKlsFrame2(context_, Panel1);
  last_frame = new TLastFrame(context_.single_page, Panel1);
  pages_ = {start_frame, oper_frame, dco_frame, usl_frame, kls_frame, kls_frame2, last_frame};
  for (int index = 0; index < kPageCount; ++index) {
    WizardPageFrame* page = pages_[static_cast<std::size_t>(index)];
    page->move(2, 2);
    page->hide();
    WireNavigation(static_cast<WizardPage>(index));
  }
  connect(start_frame->BitBtn1, &QPushButton::clicked, this, &TForm5::StartReadClick);
}

void TForm5::WireNavigation(WizardPage page) {
  WizardPageFrame* frame = Page(page);
  if (const auto next = NextPage(page))
    connect(frame->Button1, &QPushButton::clicked, this, [this, next] { ShowPage(Page(*next)); });
  else
    connect(frame->Button1, &QPushButton::clicked, this, &TForm5::FinishClick);
  if (const auto previous = PreviousPage(page))
    connect(frame->Button2, &QPushButton::clicked, this, [this, previous] { ShowPage(Page(*previous)); });
  connect(frame->Button3, &QPushButton::clicked, this, [this, page] { ExitClick(page); });
}

void TForm5::ShowPage(WizardPageFrame* page) {
  if (current_page_) current_page_->hide();
  current_page_ = page;
  context_.ui.ProcessEvents();
  if (current_page_) current_page_->show();
}

void TForm5::StartReadClick() {
  start_frame->Button1->setEnabled(true);
  config::RefreshCallbacks refresh;
  refresh.operators = [this] { oper_frame->FillPage(); };
  refresh.document_name = [this] { dco_frame->FillPage(); };
  refresh.services = [this] { usl_frame->FillPage(); };
  refresh.requisites = [this] { kls_frame->FillPage(); };
  refresh.cliche = [this](int cliche) { kls_frame2->FillPage(cliche); };
  if (context_.states && context_.states->HasUnsavedEdits(context_.configuration) &&
      !ui::Confirm(context_.ui, ui::kReplaceEditsQuestion))
    return;
  if (!config::ReadAllFromDevice(context_.link, context_.ui, context_.configuration, refresh, nullptr,
                                 context_.states))
    return;
  start_frame->Button1->setEnabled(true);
  if (context_.enable_save_configuration) context_.enable_save_configuration();
}

void TForm5::FinishClick() {
  const constructor::GroupQueryResult result =
      constructor::QueryCurrentGroup(context_.link, context_.ui, context_.blank_forms);
  if (!result.OpensConstructor()) return;  // answered No, or another operation holds the link
  if (context_.open_constructor) context_.open_constructor(result);
  done(QDialog::Accepted);
}

void TForm5::ExitClick(WizardPage page) {
  // A page's operation lets window messages run; the wizard stays until it has ended.
  if (context_.link.busy()) return;
  if (ConfirmExit(context_.ui, page, context_.single_page)) done(QDialog::Accepted);
}

}  // namespace tarnis::wizard

#pragma once
// The help window listing which layout variants belong to which group of blank forms.
#include <QDialog>

namespace tarnis::constructor {

class TForm11 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm11(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow: the focus goes to "OK"
};

}  // namespace tarnis::constructor

#include "wizard/wizard_style.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

namespace tarnis::wizard {
namespace {

QLabel* ColouredLabel(const QString& text, const QColor& color, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  label->adjustSize();
  return label;
}

}  // namespace

QLabel* TitleLabel(const QString& text, const QColor& color, QWidget* parent) {
  auto* label = ColouredLabel(text, color, parent);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  label->adjustSize();
  return label;
}

int PlaceLines(const QStringList& lines, const QColor& color, int left, int top, int max_width, QWidget* parent,
               std::vector<QLabel*>* placed) {
  constexpr int kSmallestPixelSize = 8;
  QFont font = parent->font();
  int pixel_size = QFontInfo(font).pixelSize();
  font.setPixelSize(pixel_size);
  const auto widest = [&lines](const QFontMetrics& metrics) {
    int width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    return width;
  };
  while (pixel_size > kSmallestPixelSize && widest(QFontMetrics(font)) > max_width) font.setPixelSize(--pixel_size);
  const int line_height = QFontMetrics(font).lineSpacing();
  for (const QString& line : lines) {
    QLabel* label = ColouredLabel(line, color, parent);
    label->setFont(font);
    label->adjustSize();
    label->move(left, top);
    if (placed) placed->push_back(label);
    top += line_height;
  }
  return top;
}

}  // namespace tarnis::wizard

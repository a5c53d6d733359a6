#pragma once
// The look the wizard's pages and editors share: maroon explanations, bold coloured titles, and
// fixed-position texts laid out line by line.
#include <QColor>
#include <QLabel>
#include <QStringList>
#include <vector>

namespace tarnis::wizard {

inline const QColor kMaroon(0x80, 0x00, 0x00);
inline const QColor kPurple(0x80, 0x00, 0x80);

QLabel* TitleLabel(const QString& text, const QColor& color, QWidget* parent);
// One label per line, from (left, top) down, in the parent's font made just small enough for the
// widest line to fit max_width (fonts differ between machines); returns the y below the last line.
// The labels go to placed when it is given.
int PlaceLines(const QStringList& lines, const QColor& color, int left, int top, int max_width, QWidget* parent,
               std::vector<QLabel*>* placed = nullptr);

}  // namespace tarnis::wizard

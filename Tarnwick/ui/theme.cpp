#include "ui/theme.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace Theme {

QColor panel() {
  static const QColor color = QColor::fromRgbF(0.105f, 0.098f, 0.066f);
  return color;
}

QColor card() {
  static const QColor color = QColor::fromRgbF(0.152f, 0.142f, 0.098f);
  return color;
}

QColor border() {
  static const QColor color = QColor::fromRgbF(1, 1, 1, 0.06f);
  return color;
}

// The dark appearance's label colours: white at falling opacities.
QColor primary() { return QColor::fromRgbF(1, 1, 1, 0.85f); }
QColor secondary() { return QColor::fromRgbF(1, 1, 1, 0.55f); }
QColor tertiary() { return QColor::fromRgbF(1, 1, 1, 0.28f); }
QColor accent() { return QColor(10, 132, 255); }
QColor orange() { return QColor(255, 159, 10); }
QColor green() { return QColor(48, 209, 88); }
QColor red() { return QColor(255, 69, 58); }

QColor faded(QColor color, double opacity) {
  color.setAlphaF(static_cast<float>(color.alphaF() * opacity));
  return color;
}

QString css(const QColor& color) {
  return QStringLiteral("rgba(%1, %2, %3, %4)")
      .arg(color.red())
      .arg(color.green())
      .arg(color.blue())
      .arg(color.alpha());
}

QFont system(int pixels, QFont::Weight weight) {
  QFont font = QGuiApplication::font();
  font.setPixelSize(pixels);
  font.setWeight(weight);
  return font;
}

QFont monospaced(int pixels, QFont::Weight weight) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(pixels);
  font.setWeight(weight);
  return font;
}

QFont headline() { return system(13, QFont::DemiBold); }
QFont callout() { return system(12); }
QFont caption() { return system(10); }

QPalette palette() {
  QPalette p;
  const QColor text = primary();
  for (auto group : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(group, QPalette::Window, panel());
    p.setColor(group, QPalette::WindowText, text);
    p.setColor(group, QPalette::Base, card());
    p.setColor(group, QPalette::AlternateBase, card());
    p.setColor(group, QPalette::Text, text);
    p.setColor(group, QPalette::PlaceholderText, tertiary());
    p.setColor(group, QPalette::Button, card());
    p.setColor(group, QPalette::ButtonText, text);
    p.setColor(group, QPalette::BrightText, Qt::white);
    p.setColor(group, QPalette::Highlight, accent());
    p.setColor(group, QPalette::HighlightedText, Qt::white);
    p.setColor(group, QPalette::ToolTipBase, card());
    p.setColor(group, QPalette::ToolTipText, text);
    p.setColor(group, QPalette::Link, accent());
    p.setColor(group, QPalette::Light, QColor(255, 255, 255, 40));
    p.setColor(group, QPalette::Midlight, QColor(255, 255, 255, 25));
    p.setColor(group, QPalette::Mid, QColor(255, 255, 255, 20));
    p.setColor(group, QPalette::Dark, QColor(0, 0, 0, 120));
    p.setColor(group, QPalette::Shadow, QColor(0, 0, 0, 160));
  }
  p.setColor(QPalette::Disabled, QPalette::WindowText, tertiary());
  p.setColor(QPalette::Disabled, QPalette::Text, tertiary());
  p.setColor(QPalette::Disabled, QPalette::ButtonText, tertiary());
  p.setColor(QPalette::Disabled, QPalette::Window, panel());
  p.setColor(QPalette::Disabled, QPalette::Base, card());
  return p;
}

QString styleSheet() {
  const QString text = css(primary());
  const QString cardColor = css(card());
  const QString line = css(QColor(255, 255, 255, 38));
  return QStringLiteral(R"(
QLabel { color: %1; }
QToolTip { color: %1; background: %2; border: 1px solid %3; padding: 3px 5px; }
QMenu { color: %1; background: %2; border: 1px solid %3; padding: 4px 0; }
QMenu::item { padding: 4px 18px; }
QMenu::item:selected { background: %4; color: white; }
QMenu::separator { height: 1px; background: %3; margin: 4px 8px; }
QScrollArea { background: transparent; border: none; }
QScrollBar:vertical { background: transparent; width: 7px; margin: 2px 1px; }
QScrollBar::handle:vertical { background: rgba(255, 255, 255, 60); border-radius: 2px; min-height: 24px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }
QSlider::groove:horizontal { height: 4px; background: rgba(255, 255, 255, 40); border-radius: 2px; }
QSlider::sub-page:horizontal { background: %4; border-radius: 2px; }
QSlider::handle:horizontal { background: #e8e8e8; width: 14px; height: 14px; margin: -5px 0; border-radius: 7px; }
)")
      .arg(text, cardColor, line, css(accent()));
}

}  // namespace Theme

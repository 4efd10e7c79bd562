#pragma once
// The panel's look: its three surface colours, the named text colours, the
// named fonts and a dark palette and style sheet that hold whatever the
// desktop's theme is. Sizes are logical pixels, so a "15-point" font is 15 px.
#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

namespace Theme {

/// Background of the whole panel.
QColor panel();
/// Background of the search field and of the settings card.
QColor card();
/// Outline of the search field and of the settings card.
QColor border();

QColor primary();
QColor secondary();
QColor tertiary();
QColor accent();
QColor orange();
QColor green();
QColor red();

/// `color` with its opacity multiplied by `opacity`.
QColor faded(QColor color, double opacity);
/// "rgba(r, g, b, a)" for style sheets.
QString css(const QColor& color);

/// The desktop's sans-serif face at `pixels`.
QFont system(int pixels, QFont::Weight weight = QFont::Normal);
/// The desktop's fixed-width face at `pixels`.
QFont monospaced(int pixels, QFont::Weight weight = QFont::Normal);
QFont headline();
QFont callout();
QFont caption();

/// Dark colours for every role, panel behind, card under text fields.
QPalette palette();
/// Buttons, fields, sliders, scroll bars, menus and tooltips drawn dark.
QString styleSheet();

}  // namespace Theme

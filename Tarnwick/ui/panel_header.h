#pragma once
// The top of the panel: the title with the refresh, settings and quit buttons,
// a divider, the summary line with the exposed-ports filter, and the search
// field with its clear button.
#include "ui/panel_rows.h"

#include <QWidget>

namespace L10n {
class Texts;
}

class PanelState;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class PanelHeader final : public QWidget {
  Q_OBJECT

 public:
  /// Shows nothing until its first sync.
  PanelHeader(PanelState* model, const L10n::Texts& texts, QWidget* parent = nullptr);
  /// Shows the model's state with `counts` (over the scan the rows came from)
  /// and looks every text up again.
  void sync(const SummaryCounts& counts);

  QLineEdit* searchField() const { return search_; }

 signals:
  void quitRequested();

 private:
  QWidget* titleRow();
  QWidget* summaryRow();
  QWidget* searchRow();
  QToolButton* iconButton(QWidget* parent);

  PanelState* model_;
  const L10n::Texts& texts_;
  QToolButton* refresh_ = nullptr;
  QToolButton* settings_ = nullptr;
  QToolButton* quit_ = nullptr;
  QWidget* summary_ = nullptr;
  QLabel* counts_ = nullptr;
  QLabel* exposedDot_ = nullptr;
  QPushButton* exposed_ = nullptr;
  QLineEdit* search_ = nullptr;
  QToolButton* clear_ = nullptr;
  bool settingsTint_ = false;
};

/// A one-pixel horizontal rule in the separator colour.
QWidget* makeDivider(QWidget* parent);

#pragma once
// The panel: header, summary, search, settings card, empty state and the two
// sections of port rows, drawn from a PanelState and forwarding the user's
// input to its PanelController. Rows are kept by id and updated in place, so
// refreshes and statistics neither flicker nor lose hover or scroll position.
//
// Wiring: `auto* view = new PortListView(panel, icons, texts); window->setContent(view);`,
// the window's shown/hidden to the state's setVisibility and quitRequested to quitting.
#include "core/scan/processes.h"

#include <QWidget>

namespace L10n {
class Texts;
}

#include <map>
#include <string>
#include <vector>

class OwnerIconCache;
class Panel;
class PanelController;
class PanelHeader;
struct PanelRows;
class PanelState;
class PortRow;
class QLabel;
class QScrollArea;
class SettingsCard;
struct PanelRow;
struct PortEntry;

class PortListView final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 380;

  /// Draws `panel` in `texts` with the owner icons of `icons`; all must outlive the view.
  PortListView(Panel& panel, OwnerIconCache& icons, const L10n::Texts& texts, QWidget* parent = nullptr);
  ~PortListView() override;

  PanelHeader* header() const { return header_; }
  SettingsCard* settingsCard() const { return settings_; }
  QScrollArea* list() const { return scroll_; }
  /// The rows in the order shown.
  std::vector<PortRow*> rows() const;
  /// The row of the entry with `id` (PID:port); null when not listed.
  PortRow* row(const std::string& id) const;

 signals:
  /// The quit button was pressed.
  void quitRequested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* buildEmptyState();
  QWidget* buildList();
  void sync();
  void syncList(const PanelRows& listing);
  void syncFocus();
  PortRow* takeOrMakeRow(const PanelRow& listed, std::map<std::string, PortRow*>& previous);
  void connectRow(PortRow* row);
  /// The listed process of `entry`, by the model's latest scan.
  ProcessIdentity identityOf(const PortEntry& entry) const;
  void showOwnerIcon(PortRow* row);
  bool handleKey(QKeyEvent* key);

  PanelState* model_;
  PanelController* controller_;
  const L10n::Texts& texts_;
  OwnerIconCache& icons_;
  PanelHeader* header_;
  QWidget* settingsBlock_;
  SettingsCard* settings_;
  QWidget* empty_;
  QLabel* emptyIcon_;
  QLabel* emptyText_;
  QScrollArea* scroll_;
  class RowColumn* column_;
  QLabel* devHeader_;
  QLabel* otherHeader_;
  std::map<std::string, PortRow*> rows_;  ///< by id, "#n" added for repeats
  std::vector<PortRow*> order_;
  QString language_;
  /// The key press being passed along: its address and its time, as Qt builds
  /// presses on the stack and one may reuse the address of an earlier one.
  struct SeenPress {
    const QEvent* event = nullptr;
    quint64 timestamp = 0;
  } seenPress_;
};

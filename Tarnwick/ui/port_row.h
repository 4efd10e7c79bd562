#pragma once
// One listening socket in the panel's list: owner icon, health, port, label,
// marks, subtitle or confirmation or label editor, statistics and the stop
// button, and the context menu of rowMenu(). The row only draws its RowState
// and says what the user asked for; the controller acts on it.
#include "integrations/l10n.h"
#include "ui/row_menu.h"
#include "ui/row_state.h"

#include <QIcon>
#include <QString>
#include <QWidget>

class ElidedText;
class HealthDot;
class PortNumber;
class ShrinkingText;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QVBoxLayout;

class PortRow final : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kHeight = 52;

  /// `texts` must outlive the row.
  PortRow(const RowState& state, const L10n::Texts& texts, QWidget* parent = nullptr);

  const RowState& state() const { return state_; }
  /// Redraws from `state`; a change of statistics alone redraws only them.
  void setState(const RowState& state);
  /// Shows `icon` as the owner's; the same icon again draws nothing.
  void setOwnerIcon(const QIcon& icon);
  /// Looks every text up again (after a change of language).
  void retranslate();
  /// Puts the model's draft into the label editor unless it already holds it.
  void setLabelDraft(const QString& draft);
  bool hovering() const { return hovering_; }

  // The parts, for tests.
  QLineEdit* labelEditor() const { return editor_; }
  QPushButton* stopButton() const { return stop_; }
  QPushButton* cancelButton() const { return cancel_; }
  QPushButton* confirmButton() const { return confirm_; }
  ShrinkingText* statistics() const { return stats_; }

 signals:
  void selected();
  /// A menu item, the stop button, or a click on a dev port (OpenInBrowser).
  void actionChosen(RowAction action);
  void confirmed();
  void cancelled();
  void labelCommitted();
  void labelDraftEdited(const QString& draft);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  /// rowMenu() of this row, parented to `parent`; an item chosen is passed on
  /// as actionChosen.
  QMenu* buildContextMenu(QWidget* parent);
  void build();
  QHBoxLayout* buildTitleLine();
  void buildSecondLine(QVBoxLayout* text);
  QWidget* buildActions();
  QWidget* buildConfirmation();
  void refresh();
  void refreshTitleLine();
  void refreshSecondLine();
  void refreshActions();
  void refreshStats();
  void setHovering(bool hovering);
  bool isDev() const;

  RowState state_;
  const L10n::Texts& texts_;
  bool hovering_ = false;
  qint64 iconKey_ = 0;  ///< cacheKey of the icon shown; 0 for none

  QLabel* icon_ = nullptr;
  HealthDot* dot_ = nullptr;
  PortNumber* port_ = nullptr;
  QLabel* chip_ = nullptr;
  QLabel* watched_ = nullptr;
  QLabel* exposed_ = nullptr;
  ElidedText* subtitle_ = nullptr;
  QLineEdit* editor_ = nullptr;
  QWidget* actions_ = nullptr;
  ShrinkingText* stats_ = nullptr;
  QPushButton* stop_ = nullptr;
  QWidget* confirmBox_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* confirm_ = nullptr;
};

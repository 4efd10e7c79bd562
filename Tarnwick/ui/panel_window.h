#pragma once
// The window that opens from the tray item: frameless, as large as its
// content, dark, out of the taskbar, placed again against the item whenever its
// size changes, closed by a click elsewhere, by an Escape the content passed on
// (it had nothing left to undo), or by a second click on the item.
#include "ui/panel_placement.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class QVBoxLayout;

/// How the panel is a window. A popup grabs the pointer and the keyboard while
/// it is open. A compositor may refuse an X client those grabs (GNOME does
/// through XWayland): there the panel is a window that the window manager
/// manages and gives the keyboard, kept out of the taskbar, closed when it
/// loses the focus.
enum class PanelKind { Popup, Managed };

class PanelWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PanelWindow(PanelKind kind = PanelKind::Popup, QWidget* parent = nullptr);

  /// Shows `content` (the panel takes ownership) in place of the current one.
  void setContent(QWidget* content);
  QWidget* content() const { return content_; }

  /// Opens at `anchor`, sized to the content; until it is hidden, every change
  /// of its size places it at `anchor` again.
  void openAt(const PanelAnchor& anchor);

 signals:
  void shown();
  void hidden();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  PanelKind kind_;
  QVBoxLayout* layout_;
  QPointer<QWidget> content_;
  std::optional<PanelAnchor> anchor_;  ///< from openAt() until hidden
};

#pragma once
// The window that opens from the tray item: frameless, 380 pixels wide, dark,
// out of the taskbar, closed by a click elsewhere, by Escape once the content
// has nothing left to undo, or by a second click on the item.
#include <QPointer>
#include <QWidget>
#include <functional>

class QVBoxLayout;

class PanelWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 380;

  /// What the content made of an Escape press: Handled keeps the panel open.
  enum class EscapeResult { Handled, Ignored };

  explicit PanelWindow(QWidget* parent = nullptr);

  /// Shows `content` (the panel takes ownership) in place of the current one.
  void setContent(QWidget* content);
  QWidget* content() const { return content_; }

  /// Asked on each Escape that reached the window; without one, Escape closes.
  void setEscapeHandler(std::function<EscapeResult()> handler);

  /// Opens with the top-left corner at `topLeft`, sized to the content.
  void openAt(const QPoint& topLeft);

 signals:
  void shown();
  void hidden();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QVBoxLayout* layout_;
  QPointer<QWidget> content_;
  std::function<EscapeResult()> escapeHandler_;
};

/// The content shown until the real panel is set: the title on the dark ground.
QWidget* makePlaceholderContent();

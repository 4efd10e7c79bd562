#pragma once
// The window that opens from the tray item: frameless, as large as its
// content, dark, out of the taskbar, closed by a click elsewhere, by an Escape
// the content passed on (it had nothing left to undo), or by a second click on
// the item.
#include <QPointer>
#include <QWidget>

class QVBoxLayout;

class PanelWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PanelWindow(QWidget* parent = nullptr);

  /// Shows `content` (the panel takes ownership) in place of the current one.
  void setContent(QWidget* content);
  QWidget* content() const { return content_; }

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
};

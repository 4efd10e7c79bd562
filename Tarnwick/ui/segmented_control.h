#pragma once
// A row of exclusive choices drawn as one rounded control.
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QToolButton;

class SegmentedControl final : public QWidget {
  Q_OBJECT

 public:
  explicit SegmentedControl(int width, QWidget* parent = nullptr);
  /// Sets the choices' texts; their number is fixed by the first call.
  void setOptions(const QStringList& texts);
  /// Marks `index` chosen without emitting chosen(); -1 marks none.
  void setCurrent(int index);
  int current() const;
  QToolButton* segment(int index) const;

 signals:
  /// The user clicked the choice at `index`.
  void chosen(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QButtonGroup* group_;
};

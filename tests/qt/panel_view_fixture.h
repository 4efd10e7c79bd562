#pragma once
// A panel view over a model on fakes, and helpers to read what it shows.
#include "integrations/l10n.h"
#include "integrations/preferences.h"
#include "panel_fakes.h"
#include "ui/port_list_view.h"
#include "ui/port_row.h"

#include <QApplication>
#include <QMenu>
#include <QString>
#include <gtest/gtest.h>

#include <memory>

inline QString localized(const std::string& key) { return QString::fromStdString(L10n::text(key)); }

inline QString localized(const std::string& key, const std::vector<FormatArg>& args) {
  return QString::fromStdString(L10n::format(key, args));
}

/// The titles of a menu's actions, "---" for a separator.
inline QStringList menuTexts(const QMenu* menu) {
  QStringList texts;
  for (const QAction* action : menu->actions())
    texts << (action->isSeparator() ? QStringLiteral("---") : action->text());
  return texts;
}

inline QAction* menuAction(const QMenu* menu, const QString& text) {
  for (QAction* action : menu->actions())
    if (action->text() == text) return action;
  return nullptr;
}

class PanelViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model = fixture.makeModel();
    view = std::make_unique<PortListView>(model.get());
    // The power button must not end the test run.
    QObject::disconnect(view.get(), &PortListView::quitRequested, qApp, nullptr);
  }

  /// A refresh that finds `entries`, applied.
  void load(std::vector<PortEntry> entries) {
    fixture.services->ports = std::move(entries);
    model->refresh();
    fixture.settle();
  }

  /// Shows the panel as the active window with the keyboard focus on it.
  void showFocused() {
    view->show();
    view->activateWindow();
    QApplication::setActiveWindow(view.get());
    view->setFocus();
    QApplication::processEvents();
  }

  PortRow* rowOf(const PortEntry& entry) const { return view->row(entry.id()); }

  PanelFixture fixture;
  std::unique_ptr<PortListModel> model;
  std::unique_ptr<PortListView> view;
};

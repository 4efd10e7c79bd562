#pragma once
// A panel view over a model on fakes, and helpers to read what it shows.
#include "integrations/l10n.h"
#include "integrations/preferences.h"
#include "panel_fakes.h"
#include "support/english_texts.h"
#include "ui/port_list_view.h"
#include "ui/port_row.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QString>
#include <gtest/gtest.h>

#include <memory>

inline QString localized(const std::string& key) { return QString::fromStdString(englishTexts().text(key)); }

inline QAction* menuAction(const QMenu* menu, const QString& text) {
  for (QAction* action : menu->actions())
    if (action->text() == text) return action;
  return nullptr;
}

/// The pointer entering `row`.
inline void hover(PortRow* row) {
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), row->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(row, &enter);
}

class PanelViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model = fixture.makeModel();
    view = std::make_unique<PortListView>(model.get(), fixture.icons, englishTexts());
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

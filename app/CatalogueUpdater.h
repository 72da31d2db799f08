// What the order window does to update its catalogue, between the button and
// TCatalogueUpdate: an update started with the window's settings, its
// progress, its question and its outcome in the update's window
// (TCatalogueUpdateDialog); the undo of the last update; and, whenever the
// catalogue in use changed, the window told to read it again. The order
// being composed is never touched.
//
// Owned by the order window. GUI thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "update/CatalogueUpdate.h"

class QWidget;

namespace quillor {

class TCatalogueUpdateDialog;

class TCatalogueUpdater {
 public:
  struct THooks {
    // The update to run: settings, data folder, the catalogue in use.
    std::function<update::TUpdateRequest()> request;
    // The catalogue in use changed (an update installed, an update undone).
    std::function<void()> changed;
    // An update started (true) or ended (false).
    std::function<void(bool running)> running;
  };

  TCatalogueUpdater(QWidget* window, THooks hooks);
  ~TCatalogueUpdater();
  TCatalogueUpdater(const TCatalogueUpdater&) = delete;
  TCatalogueUpdater& operator=(const TCatalogueUpdater&) = delete;

  // Starts an update; when one already runs, shows its window instead.
  void Update();
  // Undoes the last update, the catalogue before it used again; the outcome
  // is shown in the update's window. Refused while an update runs.
  void Rollback();
  bool IsRunning() const { return fUpdate.IsRunning(); }

  TCatalogueUpdateDialog* Dialog() const { return fDialog; }

 private:
  void Done(update::TUpdateResult result);

  THooks fHooks;
  update::TCatalogueUpdate fUpdate;
  TCatalogueUpdateDialog* fDialog;  // a child of the window
};

}  // namespace quillor

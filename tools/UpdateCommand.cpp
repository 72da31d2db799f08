#include "tools/UpdateCommand.h"

#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "tools/CatalogueCommands.h"
#include "update/AvailabilityInUse.h"
#include "update/CatalogueLocation.h"
#include "update/CatalogueUpdate.h"
#include "update/FrenchText.h"
#include "update/UpdateLock.h"
#include "update/UserFolders.h"

namespace quillor::catalogue {
namespace {

using update::Fr;

constexpr char kToolName[] = "quillor-catalogue: ";
constexpr int kBarWidth = 30;

// Ctrl+C cancels the update cleanly once; a second one ends the program.
std::atomic<bool> gInterrupted{false};

extern "C" void Interrupted(int) {
  gInterrupted = true;
  std::signal(SIGINT, SIG_DFL);
}

// "812 Ko", "3,9 Mo", as a French reader writes sizes.
std::string Size(int64_t bytes) {
  char text[32];
  if (bytes < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%lld Ko", static_cast<long long>((bytes + 1023) / 1024));
  } else {
    std::snprintf(text, sizeof text, "%.1f Mo", static_cast<double>(bytes) / (1024.0 * 1024.0));
    *std::strchr(text, '.') = ',';
  }
  return text;
}

// The update's progress on standard error.
class ProgressPrinter {
 public:
  ProgressPrinter(const UpdateOptions& options, std::ostream& err) : fOptions(options), fErr(err) {}

  void Show(const update::TUpdateProgress& progress) {
    switch (progress.step) {
      case update::TUpdateStep::kDownloading:
        File(progress.file);
        return;
      case update::TUpdateStep::kImporting:
        Line(Fr("Vérification et import des fichiers…"));
        return;
      case update::TUpdateStep::kConfirming:
        return;
      case update::TUpdateStep::kInstalling:
        Line(Fr("Enregistrement du nouveau catalogue…"));
        return;
    }
  }

  // Ends a bar left open.
  void Close() {
    if (fBarOpen) fErr << "\n";
    fBarOpen = false;
    fErr.flush();
  }

  void Line(const std::string& text) {
    Close();
    fErr << Say(text) << "\n";
    fErr.flush();
  }

 private:
  std::string Say(const std::string& text) const {
    return fOptions.toMessage != nullptr ? fOptions.toMessage(text) : text;
  }

  void File(const update::TFileProgress& file) {
    const bool whole = file.total >= 0 && file.received >= file.total;
    if (!fOptions.progressBar) {
      // One line when a file starts, one when it is whole.
      if (file.name != fFile) Line(Fr("Téléchargement de ") + file.name + Fr("…"));
      fFile = file.name;
      if (whole && file.received > 0 && !fDone) {
        Line(file.name + " : " + std::to_string(file.received) + Fr(" octets reçus"));
      }
      fDone = whole && file.received > 0;
      return;
    }
    if (file.name != fFile) Close();
    fFile = file.name;
    std::string bar(kBarWidth, ' ');
    if (file.total > 0) {
      const auto filled =
          static_cast<size_t>(kBarWidth * std::min<int64_t>(file.received, file.total) / file.total);
      bar.replace(0, filled, std::string(filled, '#'));
    }
    fErr << "\r" << Say(Fr("Téléchargement ")) << "(" << file.index + 1 << "/" << file.count << ") "
         << file.name << " [" << bar << "] " << Size(file.received) << " / "
         << (file.total >= 0 ? Size(file.total) : std::string("?")) << "   ";
    fErr.flush();
    fBarOpen = true;
  }

  const UpdateOptions& fOptions;
  std::ostream& fErr;
  std::string fFile;
  bool fDone = false;
  bool fBarOpen = false;
};

int Rollback(const UpdateOptions& options, const std::string& dataFolder, std::ostream& out,
             std::ostream& err) {
  auto say = [&options](const std::string& text) {
    return options.toMessage != nullptr ? options.toMessage(text) : text;
  };
  update::TDataSetStore store(dataFolder);
  update::TUpdateLock lock(store.Folder());
  std::string why;
  if (!lock.Held()) {
    why = lock.Reason();
  } else if (store.Rollback(&why)) {
    out << say(Fr("Catalogue précédent rétabli : ") +
               update::DescribeCatalogue(update::LocateCatalogueInUse(dataFolder)))
        << "\n";
    return kExitOk;
  }
  err << kToolName << say(Fr("annulation impossible : ") + why) << "\n";
  return kExitFailure;
}

}  // namespace

int Update(const UpdateOptions& options, std::ostream& out, std::ostream& err) {
  auto say = [&options](const std::string& text) {
    return options.toMessage != nullptr ? options.toMessage(text) : text;
  };
  const std::string dataFolder = options.dataFolder.empty() ? UserDataFolder() : options.dataFolder;
  if (options.rollback) return Rollback(options, dataFolder, out, err);

  update::TUpdateRequest request;
  if (!options.from.empty()) {
    std::string why;
    const std::optional<update::TUpdateSource> source = update::ReadUpdateSource(options.from, &why);
    if (!source) {
      err << kToolName << say(why) << "\n";
      return kExitUsage;
    }
    request.settings.source = *source;
  }
  request.settings.caCertificateFile = options.caFile;
  request.dataFolder = dataFolder;
  const update::TCatalogueLocation current = update::LocateCatalogueInUse(dataFolder);
  if (current.origin != update::TDataOrigin::kNone) request.currentArticleFile = current.articleFile;
  request.currentAvailabilityFile = update::LocateAvailability(current, dataFolder).file;
  request.force = options.force;

  ProgressPrinter progress(options, err);
  progress.Line(Fr("Mise à jour depuis ") + update::DescribeSource(request.settings.source));
  update::TCatalogueUpdate running;
  QEventLoop loop;
  update::TUpdateResult result;
  std::string whyNot;
  const bool started = running.Start(
      request, [&progress](const update::TUpdateProgress& step) { progress.Show(step); }, nullptr,
      [&result, &loop](update::TUpdateResult done) {
        result = std::move(done);
        loop.quit();
      },
      &whyNot);
  if (!started) {
    progress.Close();
    err << kToolName << say(Fr("mise à jour impossible : ") + whyNot) << "\n";
    return kExitFailure;
  }
  gInterrupted = false;
  const auto previous = std::signal(SIGINT, Interrupted);
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&running] {
    if (gInterrupted) running.Cancel();
  });
  watch.start(100);
  loop.exec();
  watch.stop();
  std::signal(SIGINT, previous);
  progress.Close();

  const std::vector<std::string> lines = result.Lines();
  std::ostream& to = result.status == update::TUpdateResult::TStatus::kUpdated ? out : err;
  for (const std::string& line : lines) to << say(line) << "\n";
  if (result.tooSmall) {
    err << say(Fr("(relancez avec --force pour l'installer quand même)")) << "\n";
  }
  out.flush();
  err.flush();
  return result.status == update::TUpdateResult::TStatus::kUpdated ? kExitOk : kExitFailure;
}

}  // namespace quillor::catalogue

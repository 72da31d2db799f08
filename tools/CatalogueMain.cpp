// quillor-catalogue: reads, writes and searches Quillor's scrambled article
// file from the command line, and updates the catalogue from the public drug
// database. Trace reports go to stderr.
#include <QCoreApplication>
#include <clocale>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "knowledge/DayDate.h"
#include "tools/CatalogueCommands.h"
#include "tools/LocaleText.h"
#include "tools/UpdateCommand.h"
#include "update/AvailabilityInUse.h"
#include "update/CatalogueLocation.h"
#include "update/UserFolders.h"

namespace {

using namespace quillor::catalogue;

constexpr char kUsage[] =
    "usage: quillor-catalogue import CIS_bdpm.txt CIS_CIP_bdpm.txt -o FILE.db [--all] [--audit]\n"
    "                                [--availability-date DD/MM/YYYY]\n"
    "       quillor-catalogue decode FILE.db\n"
    "       quillor-catalogue encode PLAIN.csv -o FILE.db\n"
    "       quillor-catalogue search [--approx] [--scores] [--db FILE.db | --data FOLDER] QUERY...\n"
    "       quillor-catalogue update [--from URL|FOLDER] [--data FOLDER] [--force] [--ca-file FILE]\n"
    "       quillor-catalogue update --rollback [--data FOLDER]\n"
    "       quillor-catalogue substance [--db FILE.db | --data FOLDER] WORDS...\n"
    "       quillor-catalogue equivalents [--db FILE.db | --data FOLDER] CODE\n"
    "       quillor-catalogue availability [--db FILE.db | --data FOLDER] CODE...\n"
    "\n"
    "  import  make an article file from the public drug database's two export\n"
    "          files (base-donnees-publique.medicaments.gouv.fr), one article per\n"
    "          presentation that can be ordered, with a short designation; prints\n"
    "          a summary, every line skipped or mended, and the audit of the\n"
    "          designations against the export (its count of each kind of fault)\n"
    "          --all      keep every presentation, even those no longer sold,\n"
    "                     abrogated, or of a speciality no longer marketed\n"
    "          --audit    list every fault the audit finds, article by article\n"
    "          the publication's other files beside CIS_bdpm.txt (CIS_COMPO_bdpm.txt,\n"
    "          CIS_GENER_bdpm.txt, CIS_CPD_bdpm.txt, CIS_CIP_Dispo_Spec.txt), when\n"
    "          there, become Medicaments.txt, Compositions.txt and Disponibilites.txt\n"
    "          beside FILE.db: the availability, generic groups and substances\n"
    "          --availability-date DD/MM/YYYY  the availability's publication date\n"
    "                     (by default the newest date its file holds)\n"
    "  decode  write the plain text of a scrambled article file to standard output\n"
    "          (the header line and the records, each ended by CR LF, in the file's\n"
    "          own Windows-1252); a stored byte that stands for a CR, LF or NUL is\n"
    "          refused with its line and column, and nothing is written\n"
    "  encode  scramble a plain ';'-separated file (header line first, Windows-1252)\n"
    "          into FILE.db; a character that cannot be stored is refused with its\n"
    "          line and column, and nothing is written\n"
    "  search  run the order window's search and print CIP;Designation;Price for\n"
    "          each article found, in the order the window shows them; a query\n"
    "          that is blank once normalised lists the whole catalogue, as shown\n"
    "          at start-up; the query is read in the locale's encoding (UTF-8),\n"
    "          and on a terminal the designations are shown in it too; a box's\n"
    "          code (CIP7, CIP13, or a DataMatrix string with <GS> or ~ between\n"
    "          its fields) prints the article of that code, and an unreadable\n"
    "          code fails with its reason\n"
    "          --approx   approximate search: every article, the most similar first\n"
    "          --scores   add the similarity (0 to 100) as a fourth field\n"
    "          --db FILE  the article file (default: the catalogue in use, as the\n"
    "                     window finds it: the user's updated catalogue, else\n"
    "                     ./Data/BaseDeDonneeArticles.db, else the installed one)\n"
    "          --data FOLDER  the user's data folder to look in (default: the\n"
    "                     window's, ~/.local/share/Quillor/Quillor)\n"
    "  update  download the public drug database's files (CIS_bdpm.txt,\n"
    "          CIS_CIP_bdpm.txt and the four others import reads) over HTTPS,\n"
    "          check and import them, and make the result (the article file and\n"
    "          its knowledge files) the catalogue in use, in the user's data\n"
    "          folder, in one step; the catalogue it replaces is kept for\n"
    "          --rollback; prints what changed (articles, prices, shortages); on\n"
    "          any failure the catalogue in use stays as it was\n"
    "          --from URL|FOLDER  an https:// address to download from, or a\n"
    "                     folder of files already downloaded (default: the\n"
    "                     public database, " QUILLOR_UPDATE_BASE_URL
    ")\n"
    "          --data FOLDER  the user's data folder to update (default: the\n"
    "                     window's, ~/.local/share/Quillor/Quillor)\n"
    "          --force    take a catalogue with fewer than 90 % of today's articles\n"
    "          --ca-file FILE  trust the certificate authorities of this PEM file\n"
    "                     instead of the system's\n"
    "          --rollback  undo the last update: the catalogue before it is used again\n"
    "  substance  the window's search by substance: CIP;Designation;Price for each\n"
    "          article whose speciality holds the substances named, at the dosages\n"
    "          given (paracetamol 1000, amlodipine 5, 1g, 500 mg), in designation\n"
    "          order\n"
    "  equivalents  the articles that may replace the article of CODE, as the\n"
    "          window lists them: CIP;Designation;Price;STATUS, those of its\n"
    "          generic groups (else of the same substances, dosages and form),\n"
    "          available first\n"
    "  availability  CIP;STATUS;SINCE;PAGE for the article of each CODE: its status\n"
    "          (rupture, tension, arret, remise or disponible), since when, and\n"
    "          the medicines agency's page\n"
    "          A CODE is a box's code as search reads it (CIP7, CIP13, DataMatrix,\n"
    "          ]E0 and an EAN-13). These three read Medicaments.txt,\n"
    "          Compositions.txt and Disponibilites.txt beside the article file\n"
    "          (the availability refreshed in the data folder when it is newer);\n"
    "          --db and --data as for search.\n"
    "\n"
    "The bundled Data/BaseDeDonneeArticles.db is made from the May 2026 export with\n"
    "  quillor-catalogue import CIS_bdpm.txt CIS_CIP_bdpm.txt -o data/BaseDeDonneeArticles.db\n"
    "\n"
    "Exit status: 0 on success, 1 on failure, 2 on bad usage.\n";

int BadUsage(const std::string& why) {
  std::cerr << "quillor-catalogue: " << why << "\n\n" << kUsage;
  return kExitUsage;
}

int RunDecode(const std::vector<std::string>& args) {
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return BadUsage("decode takes one file");
  return Decode(args[0], std::cout, std::cerr);
}

int RunEncode(const std::vector<std::string>& args) {
  std::string input;
  std::string output;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (i + 1 >= args.size() || !output.empty()) return BadUsage("-o needs one output file");
      output = args[++i];
    } else if (!args[i].empty() && args[i][0] == '-') {
      return BadUsage("unknown option " + args[i]);
    } else if (input.empty()) {
      input = args[i];
    } else {
      return BadUsage("encode takes one input file");
    }
  }
  if (input.empty() || output.empty()) return BadUsage("encode needs PLAIN.csv and -o FILE.db");
  return Encode(input, output, std::cerr);
}

int RunImport(const std::vector<std::string>& args) {
  ImportCommand command;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (i + 1 >= args.size() || !command.articleFile.empty()) return BadUsage("-o needs one output file");
      command.articleFile = args[++i];
    } else if (args[i] == "--all") {
      command.allPresentations = true;
    } else if (args[i] == "--availability-date") {
      const std::optional<quillor::TDayDate> date =
          i + 1 < args.size() ? quillor::ParseDayDate(args[i + 1]) : std::nullopt;
      if (!date) return BadUsage("--availability-date needs a date, dd/mm/yyyy");
      command.availabilityDate = *date;
      ++i;
    } else if (args[i] == "--audit") {
      command.listAudit = true;
    } else if (!args[i].empty() && args[i][0] == '-') {
      return BadUsage("unknown option " + args[i]);
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2 || command.articleFile.empty()) {
    return BadUsage("import needs CIS_bdpm.txt, CIS_CIP_bdpm.txt and -o FILE.db");
  }
  command.specialitiesFile = files[0];
  command.presentationsFile = files[1];
  return Import(command, std::cout, std::cerr);
}

// Reads [--db FILE | --data FOLDER] [--] WORD... into `options` and
// `dataFolder`; `searchFlags` admits --approx and --scores too. False with
// the fault to say on a bad option.
bool ReadQueryArgs(const std::vector<std::string>& args, bool searchFlags, SearchOptions& options,
                   std::string& dataFolder, std::string& fault) {
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (searchFlags && !optionsEnded && arg == "--approx") {
      options.approximate = true;
    } else if (searchFlags && !optionsEnded && arg == "--scores") {
      options.scores = true;
    } else if (!optionsEnded && arg == "--db") {
      if (i + 1 >= args.size() || !options.dbFile.empty()) {
        fault = "--db needs a file";
        return false;
      }
      options.dbFile = args[++i];
    } else if (!optionsEnded && arg == "--data") {
      if (i + 1 >= args.size() || !dataFolder.empty()) {
        fault = "--data needs a folder";
        return false;
      }
      dataFolder = args[++i];
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      fault = "unknown option " + arg;
      return false;
    } else {
      options.words.push_back(ArgumentToCp1252(arg));
    }
  }
  return true;
}

// The data the words run on: the file given, else the catalogue the window
// would use from `dataFolder` (the user's data folder if empty) and the
// availability it would show; and the terminal's encoding for the output.
bool UseData(SearchOptions& options, const std::string& dataFolder, std::string& fault) {
  if (!options.dbFile.empty() && !dataFolder.empty()) {
    fault = "--db and --data exclude each other";
    return false;
  }
  if (options.dbFile.empty()) {
    const std::string folder = dataFolder.empty() ? quillor::UserDataFolder() : dataFolder;
    const quillor::update::TCatalogueLocation catalogue = quillor::update::LocateCatalogueInUse(folder);
    options.dbFile = catalogue.articleFile;
    options.availabilityFile = quillor::update::LocateAvailability(catalogue, folder).file;
  }
  if (OutputIsTerminal()) options.toOutput = &Cp1252ToLocale;
  options.toMessage = &Cp1252ToLocale;
  return true;
}

// [--db FILE | --data FOLDER] ARG...: the words of substance, the codes of equivalents and
// availability.
int RunKnowledgeCommand(const std::string& command, const std::vector<std::string>& args) {
  SearchOptions options;
  std::string dataFolder;
  std::string fault;
  if (!ReadQueryArgs(args, false, options, dataFolder, fault)) return BadUsage(fault);
  if (options.words.empty())
    return BadUsage(command + (command == "substance" ? " needs words" : " needs a code"));
  if (command == "equivalents" && options.words.size() != 1) return BadUsage("equivalents takes one code");
  if (!UseData(options, dataFolder, fault)) return BadUsage(fault);
  if (command == "substance") return Substance(options, std::cout, std::cerr);
  if (command == "equivalents") return Equivalents(options, std::cout, std::cerr);
  return Availability(options, std::cout, std::cerr);
}

int RunSearch(const std::vector<std::string>& args) {
  SearchOptions options;
  std::string dataFolder;
  std::string fault;
  if (!ReadQueryArgs(args, true, options, dataFolder, fault)) return BadUsage(fault);
  if (options.words.empty()) return BadUsage("search needs a query");
  if (!UseData(options, dataFolder, fault)) return BadUsage(fault);
  return Search(options, std::cout, std::cerr);
}

int RunUpdate(const std::vector<std::string>& args) {
  UpdateOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size() || !into.empty()) return false;
      into = args[++i];
      return !into.empty();
    };
    if (arg == "--from") {
      if (!value(options.from)) return BadUsage("--from needs an address or a folder");
    } else if (arg == "--data") {
      if (!value(options.dataFolder)) return BadUsage("--data needs a folder");
    } else if (arg == "--ca-file") {
      if (!value(options.caFile)) return BadUsage("--ca-file needs a file");
    } else if (arg == "--force") {
      options.force = true;
    } else if (arg == "--rollback") {
      options.rollback = true;
    } else {
      return BadUsage("unknown option " + arg);
    }
  }
  if (options.rollback && (!options.from.empty() || options.force || !options.caFile.empty())) {
    return BadUsage("--rollback takes no --from, --force or --ca-file");
  }
  options.progressBar = ErrorIsTerminal();
  options.toMessage = &Cp1252ToLocale;
  return Update(options, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  // The character type only: numbers keep the C locale's decimal point.
  std::setlocale(LC_CTYPE, "");
  std::ios::sync_with_stdio(false);
  // The program's folder (for the installed data), the user's folders and the
  // update's event loop.
  QCoreApplication application(argc, argv);
  quillor::SetApplicationIdentity();
  if (argc < 2) return BadUsage("no command");
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "-h" || command == "--help" || command == "help") {
    std::cout << kUsage;
    return kExitOk;
  }
  try {
    if (command == "import") return RunImport(args);
    if (command == "decode") return RunDecode(args);
    if (command == "encode") return RunEncode(args);
    if (command == "search") return RunSearch(args);
    if (command == "update") return RunUpdate(args);
    if (command == "substance" || command == "equivalents" || command == "availability")
      return RunKnowledgeCommand(command, args);
  } catch (const std::exception& e) {
    std::cerr << "quillor-catalogue: " << e.what() << "\n";
    return kExitFailure;
  }
  return BadUsage("unknown command " + command);
}

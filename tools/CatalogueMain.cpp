// quillor-catalogue: reads, writes and searches Quillor's scrambled article
// file from the command line. Trace reports go to stderr.
#include <clocale>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "CatalogueCommands.h"
#include "DayDate.h"
#include "LocaleText.h"

namespace {

using namespace quillor::catalogue;

constexpr char kUsage[] =
    "usage: quillor-catalogue import CIS_bdpm.txt CIS_CIP_bdpm.txt -o FILE.db [--all]\n"
    "                                [--availability-date DD/MM/YYYY]\n"
    "       quillor-catalogue decode FILE.db\n"
    "       quillor-catalogue encode PLAIN.csv -o FILE.db\n"
    "       quillor-catalogue search [--approx] [--scores] [--db FILE.db] QUERY...\n"
    "       quillor-catalogue substance [--db FILE.db] WORDS...\n"
    "       quillor-catalogue equivalents [--db FILE.db] CODE\n"
    "       quillor-catalogue availability [--db FILE.db] CODE...\n"
    "\n"
    "  import  make an article file from the public drug database's two export\n"
    "          files (base-donnees-publique.medicaments.gouv.fr), one article per\n"
    "          presentation that can be ordered, with a short designation; prints\n"
    "          a summary and every line skipped or mended\n"
    "          --all      keep every presentation, even those no longer sold\n"
    "          the publication's other files beside CIS_bdpm.txt (CIS_COMPO_bdpm.txt,\n"
    "          CIS_GENER_bdpm.txt, CIS_CPD_bdpm.txt, CIS_CIP_Dispo_Spec.txt), when\n"
    "          there, become Specialites.txt, Compositions.txt and Disponibilites.txt\n"
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
    "          --db FILE  the article file (default ./Data/BaseDeDonneeArticles.db)\n"
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
    "          ]E0 and an EAN-13). These three read Specialites.txt,\n"
    "          Compositions.txt and Disponibilites.txt beside the article file.\n"
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

// [--db FILE] ARG...: the words of substance, the codes of equivalents and
// availability.
int RunKnowledgeCommand(const std::string& command, const std::vector<std::string>& args) {
  SearchOptions options;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg == "--db") {
      if (i + 1 >= args.size()) return BadUsage("--db needs a file");
      options.dbFile = args[++i];
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      return BadUsage("unknown option " + arg);
    } else {
      options.words.push_back(ArgumentToCp1252(arg));
    }
  }
  if (options.words.empty())
    return BadUsage(command + (command == "substance" ? " needs words" : " needs a code"));
  if (command == "equivalents" && options.words.size() != 1) return BadUsage("equivalents takes one code");
  if (OutputIsTerminal()) options.toOutput = &Cp1252ToLocale;
  options.toMessage = &Cp1252ToLocale;
  if (command == "substance") return Substance(options, std::cout, std::cerr);
  if (command == "equivalents") return Equivalents(options, std::cout, std::cerr);
  return Availability(options, std::cout, std::cerr);
}

int RunSearch(const std::vector<std::string>& args) {
  SearchOptions options;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg == "--approx") {
      options.approximate = true;
    } else if (!optionsEnded && arg == "--scores") {
      options.scores = true;
    } else if (!optionsEnded && arg == "--db") {
      if (i + 1 >= args.size()) return BadUsage("--db needs a file");
      options.dbFile = args[++i];
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      return BadUsage("unknown option " + arg);
    } else {
      options.words.push_back(ArgumentToCp1252(arg));
    }
  }
  if (options.words.empty()) return BadUsage("search needs a query");
  if (OutputIsTerminal()) options.toOutput = &Cp1252ToLocale;
  options.toMessage = &Cp1252ToLocale;
  return Search(options, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  // The character type only: numbers keep the C locale's decimal point.
  std::setlocale(LC_CTYPE, "");
  std::ios::sync_with_stdio(false);
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
    if (command == "substance" || command == "equivalents" || command == "availability")
      return RunKnowledgeCommand(command, args);
  } catch (const std::exception& e) {
    std::cerr << "quillor-catalogue: " << e.what() << "\n";
    return kExitFailure;
  }
  return BadUsage("unknown command " + command);
}

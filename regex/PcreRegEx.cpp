#define PCRE2_CODE_UNIT_WIDTH 8
#include "regex/PcreRegEx.h"

#include <pcre2.h>

#include <atomic>
#include <iterator>
#include <new>

namespace quillor {
namespace {

// Every successful compile of every object; read by tests and benchmarks to
// show that unchanged patterns are not compiled again.
std::atomic<int64_t> gCompileCount{0};

constexpr uint32_t kOptionBits[] = {
    PCRE2_CASELESS,         // preCaseLess
    PCRE2_MULTILINE,        // preMultiLine
    PCRE2_DOTALL,           // preSingleLine
    PCRE2_EXTENDED,         // preExtended
    PCRE2_ANCHORED,         // preAnchored
    PCRE2_UNGREEDY,         // preUnGreedy
    PCRE2_NO_AUTO_CAPTURE,  // preNoAutoCapture
};

uint32_t CompileOptionsFor(TPcreRegExOptions options) {
  uint32_t bits = 0;
  for (unsigned m = 0; m < std::size(kOptionBits); ++m) {
    if (options.Contains(static_cast<TPcreRegExOption>(m))) bits |= kOptionBits[m];
  }
  return bits;
}

std::string ErrorText(int errorCode) {
  PCRE2_UCHAR buffer[256];
  const int length = pcre2_get_error_message(errorCode, buffer, sizeof buffer);
  if (length < 0) return "unknown error " + std::to_string(errorCode);
  return std::string(reinterpret_cast<const char*>(buffer), static_cast<size_t>(length));
}

pcre2_code* Code(void* handle) {
  return static_cast<pcre2_code*>(handle);
}
pcre2_match_data* MatchData(void* handle) {
  return static_cast<pcre2_match_data*>(handle);
}
pcre2_compile_context* CompileContext(void* handle) {
  return static_cast<pcre2_compile_context*>(handle);
}
pcre2_match_context* MatchContext(void* handle) {
  return static_cast<pcre2_match_context*>(handle);
}

bool IsLimitError(int rc) {
  return rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT;
}

}  // namespace

TPcreRegEx::TPcreRegEx() {
  // Tables follow the character classification of the locale current now,
  // as the object's patterns will see it for the whole of its life.
  fTables = pcre2_maketables(nullptr);
  pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
  pcre2_match_data* matchData = pcre2_match_data_create(kOffsetPairs, nullptr);
  pcre2_match_context* matchContext = pcre2_match_context_create(nullptr);
  if (fTables == nullptr || context == nullptr || matchData == nullptr || matchContext == nullptr) {
    pcre2_match_context_free(matchContext);
    pcre2_match_data_free(matchData);
    pcre2_compile_context_free(context);
    pcre2_maketables_free(nullptr, fTables);
    throw std::bad_alloc();
  }
  pcre2_set_newline(context, PCRE2_NEWLINE_ANY);
  pcre2_set_character_tables(context, fTables);
  fCompileContext = context;
  fMatchData = matchData;
  fMatchContext = matchContext;
  fCompileOptions = CompileOptionsFor(fOptions);
}

TPcreRegEx::~TPcreRegEx() {
  CleanUp();
  pcre2_match_context_free(MatchContext(fMatchContext));
  pcre2_match_data_free(MatchData(fMatchData));
  // The context refers to the tables, so it goes first.
  pcre2_compile_context_free(CompileContext(fCompileContext));
  pcre2_maketables_free(nullptr, fTables);
}

void TPcreRegEx::SetRegEx(const std::string& pattern) {
  if (pattern == fRegEx) return;
  fRegEx = pattern;
  CleanUp();
}

void TPcreRegEx::SetOptions(TPcreRegExOptions options) {
  if (options == fOptions) return;
  fOptions = options;
  fCompileOptions = CompileOptionsFor(fOptions);
  CleanUp();
}

void TPcreRegEx::SetSubject(const std::string& subject) {
  fSubject = subject;
  fSubjectLength = static_cast<int32_t>(fSubject.size());
  fOffsetCount = 0;
}

void TPcreRegEx::CleanUp() {
  fCompiled = false;
  // Freeing the code also frees its JIT code, the only study data there is.
  pcre2_code_free(Code(fPattern));
  fPattern = nullptr;
  fOffsetCount = 0;
}

void TPcreRegEx::Compile() {
  if (fRegEx.empty())
    throw ERegExError("TPcreRegEx.Compile() - Please specify a regular expression in RegEx first");
  CleanUp();
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(fRegEx.data()), fRegEx.size(), fCompileOptions, &errorCode,
                    &errorOffset, CompileContext(fCompileContext));
  if (code == nullptr) {
    throw ERegExError("TPcreRegEx.Compile() - Error in regex at offset " + std::to_string(errorOffset) +
                      ": " + ErrorText(errorCode));
  }
  fPattern = code;
  fCompiled = true;
  gCompileCount.fetch_add(1, std::memory_order_relaxed);
}

void TPcreRegEx::Study() {
  if (!fCompiled) Compile();
  const int rc = pcre2_jit_compile(Code(fPattern), PCRE2_JIT_COMPLETE);
  // A library built without a JIT, or a system that refuses executable memory,
  // leaves the interpreter, which matches exactly the same: nothing to report.
  if (rc == 0 || rc == PCRE2_ERROR_JIT_BADOPTION || rc == PCRE2_ERROR_NOMEMORY) return;
  throw ERegExError("TPcreRegEx.Study() - Error studying the regex: " + ErrorText(rc));
}

uint32_t TPcreRegEx::MatchLimitFor(size_t length) {
  constexpr uint64_t kCeiling = UINT32_MAX;
  const uint64_t limit = kMatchLimitBase + uint64_t{kMatchLimitPerByte} * length;
  return static_cast<uint32_t>(limit < kCeiling ? limit : kCeiling);
}

bool TPcreRegEx::Match() {
  if (!fCompiled) Compile();
  pcre2_match_data* matchData = MatchData(fMatchData);
  pcre2_match_context* matchContext = MatchContext(fMatchContext);
  // The JIT honours the match limit; the interpreter honours both.
  const uint32_t limit = MatchLimitFor(fSubject.size());
  pcre2_set_match_limit(matchContext, limit);
  pcre2_set_depth_limit(matchContext, limit);
  const auto subject = reinterpret_cast<PCRE2_SPTR>(fSubject.data());
  int rc = pcre2_match(Code(fPattern), subject, fSubject.size(), 0, PCRE2_NOTEMPTY, matchData, matchContext);
  // The JIT's fixed stack is smaller than what the interpreter may use on the
  // heap: a deeply repeated group on a long subject must not turn into a
  // silent "no match" just because the pattern was studied.
  if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
    rc = pcre2_match(Code(fPattern), subject, fSubject.size(), 0, PCRE2_NOTEMPTY | PCRE2_NO_JIT, matchData,
                     matchContext);
  }
  if (IsLimitError(rc)) {
    fOffsetCount = 0;
    throw ERegExError("TPcreRegEx.Match() - Motif trop complexe (limite de recherche atteinte) : " + fRegEx);
  }
  // 0 means the offsets had no room for every group; like a library error, it
  // reads as no match.
  fOffsetCount = rc;
  if (rc <= 0) return false;
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(matchData);
  const int used = 2 * rc;
  for (int i = 0; i < used; ++i) {
    fOffsets[i] = ovector[i] == PCRE2_UNSET ? 0 : static_cast<int32_t>(ovector[i] + 1);
  }
  for (int i = used; i < 2 * kOffsetPairs + 1; ++i) fOffsets[i] = 0;
  return true;
}

int32_t TPcreRegEx::GroupCount() const {
  if (!FoundMatch()) throw ERegExAssertion("REQUIRE: There must be a successful match first (PcreRegEx)");
  return fOffsetCount - 1;
}

std::string TPcreRegEx::Groups(int32_t i) const {
  // The match requirement holds for every index, a negative one included.
  const int32_t groupCount = GroupCount();
  if (i < 0 || i > groupCount) return std::string();
  const int32_t start = fOffsets[2 * i];
  const int32_t count = fOffsets[2 * i + 1] - start;
  // A group that did not take part is 0, 0 and reads as empty.
  if (start < 1 || count <= 0) return std::string();
  return fSubject.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count));
}

int32_t TPcreRegEx::Offset(int32_t i) const {
  if (i < 0 || i >= 2 * kOffsetPairs + 1) return 0;
  return fOffsets[i];
}

int64_t TPcreRegEx::CompileCountForTesting() {
  return gCompileCount.load(std::memory_order_relaxed);
}

}  // namespace quillor

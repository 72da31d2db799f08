// What the order window says of an article beyond its code, designation and
// price, from the knowledge beside the article file: the grid's mark for an
// article in shortage, under supply tension, whose marketing ended, or
// reserved for hospital use (a colour and a word); its tooltip; the question
// asked before ordering an article in shortage or no longer marketed; the
// dates of the data for the window's title; and what the window could not
// read. Texts are Windows-1252, in French.
//
// Plain functions; GUI thread only, as the knowledge is.
#pragma once

#include <string>
#include <vector>

#include "grid/MyStringGrid.h"
#include "knowledge/Knowledge.h"

namespace quillor {

// The key that lists the equivalents of the selected article, as its
// shortcut reads it and as the window names it.
inline constexpr char kEquivalentsKeyName[] = "F4";

// The grid's mark of the article `cip7`; false when it has none (available,
// back in stock, or unknown, and not reserved for hospital use).
bool ArticleMark(const TKnowledge& knowledge, const std::string& cip7, TRowMark& mark);

// "Rupture de stock depuis le 14/04/2026", "Disponible"...
std::string AvailabilitySentence(const TArticleAvailability& availability);

// The tooltip of the article's row: its availability with the date of the
// agency's last update and the agency's page, the hospital reservation, and
// how to list its equivalents. Every row has one, for the last line.
std::string ArticleTooltip(const TKnowledge& knowledge, const std::string& cip7);

// The question before ordering an article whose availability asks for one
// (AsksBeforeOrdering): what it is and since when, and how many
// equivalents there are, how many of them available.
std::string OrderQuestion(const std::string& cip7, const std::string& designation,
                          const TArticleAvailability& availability, size_t equivalents, size_t available);
// Its answers. The choices: show the equivalents (first, so that the
// default adds nothing; only when there are some), add the line anyway, add
// nothing (last, the answer of Escape).
enum class TOrderAnswer { kAdd, kShowEquivalents, kCancel };
std::vector<std::string> OrderChoices(size_t equivalents);
TOrderAnswer OrderAnswerOf(size_t choice, size_t equivalents);

// "Catalogue du 27/05/2026 — disponibilités du 19/05/2026", the dates the
// knowledge files give; the empty text when they give none.
std::string DataDates(const TKnowledge& knowledge);

// What the window could not read of Specialites.txt and Disponibilites.txt,
// with what is therefore missing, one sentence per file; empty when all was
// read.
std::string KnowledgeProblems(const TKnowledge& knowledge);
// The same of Compositions.txt, read on first need: a sentence, or empty
// when it was read whole (or when Specialites.txt, whose problem says it
// all, could not be).
std::string CompositionsProblem(TKnowledge& knowledge);

// The caption over an equivalents list.
std::string EquivalentsCaption(const std::string& cip7, const std::string& designation,
                               const TEquivalents& equivalents);

}  // namespace quillor

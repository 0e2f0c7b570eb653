// Writers for the generated header and the human-readable report.
#pragma once

#include <ostream>
#include <string>

#include "grammar.h"
#include "lalr.h"
#include "tables.h"

namespace zorm::lalrgen {

void write_header(std::ostream& out, const Grammar& grammar, const Automaton& automaton,
                  const ParseTables& tables, const std::string& grammar_name);

// The summary: counts, conflicts and how each was resolved, unused rules.
void write_summary(std::ostream& out, const Grammar& grammar, const Automaton& automaton,
                   const std::string& grammar_name);

// The summary followed by the rule list and a listing of every state.
void write_report(std::ostream& out, const Grammar& grammar, const Automaton& automaton,
                  const ParseTables& tables, const std::string& grammar_name);

}  // namespace zorm::lalrgen

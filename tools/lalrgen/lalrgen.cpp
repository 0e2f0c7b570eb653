// zorm_lalrgen: builds the operand parser's LALR(1) tables from a grammar.
//
//   zorm_lalrgen <grammar-file> <output-header> [<report-file>]
//
// Conflicts are resolved (shift beats reduce, the earliest rule wins
// between reductions) and each one is listed on standard output and in the
// report.  Exit status: 0 on success, 1 for a malformed grammar or an I/O
// failure, 2 for bad usage.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <system_error>

#include "grammar.h"
#include "lalr.h"
#include "output.h"
#include "tables.h"

namespace {

using namespace zorm::lalrgen;

bool read_file(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

// Writes through a temporary file so that a failed run never leaves a
// half-written header behind for the build to pick up.
bool write_file(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << text;
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void print_diagnostic(const std::string& file, const Diagnostic& d, const char* severity) {
    std::cerr << file << ':';
    if (d.line > 0) std::cerr << d.line << ':';
    std::cerr << ' ' << severity << ": " << d.message << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: zorm_lalrgen <grammar-file> <output-header> [<report-file>]\n";
        return 2;
    }
    const std::string grammar_path = argv[1];
    const std::string header_path = argv[2];
    const std::string report_path = argc == 4 ? argv[3] : "";

    std::string text;
    if (!read_file(grammar_path, text)) {
        std::cerr << "zorm_lalrgen: cannot read " << grammar_path << '\n';
        return 1;
    }

    Grammar grammar;
    std::vector<Diagnostic> warnings;
    try {
        grammar = read_grammar(text, warnings);
    } catch (const GrammarError& error) {
        for (const Diagnostic& d : warnings) print_diagnostic(grammar_path, d, "warning");
        for (const Diagnostic& d : error.diagnostics()) print_diagnostic(grammar_path, d, "error");
        return 1;
    }
    for (const Diagnostic& d : warnings) print_diagnostic(grammar_path, d, "warning");

    const Automaton automaton = build_automaton(grammar);
    const ParseTables tables = make_tables(grammar, automaton);
    const std::string name = std::filesystem::path(grammar_path).filename().string();

    write_summary(std::cout, grammar, automaton, name);

    std::ostringstream header;
    write_header(header, grammar, automaton, tables, name);
    if (!write_file(header_path, header.str())) {
        std::cerr << "zorm_lalrgen: cannot write " << header_path << '\n';
        return 1;
    }
    if (!report_path.empty()) {
        std::ostringstream report;
        write_report(report, grammar, automaton, tables, name);
        if (!write_file(report_path, report.str())) {
            std::cerr << "zorm_lalrgen: cannot write " << report_path << '\n';
            return 1;
        }
    }
    return 0;
}

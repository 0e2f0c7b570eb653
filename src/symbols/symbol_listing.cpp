#include "symbols/symbol_listing.h"

#include <initializer_list>

namespace zorm {

namespace {

// Undefined labels as errors of pass 1, and the debug file's symbol section.
void report_and_record_symbols(const Pass1Symbols& pass) {
  DebugFile& debug = pass.debug;
  if (debug.is_open()) debug.write_byte(0);  // ends the file records
  // Without a debug file only the undefined names are needed, in name order.
  const std::vector<Symbol*> symbols =
      debug.is_open() ? pass.symbols.in_order() : pass.symbols.in_order(SYM_UNDEFINED);
  for (Symbol* symbol : symbols) {
    if (symbol->kind == SYM_UNDEFINED) {
      for (TextStream* stream : {&pass.out, &pass.listing.out()}) {
        stream->printf("File %s, Line %d : Undefined label %s\n", pass.source_name.c_str(), symbol->value,
                       symbol->name_data);
      }
      ++pass.diagnostics.error_count;
      // The main file's line of the first reference, as printed.
      pass.diagnostics.note_message("Undefined label " + std::string(symbol->name()), 0, symbol->value);
      pass.listing.listing_advance_line();
    } else if (symbol->kind != SYM_MACRO && debug.is_open()) {
      debug.write_symbol_record(std::string(symbol->name()), symbol->attributes, symbol->value);
    }
  }
  if (debug.is_open()) {
    debug.write_byte(0);  // ends the symbol records
    debug.check_written();
  }
}

void print_symbol_table(const Pass1Symbols& pass) {
  Listing& pages = pass.listing;
  TextStream& listing = pages.out();
  if (pages.listing_page_used) {
    listing.put('\n');
    pages.page_line_count = -1;
    pages.listing_advance_line();
  }

  int labels_listed = 0;
  pages.print_heading("Symbol Table");
  pages.listing_advance_line();
  listing.put('\n');
  pages.listing_advance_line();
  listing.printf("              Symbol   Value        Decimal\n");
  pages.listing_advance_line();
  listing.put('\n');
  pages.listing_advance_line();

  for (const Symbol* symbol : pass.symbols.in_order()) {
    if (symbol->kind == SYM_UNDEFINED) continue;
    if (symbol->kind == SYM_MACRO) {
      listing.printf("%20s : <macro>\n", symbol->name_data);
      pages.listing_advance_line();
      continue;
    }
    ++labels_listed;
    const int32_t value = symbol->value;
    const char* marker = symbol->kind == SYM_SET ? "   *" : "";
    if (value >= -32768 && value <= 65535) {
      listing.printf("%20s : $%04lx     %10ld%s\n", symbol->name_data, static_cast<unsigned long>(value & 0xFFFF),
                     static_cast<long>(value), marker);
    } else {
      listing.printf("%20s : $%08lx %10ld%s\n", symbol->name_data,
                     static_cast<unsigned long>(static_cast<uint32_t>(value)), static_cast<long>(value), marker);
    }
    pages.listing_advance_line();
  }

  listing.printf("\n%d labels used\n\n", labels_listed);
  pages.listing_advance_line();
}

}  // namespace

void finish_pass1_symbols(const Pass1Symbols& pass) {
  report_and_record_symbols(pass);
  if (pass.symbol_table) print_symbol_table(pass);
}

}  // namespace zorm

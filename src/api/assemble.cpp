// assemble(): one run of the assembler set up from the options, and its
// results gathered as data.
#include <unordered_map>

#include "assembly/assembler.h"
#include "zorm/assembly.h"

namespace zorm {

namespace {

// The command line the options stand for: the option strings as given, the
// typed settings as the same options after them, the main file last.
std::vector<std::string> command_line_of(const AssemblyOptions& options) {
  std::vector<std::string> args{"zorm"};
  args.insert(args.end(), options.arguments.begin(), options.arguments.end());
  if (options.processor) args.push_back("-x" + std::to_string(static_cast<int>(*options.processor)));
  for (const std::string& text : options.defines) args.push_back("-D" + text);
  for (const std::string& path : options.include_paths) args.push_back("-I" + path);
  if (options.object_format) args.push_back("-s" + std::to_string(static_cast<int>(*options.object_format)));
  if (options.want_debug_file) args.push_back("-g");
  if (!options.main_file.empty()) args.push_back(options.main_file);
  return args;
}

SymbolKind kind_of(const Symbol& symbol) {
  if (symbol.kind == SYM_MACRO) return SymbolKind::macro;
  if (symbol.kind == SYM_SET) return SymbolKind::set;
  if (symbol.structure) return SymbolKind::structure;
  // Labels carry their segment in bits 4 and 5; equ names (those of the
  // command line and the processor's among them) 0x50, members 0x40 + size.
  switch (symbol.attributes & 0x70) {
    case 0x50: return SymbolKind::equ;
    case 0x40: return SymbolKind::member;
    default: return SymbolKind::label;
  }
}

std::vector<SymbolInfo> symbols_of(const SymbolTable& table) {
  std::vector<SymbolInfo> symbols;
  for (const Symbol* symbol : table.in_order()) {
    if (symbol->kind == SYM_UNDEFINED) continue;
    SymbolInfo& info = symbols.emplace_back();
    info.name = symbol->name();
    info.value = symbol->value;
    info.kind = kind_of(*symbol);
    info.file = symbol->defined_file;
    info.line = symbol->defined_line;
    info.column = symbol->defined_column;
  }
  return symbols;
}

// Each reference learns the index of its symbol.
void link_references(std::vector<SymbolReference>& references, const std::vector<SymbolInfo>& symbols) {
  std::unordered_map<std::string_view, int> index;
  for (size_t i = 0; i < symbols.size(); ++i) index.emplace(symbols[i].name, static_cast<int>(i));
  for (SymbolReference& reference : references) {
    auto found = index.find(reference.name);
    reference.symbol = found == index.end() ? -1 : found->second;
  }
}

}  // namespace

AssemblyResult assemble(const AssemblyOptions& options) {
  TextStream out;
  TextStream err;
  if (options.standard_output != nullptr) out.attach(options.standard_output);
  if (options.standard_error != nullptr) err.attach(options.standard_error);

  TemporaryFiles own_temporary_files;
  Assembler as(out, err, options.temporary_files != nullptr ? *options.temporary_files : own_temporary_files);
  if (options.sources != nullptr) as.source_provider = options.sources;
  as.write_files = options.write_files;
  as.keep_object = true;
  as.keep_listing = options.want_listing;
  as.keep_debug_file = options.want_debug_file;
  as.keep_records = true;
  as.record_references = options.want_references;
  as.use_include_environment = options.use_include_environment;
  as.cancel = options.cancel;
  as.statement_limit = options.statement_budget;

  AssemblyResult result;
  result.exit_status = as.run(command_line_of(options));
  result.stopped = as.stop_reason;
  result.processor = static_cast<Processor>(as.processor_level);

  RunRecords& records = as.records;
  result.files = std::move(records.files);
  result.diagnostics = std::move(records.diagnostics);
  result.symbols = symbols_of(as.symbols);
  result.references = std::move(records.references);
  if (!result.references.empty()) link_references(result.references, result.symbols);
  result.lines = std::move(records.lines);
  result.includes = std::move(records.includes);

  if (as.image.created()) {
    result.memory.resize(IMAGE_SIZE);
    result.used.resize(IMAGE_SIZE);
    for (uint32_t address = 0; address < IMAGE_SIZE; ++address) {
      const uint16_t cell = as.image.image_read(address);
      result.memory[address] = static_cast<uint8_t>(cell);
      result.used[address] = (cell & USED_MARK) != 0;
    }
  }
  result.object.assign(as.object_bytes.begin(), as.object_bytes.end());
  if (as.conditionals.start_address != -1) {
    result.start_address = static_cast<uint32_t>(as.conditionals.start_address) & 0xFFFF;
  }

  if (options.want_listing && !as.options.listing_to_stdout) result.listing = as.listing_file.take_text();
  if (options.want_debug_file) {
    const std::string bytes = as.debug.take_bytes();
    result.debug_file.assign(bytes.begin(), bytes.end());
  }
  if (options.standard_output == nullptr) result.standard_output = out.take_text();
  if (options.standard_error == nullptr) result.standard_error = err.take_text();
  return result;
}

}  // namespace zorm

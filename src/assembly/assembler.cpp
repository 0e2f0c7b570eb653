#include "assembly/assembler.h"

#include "assembly/fatal_exit.h"
#include "assembly/processor.h"
#include "listing/memory_map.h"

namespace zorm {

Assembler::Assembler(TextStream& out_stream, TextStream& err_stream)
    : Assembler(out_stream, err_stream, own_temporary_files_) {}

Assembler::Assembler(TextStream& out_stream, TextStream& err_stream, TemporaryFiles& files)
    : out(out_stream),
      err(err_stream),
      temporary_files(files),
      diagnostics(*this),
      sources(*this),
      macros(*this),
      lexer(*this),
      values(*this),
      parser(*this),
      statement_cache(*this),
      statements(*this),
      conditionals(*this),
      symbols(*this),
      structures(*this),
      image(pass_number),
      listing(ListingInputs{options, out, listing_file, sources.current_line, image, encoding, statements}),
      debug(out, temporary_files),
      encoders{values, image, encoding, processor_level, pass_number, options.optimisation_state, diagnostics, sources},
      data{values, image, encoding, char_map, statements.label_attributes} {}

Assembler::~Assembler() = default;

int Assembler::run(const std::vector<std::string>& args) {
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  argv.push_back(nullptr);
  return run(static_cast<int>(args.size()), argv.data());
}

int Assembler::run(int argc, const char* const* argv) {
  int status;
  try {
    parse_command_line(*this, argc, argv);
    status = run_passes();
  } catch (const FatalExit& fatal) {
    status = fatal.status;
  }
  sources.close_all();
  if (!debug.close()) {
    // A debug file that could not be completed leaves an earlier one alone.
    out.printf("Can't create output file %s.\n", options.debug_name.c_str());
    status = EXIT_FILE;
  }
  listing_file.close();
  if (listing_file.failed()) {
    // A listing that could not be written completely is a failed run, and
    // leaves an earlier listing alone.
    out.printf("Can't create output file %s.\n", options.listing_name.c_str());
    status = EXIT_FILE;
  }
  out.flush();
  if (options.listing_to_stdout && out.failed() && status != EXIT_USAGE) {
    // A listing on standard output that could not be written: standard error
    // is the only place left to say so.
    err.printf("Can't create output file %s.\n", options.listing_name.c_str());
    status = EXIT_FILE;
  }
  err.flush();
  return status;
}

ObjectRequest Assembler::object_request(const std::string& name, int format, uint32_t limit) {
  return ObjectRequest{image,
                       name,
                       format,
                       limit,
                       conditionals.start_address,
                       options.fill_byte == 0x00,
                       options.verbose,
                       out,
                       listing_is_file() ? &listing : nullptr,
                       write_files,
                       temporary_files,
                       keep_object ? &object_bytes : nullptr};
}

Pass1Symbols Assembler::pass1_symbols() {
  return Pass1Symbols{symbols, debug, diagnostics, out, listing, options.source_name, options.symbol_table};
}

void Assembler::check_stop(uint64_t statements) {
  if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
    stop_reason = StopReason::cancelled;
    throw FatalExit{EXIT_ASSEMBLY_ERRORS};
  }
  if (statement_limit != 0 && statements > statement_limit) {
    stop_reason = StopReason::budget;
    throw FatalExit{EXIT_ASSEMBLY_ERRORS};
  }
}

namespace {
const char* plural(uint32_t count) { return count == 1 ? "" : "s"; }
}  // namespace

void Assembler::run_pass() {
  image.location_counter = 0;
  sources.expansion_counter = 1;
  listing.listing_page_used = false;
  encoding.statement_form = 0;
  set_char_map(data, 0);
  statements.assemble_pass();
}

// The two passes and the run summary, after the command line was read.
int Assembler::run_passes() {
  Options& o = options;
  TextStream& lst = listing_out();
  const bool to_file = listing_is_file();

  listing.listing_title = o.title_name;
  if (!o.quiet && !o.listing_to_stdout) out.printf("%s  %s\n%s", PROGRAM_TITLE, NOTICE_TEXT, o.verbose ? "\n" : "");
  if (o.verbose) out.printf("Optimization %sabled.\n", o.optimisation_state != 0 ? "dis" : "en");

  const char* processor_name = select_processor(*this);
  if (debug.is_open()) debug.write_processor_record(processor_code);
  if (o.verbose && processor_name != nullptr) out.printf("%s extensions enabled.\n", processor_name);
  if (o.verbose) out.puts("Pass 1.");

  // Pass 1.
  if (sources.open_source_file(o.source_name) != 0) return EXIT_FILE;
  listing.listing_advance_line();
  pass_number = 0;
  run_pass();
  finish_pass1_symbols(pass1_symbols());

  const bool pass1_used_listing = listing.listing_page_used;
  if (to_file) lst.printf("%u lines read, ", sources.total_lines_read);
  if (diagnostics.error_count != 0) {
    out.printf("%u lines read, ", sources.total_lines_read);
    out.printf("%u error%s in pass 1.\n", diagnostics.error_count, plural(diagnostics.error_count));
    if (to_file) {
      lst.printf("%u error%s in pass 1.\n", diagnostics.error_count, plural(diagnostics.error_count));
      lst.put('\f');
    }
    return EXIT_ASSEMBLY_ERRORS;
  }
  if (o.verbose) {
    out.printf("%u lines read, ", sources.total_lines_read);
    out.printf("no errors in pass 1.\n");
  }
  if (to_file) lst.printf("no errors in pass 1.\n");

  listing.listing_advance_line();
  pass_number = 1;
  if (o.verbose) out.puts("Pass 2.");

  // Pass 2.
  if (sources.open_source_file(o.source_name) != 0) {
    if (to_file) lst.write("Error starting pass 2.\n\f", 24);
    return EXIT_FILE;
  }
  if (pass1_used_listing && o.pass2_listing_level > 0) {
    listing.page_line_count = -1;
    listing.listing_advance_line();
  }
  image.reset_for_pass2();
  o.listing_level = o.pass2_listing_level;
  if (o.optimisation_state == -1) o.optimisation_state = 0;
  conditionals.conditional_depth = 0;
  conditionals.skip_depth = 0;
  diagnostics.error_count = 0;
  sources.total_lines_read = 0;
  run_pass();

  // After pass 2.
  if (debug.is_open()) debug.finish_debug_file();
  const uint32_t limit = image.memory_limit != 0 ? image.memory_limit : IMAGE_SIZE;
  if (o.memory_map) write_memory_map(image, listing, limit);
  if (diagnostics.error_count != 0) {
    out.printf("%u error%s in pass 2.\n", diagnostics.error_count, plural(diagnostics.error_count));
    if (to_file) {
      lst.printf("%u error%s in pass 2.\n", diagnostics.error_count, plural(diagnostics.error_count));
      lst.put('\f');
    }
    return EXIT_ASSEMBLY_ERRORS;
  }
  if (o.verbose) out.printf("No errors in pass 2.\n");
  if (to_file) lst.printf("No errors in pass 2.\n");
  listing.listing_advance_line();
  if (o.object_name != "nul") {
    write_object_file(object_request(o.object_name, o.output_format, limit));
  } else {
    lst.put('\f');
  }
  return EXIT_OK;
}

}  // namespace zorm

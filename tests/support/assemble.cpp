#include "support/assemble.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zorm::test {

TempDir::TempDir(Place place) {
  if (place == Place::memory) {
    char pattern[] = "/dev/shm/zorm-test-XXXXXX";
    if (mkdtemp(pattern) != nullptr) {
      path_ = pattern;
      return;
    }
  }
  char pattern[] = "/tmp/zorm-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  path_ = made != nullptr ? made : "/tmp";
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& content) const {
  std::string path = file(name);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream stream(path, std::ios::binary);
  stream << content;
  return path;
}

std::string read_file(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  std::ostringstream text;
  text << stream.rdbuf();
  return text.str();
}

std::vector<std::string> folder_entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string TempDir::read(const std::string& name) const { return read_file(file(name)); }

bool TempDir::exists(const std::string& name) const { return std::filesystem::exists(file(name)); }

std::vector<uint8_t> RunResult::bytes(uint32_t address, uint32_t count) const {
  std::vector<uint8_t> result;
  for (uint32_t i = 0; i < count; ++i) result.push_back(static_cast<uint8_t>(assembler->image.image_read(address + i)));
  return result;
}

RunResult run_assembler(const std::vector<std::string>& args) {
  RunResult run;
  run.out_stream = std::make_unique<TextStream>();
  run.err_stream = std::make_unique<TextStream>();
  run.assembler = std::make_unique<Assembler>(*run.out_stream, *run.err_stream);
  std::vector<std::string> argv{"zorm"};
  argv.insert(argv.end(), args.begin(), args.end());
  run.status = run.assembler->run(argv);
  run.out = run.out_stream->text();
  run.err = run.err_stream->text();
  return run;
}

ZormRun run_zorm(const std::vector<std::string>& args) {
  const RunResult run = run_assembler(args);
  return ZormRun{run.status, run.out, run.err};
}

std::unique_ptr<Assembled> assemble(const std::string& source, const std::vector<std::string>& options) {
  auto result = std::make_unique<Assembled>();
  const std::string path = result->dir.write("t.asm", source);
  std::vector<std::string> args = options;
  args.push_back(path);
  result->run = run_assembler(args);
  return result;
}

std::string encode(const std::string& source, const std::vector<std::string>& options) {
  std::vector<std::string> args = options;
  args.push_back("-q");
  auto result = assemble(source, args);
  const RunResult& run = result->run;
  if (run.status != 0) {
    // The message of the first diagnostic: the text after " : " on its
    // second line.
    const std::string& out = run.out;
    size_t colon = out.find(" : ");
    if (colon == std::string::npos) return "error: " + out;
    size_t end = out.find('\n', colon);
    return "error: " + out.substr(colon + 3, end == std::string::npos ? std::string::npos : end - colon - 3);
  }
  const MemoryImage& image = run.assembler->image;
  std::string hex;
  char buffer[4];
  for (uint32_t address = 0; address < IMAGE_SIZE; ++address) {
    if (!image.used(address)) continue;
    std::snprintf(buffer, sizeof buffer, "%02X", image.image_read(address) & 0xFF);
    if (!hex.empty()) hex += ' ';
    hex += buffer;
  }
  return hex;
}

}  // namespace zorm::test

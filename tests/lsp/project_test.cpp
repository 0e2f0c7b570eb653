#include "lsp/project.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace zorm::lsp {
namespace {

class ProjectTest : public ::testing::Test {
 protected:
  ProjectTest() {
    char pattern[] = "/tmp/zorm-project-XXXXXX";
    root = ::mkdtemp(pattern);
    ::mkdir((root + "/src").c_str(), 0755);
    ::mkdir((root + "/src/deep").c_str(), 0755);
  }
  ~ProjectTest() override { std::system(("rm -rf '" + root + "'").c_str()); }
  void write(const std::string& name, const std::string& text) { std::ofstream(root + "/" + name) << text; }

  std::string root;
};

TEST_F(ProjectTest, TheNearestProjectFileAboveTheDocumentHolds) {
  write("zorm.json", R"({"main":"src/game.asm","processor":"z180","defines":["DEBUG","ROM=0x8000"],
                        "includePaths":["inc"],"options":["-s2"],"unknown":1})");
  const ProjectSettings settings = find_project(root + "/src/deep", root);
  EXPECT_EQ(settings.file, root + "/zorm.json");
  EXPECT_EQ(settings.folder, root);
  EXPECT_EQ(settings.main, root + "/src/game.asm");
  EXPECT_EQ(settings.processor, Processor::z180);
  EXPECT_EQ(settings.defines, (std::vector<std::string>{"DEBUG", "ROM=0x8000"}));
  EXPECT_EQ(settings.include_paths, std::vector<std::string>{"inc"});
  EXPECT_EQ(settings.problem, "");

  write("src/zorm.json", "{}");
  const ProjectSettings nearer = find_project(root + "/src/deep", root);
  EXPECT_EQ(nearer.file, root + "/src/zorm.json");
  EXPECT_EQ(nearer.main, std::nullopt);
  EXPECT_EQ(nearer.processor, Processor::z80);
}

TEST_F(ProjectTest, TheSearchStopsAtTheWorkspaceRoot) {
  write("zorm.json", R"({"processor":"8080"})");
  EXPECT_EQ(find_project(root + "/src/deep", root + "/src").file, "");
  EXPECT_EQ(find_project(root + "/src/deep", root + "/src").processor, Processor::z80);
}

TEST_F(ProjectTest, ABrokenFileSaysWhyAndKeepsTheDefaults) {
  write("zorm.json", "{\"main\": ");
  EXPECT_NE(read_project_file(root + "/zorm.json").problem.find("not valid JSON"), std::string::npos);
  write("zorm.json", R"({"processor":"6502","defines":"DEBUG","main":3})");
  const ProjectSettings settings = read_project_file(root + "/zorm.json");
  EXPECT_NE(settings.problem, "");
  EXPECT_EQ(settings.processor, Processor::z80);
  EXPECT_TRUE(settings.defines.empty());
  EXPECT_EQ(settings.main, std::nullopt);
  write("zorm.json", "[1]");
  EXPECT_EQ(read_project_file(root + "/zorm.json").problem, "must hold one JSON object");
}

TEST(ProcessorNames, EveryLevelHasItsName) {
  for (const char* name : {"8080", "8085", "z80", "z80x", "z180", "z280"}) {
    ASSERT_TRUE(processor_named(name)) << name;
    EXPECT_STREQ(processor_name(*processor_named(name)), name);
  }
  EXPECT_EQ(processor_named("Z80"), std::nullopt);
}

}  // namespace
}  // namespace zorm::lsp

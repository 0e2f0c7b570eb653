// Scripted Debug Adapter Protocol sessions with the built zorm-dbg --dap over
// its standard streams, framing included, as an editor drives it.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

#include "dbg/dap_client.h"
#include "support/temp_dir.h"

namespace zorm::test {
namespace {

const std::string EXAMPLES = std::string(ZORM_TEST_DATA_DIR) + "/../examples/";

// The number of the first line of a file that holds the text.
int line_of(const std::string& path, const std::string& text) {
  std::istringstream lines(read_file(path));
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (line.find(text) != std::string::npos) return number;
  }
  throw std::runtime_error("no line with " + text);
}

json frames(DapClient& client) { return client.call("stackTrace", {{"threadId", 1}})["stackFrames"]; }

// The variables of one scope of the innermost frame, by name.
std::map<std::string, std::string> scope(DapClient& client, const std::string& name) {
  const json frame = frames(client)[0];
  const json scopes = client.call("scopes", {{"frameId", frame["id"]}})["scopes"];
  for (const json& entry : scopes) {
    if (entry["name"] != name) continue;
    std::map<std::string, std::string> values;
    const json variables = client.call("variables", {{"variablesReference", entry["variablesReference"]}})["variables"];
    for (const json& variable : variables) values[variable["name"]] = variable["value"];
    return values;
  }
  throw std::runtime_error("no scope " + name);
}

class DapSession : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(EXAMPLES + "z80_powers.asm", dir_.path());
    source_ = dir_.file("z80_powers.asm");
    std::string out, err;
    ASSERT_EQ(run_child({ZORM_PROGRAM, "-q", "-x", "-g", "-s2", "z80_powers.asm"}, dir_.path(), "", out, err), 0) << out;
  }

  TempDir dir_;
  std::string source_;
};

TEST_F(DapSession, BreakpointsSteppingRegistersExpressionsAndTheEnd) {
  ProcessDapClient client(dir_.path());
  const json capabilities = client.call("initialize", {{"adapterID", "zorm"}, {"linesStartAt1", true}});
  EXPECT_TRUE(capabilities["supportsConfigurationDoneRequest"]);
  EXPECT_TRUE(capabilities["supportsFunctionBreakpoints"]);
  client.call("launch", {{"program", "z80_powers.hex"}});
  client.event("initialized");

  const int call_line = line_of(source_, "call    print_number");
  const int comment_line = line_of(source_, "; Prints hl (0 to 65535)");
  const json lines = client.call("setBreakpoints", {{"source", {{"path", source_}}},
                                                    {"breakpoints", {{{"line", call_line}}, {{"line", comment_line}}, {{"line", 9999}}}}})["breakpoints"];
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(lines[0]["verified"]);
  EXPECT_EQ(lines[0]["line"], call_line);
  EXPECT_TRUE(lines[1]["verified"]);  // moved to the next line with code
  EXPECT_EQ(lines[1]["line"], line_of(source_, "print_number:") + 1);
  EXPECT_FALSE(lines[2]["verified"]);
  const json functions = client.call("setFunctionBreakpoints", {{"breakpoints", {{{"name", "putchar"}}, {{"name", "nowhere"}}}}})["breakpoints"];
  EXPECT_TRUE(functions[0]["verified"]);
  EXPECT_FALSE(functions[1]["verified"]);
  EXPECT_EQ(functions[1]["message"], "nowhere: Undefined label");
  client.call("configurationDone");

  json stopped = client.event("stopped");
  EXPECT_EQ(stopped["body"]["reason"], "breakpoint");
  EXPECT_EQ(stopped["body"]["hitBreakpointIds"], json::array({lines[0]["id"]}));
  json stack = frames(client);
  ASSERT_EQ(stack.size(), 2u);
  EXPECT_EQ(stack[0]["name"], "print_row");
  EXPECT_EQ(stack[0]["line"], call_line);
  EXPECT_EQ(stack[0]["source"]["path"], std::filesystem::canonical(source_).string());
  EXPECT_EQ(stack[1]["name"], "start");

  // Into the call: the first line of print_number, with the breakpoint there.
  client.call("stepIn", {{"threadId", 1}});
  EXPECT_EQ(client.event("stopped")["body"]["reason"], "step");
  stack = frames(client);
  ASSERT_EQ(stack.size(), 3u);
  EXPECT_EQ(stack[0]["name"], "print_number");
  EXPECT_EQ(stack[0]["line"], lines[1]["line"]);

  // Out of it: putchar's function breakpoint is met on the way.
  client.call("stepOut", {{"threadId", 1}});
  stopped = client.event("stopped");
  EXPECT_EQ(stopped["body"]["reason"], "function breakpoint");
  stack = frames(client);
  ASSERT_EQ(stack.size(), 5u);
  EXPECT_EQ(stack[0]["name"], "putchar");
  EXPECT_EQ(stack[1]["name"], "print_digit");

  std::map<std::string, std::string> registers = scope(client, "Registers");
  EXPECT_EQ(registers["pc"], stack[0]["instructionPointerReference"]);
  EXPECT_EQ(registers["e"], "0x31");  // the digit '1'
  EXPECT_EQ(scope(client, "Flags").count("P/V"), 1u);
  EXPECT_EQ(scope(client, "Symbols")["conout"], "2 (0x0002)");
  const int pc = std::stoi(registers["pc"], nullptr, 16);
  char expected[32];
  std::snprintf(expected, sizeof expected, "%d (0x%04x)", pc + 1, pc + 1);
  EXPECT_EQ(client.call("evaluate", {{"expression", "putchar+1"}, {"context", "watch"}})["result"], expected);
  EXPECT_EQ(client.call("evaluate", {{"expression", "hl*2"}, {"context", "repl"}})["result"],
            client.call("evaluate", {{"expression", "hl+hl"}, {"context", "hover"}})["result"]);
  const json memory = client.call("readMemory", {{"memoryReference", "putchar"}, {"count", 4}});
  EXPECT_EQ(memory["data"], "9cXV5Q==");  // push af, push bc, push de, push hl

  // Over putchar's own call: its character comes out before the stop.
  client.call("setFunctionBreakpoints", {{"breakpoints", json::array()}});
  client.call("setBreakpoints", {{"source", {{"path", source_}}}, {"breakpoints", json::array()}});
  for (int i = 0; i < 6; ++i) {
    client.call("next", {{"threadId", 1}});
    client.event("stopped");
  }
  EXPECT_EQ(client.program_output(), "1");
  client.call("continue", {{"threadId", 1}});
  const json exited = client.event("exited");
  EXPECT_EQ(exited["body"]["exitCode"], 0);
  const json terminated = client.event("terminated");
  EXPECT_LT(client.position_of(exited), client.position_of(terminated));
  EXPECT_EQ(client.program_output(), "1 1 1\n2 4 8\n3 9 27\n4 16 64\n5 25 125\n6 36 216\n");
  for (size_t i = 0; i < client.messages().size(); ++i) {
    if (client.messages()[i].value("event", "") == "output") {
      EXPECT_LT(i, client.position_of(exited));
    }
  }
  client.call("disconnect");
  std::string out, err;
  EXPECT_EQ(client.finish(out, err), 0);
  EXPECT_EQ(err, "");
}

TEST(DapSource, AssembledFirstStoppedOnEntryPausedWhileItRunsAndEndedByDisconnect) {
  TempDir dir;
  dir.write("spin.asm", "; runs until stopped\n org 0x8000\nloop: inc a\n jr loop\n end loop\n");
  ProcessDapClient client(dir.path());
  client.call("initialize");
  // Malformed input and unknown requests are passed over; the session goes on.
  client.write_raw("Content-Length: 5\r\n\r\n{bad}");
  const json unknown = client.response(client.request("frobnicate"));
  EXPECT_FALSE(unknown["success"]);
  EXPECT_EQ(unknown["message"], "zorm-dbg does not support the request \"frobnicate\"");
  client.call("launch", {{"source", "spin.asm"}, {"processor", "z80"}, {"stopOnEntry", true}});
  client.event("initialized");
  client.call("configurationDone");
  EXPECT_EQ(client.event("stopped")["body"]["reason"], "entry");
  EXPECT_EQ(frames(client)[0]["line"], 3);
  client.call("continue", {{"threadId", 1}});
  client.call("pause", {{"threadId", 1}});
  EXPECT_EQ(client.event("stopped")["body"]["reason"], "pause");
  const int line = frames(client)[0]["line"];
  EXPECT_TRUE(line == 3 || line == 4) << line;
  client.call("disconnect", {{"terminateDebuggee", true}});
  std::string out, err;
  EXPECT_EQ(client.finish(out, err), 0);
  EXPECT_NE(err.find("ignored a message"), std::string::npos) << err;  // logged on standard error
}

TEST(DapSource, ASourceThatDoesNotAssembleFailsTheLaunchWithTheDiagnostics) {
  TempDir dir;
  dir.write("bad.asm", " org 0x100\n ld a,\n");
  ProcessDapClient client(dir.path());
  client.call("initialize");
  const json launch = client.response(client.request("launch", {{"source", "bad.asm"}}));
  EXPECT_FALSE(launch["success"]);
  EXPECT_NE(launch["message"].get<std::string>().find("Syntax error"), std::string::npos) << launch;
  client.call("disconnect");
  std::string out, err;
  EXPECT_EQ(client.finish(out, err), 0);
}

}  // namespace
}  // namespace zorm::test

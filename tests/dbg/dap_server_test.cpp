// The debug adapter's handlers in-process, over a memory transport: lines
// counted from 0, handles that end with a resume, breakpoints set while the
// program runs, console input typed into the debug console, the bare
// machine's ports, exceptions, the budget, and requests that come too early.

#include <gtest/gtest.h>

#include <thread>

#include "dbg/dap_client.h"
#include "dbg/dap_server.h"
#include "support/temp_dir.h"

namespace zorm::test {
namespace {

// An adapter serving in a thread of this process; the test is its client.
class Adapter {
 public:
  Adapter() : thread_([this] { server_.serve(); }) {}
  ~Adapter() {
    transport_.close_input();
    thread_.join();
  }
  DapClient& client() { return client_; }

 private:
  protocol::MemoryTransport transport_;
  dbg::DapServer server_{transport_, nullptr};
  std::thread thread_;
  MemoryDapClient client_{transport_};
};

class DapServerTest : public ::testing::Test {
 protected:
  // Launches the source (written to the scratch folder) and finishes the
  // configuration; the client is then where configurationDone left it.
  DapClient& start(const std::string& source, json launch = json::object(), bool lines_at_1 = true) {
    DapClient& client = adapter_.client();
    client.call("initialize", {{"linesStartAt1", lines_at_1}, {"columnsStartAt1", lines_at_1}});
    launch["source"] = dir_.write("t.asm", source);
    client.call("launch", launch);
    client.event("initialized");
    client.call("configurationDone");
    return client;
  }
  json failure(const std::string& command, json arguments = json::object()) {
    const json answer = adapter_.client().response(adapter_.client().request(command, std::move(arguments)));
    EXPECT_FALSE(answer["success"]) << answer;
    return answer;
  }

  TempDir dir_;
  Adapter adapter_;
};

const std::string LOOP = " org 0x100\nloop: inc a\n jr loop\n";

TEST_F(DapServerTest, LinesCountedFromZeroAndHandlesThatEndWithAResume) {
  DapClient& client = start(LOOP, {{"stopOnEntry", true}}, false);
  client.event("stopped");
  json stack = client.call("stackTrace", {{"threadId", 1}})["stackFrames"];
  EXPECT_EQ(stack[0]["line"], 1);  // the second line
  EXPECT_EQ(stack[0]["column"], 0);
  const json old_frame = stack[0]["id"];
  const json old_scope = client.call("scopes", {{"frameId", old_frame}})["scopes"][0]["variablesReference"];
  const json breakpoints = client.call("setBreakpoints", {{"source", {{"path", dir_.file("t.asm")}}},
                                                          {"breakpoints", {{{"line", 2}}}}})["breakpoints"];
  EXPECT_EQ(breakpoints[0]["line"], 2);
  client.call("next", {{"threadId", 1}});
  client.event("stopped");
  EXPECT_EQ(failure("scopes", {{"frameId", old_frame}})["message"],
            "no such frame (frames last until the program runs again)");
  EXPECT_EQ(failure("variables", {{"variablesReference", old_scope}})["message"],
            "no such variables (they last until the program runs again)");
}

TEST_F(DapServerTest, NonAsciiTextMovesNoLine) {
  DapClient& client = start(
      "; Grüße — ein Programm für den Z80 ✓\n"  // 1
      " org 0x100\n"                            // 2
      " ld hl,text ; „Text“\n"                  // 3
      " ret\n"                                  // 4
      "text: db 'Ünïcödé ✓',0\n",               // 5
      {{"stopOnEntry", true}});
  client.event("stopped");
  const json set = client.call("setBreakpoints", {{"source", {{"path", dir_.file("t.asm")}}},
                                                  {"breakpoints", {{{"line", 4}}}}})["breakpoints"];
  EXPECT_EQ(set[0]["line"], 4);
  client.call("continue", {{"threadId", 1}});
  client.event("stopped");
  const json frame = client.call("stackTrace", {{"threadId", 1}})["stackFrames"][0];
  EXPECT_EQ(frame["line"], 4);
  EXPECT_EQ(frame["column"], 1);
  EXPECT_EQ(client.call("evaluate", {{"expression", "hl - text"}})["result"], "0 (0x0000)");
}

TEST_F(DapServerTest, BreakpointsSetWhileTheProgramRunsStopIt) {
  DapClient& client = start(LOOP);
  EXPECT_EQ(failure("stackTrace", {{"threadId", 1}})["message"], "the program is running");
  const json set = client.call("setBreakpoints", {{"source", {{"path", dir_.file("t.asm")}}},
                                                  {"breakpoints", {{{"line", 3}}}}})["breakpoints"];
  EXPECT_TRUE(set[0]["verified"]);
  const json stopped = client.event("stopped");
  EXPECT_EQ(stopped["body"]["reason"], "breakpoint");
  EXPECT_EQ(client.call("stackTrace", {{"threadId", 1}})["stackFrames"][0]["line"], 3);
}

TEST_F(DapServerTest, ConsoleInputIsTypedIntoTheDebugConsole) {
  DapClient& client = start(
      " org 0x100\n ld c,10\n ld de,buffer\n call 5\n ld c,9\n ld de,text\n call 5\n ret\n"
      "text: db ' read',13,10,'$'\nbuffer: db 20\n ds 21\n");
  const json waiting = client.event("output");
  EXPECT_EQ(waiting["body"]["category"], "console");
  EXPECT_NE(waiting["body"]["output"].get<std::string>().find("waits for console input"), std::string::npos);
  EXPECT_EQ(client.call("evaluate", {{"expression", "> hello"}, {"context", "repl"}})["result"], "");
  EXPECT_EQ(client.event("exited")["body"]["exitCode"], 0);
  EXPECT_EQ(client.program_output(), "hello\r read\n");  // echoed as CP/M echoes it
}

TEST_F(DapServerTest, TheBareMachinesPortsComeFromTheLaunch) {
  DapClient& client = start(" org 0x8000\n ld a,'!'\n out (0x10),a\n out (1),a\n halt\n", {{"outputPort", 16}});
  EXPECT_EQ(client.event("exited")["body"]["exitCode"], 0);
  EXPECT_EQ(client.program_output(), "!");
}

TEST_F(DapServerTest, AnInstructionTheZ80LacksIsAnExceptionThatEndsTheProgram) {
  DapClient& client = start(" org 0x100\n nop\n mlt de\n", {{"processor", "z180"}});
  const json stopped = client.event("stopped");
  EXPECT_EQ(stopped["body"]["reason"], "exception");
  EXPECT_EQ(stopped["body"]["text"], dir_.file("t.asm") +
                                         ":3: mlt de is a Z180 instruction, which the emulated Z80 does not have (at "
                                         "0x0101)");
  client.call("continue", {{"threadId", 1}});
  EXPECT_EQ(client.event("exited")["body"]["exitCode"], dbg::EXIT_PROGRAM_FAILED);
  client.event("terminated");
}

TEST_F(DapServerTest, TheBudgetStopsTheProgram) {
  DapClient& client = start(LOOP, {{"instructionBudget", 50}});
  const json stopped = client.event("stopped");
  EXPECT_EQ(stopped["body"]["reason"], "exception");
  EXPECT_EQ(stopped["body"]["text"],
            "the instruction budget of 50 instructions is used up at " + dir_.file("t.asm") + ":2 (0x0100)");
}

TEST_F(DapServerTest, RegistersAndFlagsCanBeSetSymbolsCannot) {
  DapClient& client = start(" org 0x100\nvalue equ 7\n ld a,value\n ret\n", {{"stopOnEntry", true}});
  client.event("stopped");
  const json frame = client.call("stackTrace", {{"threadId", 1}})["stackFrames"][0];
  const json scopes = client.call("scopes", {{"frameId", frame["id"]}})["scopes"];
  ASSERT_EQ(scopes.size(), 3u);
  EXPECT_EQ(client.call("setVariable", {{"variablesReference", scopes[0]["variablesReference"]},
                                        {"name", "hl"}, {"value", "value*2"}})["value"],
            "0x000e");
  EXPECT_EQ(client.call("setVariable", {{"variablesReference", scopes[1]["variablesReference"]},
                                        {"name", "C"}, {"value", "1"}})["value"],
            "1");
  EXPECT_EQ(client.call("evaluate", {{"expression", "f & 1"}})["result"], "1 (0x0001)");
  EXPECT_EQ(failure("setVariable", {{"variablesReference", scopes[2]["variablesReference"]}, {"name", "value"},
                                    {"value", "1"}})["message"],
            "symbols are fixed when the program is assembled");
  client.call("next", {{"threadId", 1}});
  client.event("stopped");
  EXPECT_EQ(client.call("evaluate", {{"expression", "a"}})["result"], "7 (0x0007)");
}

TEST_F(DapServerTest, RequestsBeforeALaunchAreRefused) {
  adapter_.client().call("initialize");
  EXPECT_EQ(failure("stackTrace", {{"threadId", 1}})["message"], "no program has been launched");
  EXPECT_EQ(failure("launch", json::object())["message"], "launch wants either program or source");
  EXPECT_EQ(failure("launch", {{"program", dir_.file("none.hex")}})["message"], "cannot open " + dir_.file("none.hex"));
  EXPECT_EQ(failure("launch", {{"source", "x.asm"}, {"machine", "vax"}})["message"], "machine is cpm or bare");
}

}  // namespace
}  // namespace zorm::test

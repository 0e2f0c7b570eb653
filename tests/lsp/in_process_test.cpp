// The server in this process on a memory transport, with the hook that
// waits until it is idle: versions, superseded work, cancellation, and the
// order in which a program's files are found.

#include <gtest/gtest.h>

#include "lsp_session.h"

namespace zorm::lsp::test {
namespace {

std::vector<json> published_for(const std::vector<json>& messages, const std::string& uri) {
  std::vector<json> found;
  for (const json& message : messages) {
    if (message.value("method", "") == "textDocument/publishDiagnostics" && message["params"]["uri"] == uri) {
      found.push_back(message["params"]);
    }
  }
  return found;
}

// A program long enough that assembling it takes a while.
std::string long_program(int blocks) {
  std::string text = "        org     0x100\n";
  for (int i = 0; i < blocks; ++i) {
    const std::string label = std::string("l").append(std::to_string(i));
    text.append(label).append(":  ld      a,(ix+5)\n        add     a,b\n        jp      nz,");
    text.append(label).append("\n        db      1,2,3,4\n");
  }
  return text;
}

TEST(InProcess, OnlyTheNewestVersionsDiagnosticsArePublishedAndNeverAnOlderOneAfterIt) {
  Sources sources;
  InProcessSession session;
  session.initialize(sources.root_uri());
  const std::string uri = sources.uri("v.asm");
  const std::string program = long_program(2000);
  session.open(uri, program + "        nop\n");
  for (int version = 2; version <= 13; ++version) {
    // Even versions are broken, odd ones sound.
    session.replace(uri, version, program + (version % 2 == 0 ? "        ld      a,(\n" : "        nop\n"));
  }
  session.idle();
  const std::vector<json> published = published_for(session.unread(), uri);
  ASSERT_FALSE(published.empty());
  EXPECT_EQ(published.back()["version"], 13);
  EXPECT_TRUE(published.back()["diagnostics"].empty());
  int previous = 0;
  for (const json& params : published) {
    const int version = params["version"];
    EXPECT_GT(version, previous) << "diagnostics of an older version came after a newer one";
    EXPECT_EQ(params["diagnostics"].empty(), version % 2 == 1) << "version " << version;
    previous = version;
  }
  EXPECT_LT(published.size(), 13u) << "superseded versions are dropped, not all assembled";
}

TEST(InProcess, EveryRequestIsAnsweredOnceCancelledOrNot) {
  Sources sources;
  InProcessSession session;
  session.initialize(sources.root_uri());
  const std::string uri = sources.uri("c.asm");
  session.open(uri, long_program(6000));
  std::vector<int> ids;
  for (int i = 0; i < 5; ++i) {
    ids.push_back(session.send_request("textDocument/hover", Session::at(uri, 1 + 4 * i, 9)));
    session.notify("$/cancelRequest", {{"id", ids.back()}});
  }
  ids.push_back(session.send_request("textDocument/hover", Session::at(uri, 1, 9)));
  session.idle();
  std::map<int, int> answers;
  bool some_cancelled = false;
  for (const json& message : session.unread()) {
    if (!message.contains("id") || message.contains("method")) continue;
    ++answers[message["id"].get<int>()];
    if (message.contains("error")) {
      EXPECT_EQ(message["error"]["code"], -32800);
      some_cancelled = true;
    }
  }
  for (int id : ids) EXPECT_EQ(answers[id], 1) << "request " << id;
  EXPECT_TRUE(some_cancelled) << "the requests were cancelled before the assembly they waited for ended";
}

TEST(InProcess, AnIncludedFileOpenedFirstMovesToTheProgramThatIncludesIt) {
  Sources sources;
  const std::string part_text = "        ld      a,limit\n";
  const std::string main_text = "limit   equ     9\n        include \"part.asm\"\n";
  const std::string part = sources.write("part.asm", part_text);
  const std::string main = sources.write("main.asm", main_text);
  InProcessSession session;
  session.initialize(sources.root_uri());
  session.open(part, part_text);
  session.idle();
  const std::vector<json> alone = published_for(session.unread(), part);
  ASSERT_EQ(alone.size(), 1u);
  EXPECT_EQ(alone[0]["diagnostics"].size(), 1u) << "on its own, limit is undefined";

  session.open(main, main_text);
  session.idle();
  const std::vector<json> through_main = published_for(session.unread(), part);
  ASSERT_FALSE(through_main.empty());
  EXPECT_TRUE(through_main.back()["diagnostics"].empty());
  EXPECT_EQ(through_main.back()["version"], 1);

  // An edit of the part is now checked through the main file.
  session.replace(part, 2, "        ld      a,limit+1\n        ld      b,nowhere\n");
  session.idle();
  const std::vector<json> edited = published_for(session.unread(), part);
  ASSERT_EQ(edited.size(), 1u);
  EXPECT_EQ(edited[0]["version"], 2);
  ASSERT_EQ(edited[0]["diagnostics"].size(), 1u);
  EXPECT_EQ(edited[0]["diagnostics"][0]["range"]["start"]["line"], 1);
}

TEST(InProcess, ShutdownAndExitEndTheLoopWithStatusZero) {
  InProcessSession session;
  session.initialize("file:///");
  EXPECT_TRUE(session.request("shutdown", nullptr)["result"].is_null());
  session.notify("exit", nullptr);
  EXPECT_EQ(session.exit_status(), 0);
}

}  // namespace
}  // namespace zorm::lsp::test

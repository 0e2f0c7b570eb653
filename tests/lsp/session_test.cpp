// Sessions with the real zorm-lsp over its standard streams: the life cycle
// and answers to bad input.

#include <gtest/gtest.h>

#include "lsp_session.h"

namespace zorm::lsp::test {
namespace {

int error_code(const json& response) { return response.at("error").at("code").get<int>(); }

TEST(LspSession, InitializeAnnouncesTheFeaturesAndShutdownExitEndsWithStatusZero) {
  Sources sources;
  ProcessSession session;
  const json result = session.initialize(sources.root_uri());
  const json& capabilities = result.at("result").at("capabilities");
  EXPECT_EQ(capabilities.at("positionEncoding"), "utf-16");
  EXPECT_EQ(capabilities.at("textDocumentSync"),
            json::parse(R"({"openClose":true,"change":2,"save":{"includeText":false}})"));
  for (const char* provider : {"definitionProvider", "hoverProvider", "referencesProvider", "documentSymbolProvider",
                               "workspaceSymbolProvider"}) {
    EXPECT_EQ(capabilities.at(provider), true) << provider;
  }
  EXPECT_EQ(capabilities.at("renameProvider").at("prepareProvider"), true);
  EXPECT_TRUE(capabilities.at("completionProvider").is_object());
  EXPECT_EQ(result.at("result").at("serverInfo").at("name"), "zorm-lsp");
  EXPECT_TRUE(session.request("shutdown", nullptr).at("result").is_null());
  EXPECT_EQ(error_code(session.request("textDocument/hover", Session::at(sources.uri("a.asm"), 0, 0))), -32600);
  session.notify("exit", nullptr);
  EXPECT_EQ(session.wait_for_exit(), 0);
}

TEST(LspSession, Utf8PositionsAreUsedWhenTheClientOffersThem) {
  Sources sources;
  ProcessSession session;
  const json result =
      session.initialize(sources.root_uri(), {{"general", {{"positionEncodings", {"utf-32", "utf-8", "utf-16"}}}}});
  EXPECT_EQ(result.at("result").at("capabilities").at("positionEncoding"), "utf-8");
}

TEST(LspSession, RequestsBeforeInitializeAreRefusedAndExitWithoutShutdownFails) {
  ProcessSession session;
  EXPECT_EQ(error_code(session.request("textDocument/hover", Session::at("file:///a.asm", 0, 0))), -32002);
  session.notify("exit", nullptr);
  EXPECT_EQ(session.wait_for_exit(), 1);
}

TEST(LspSession, TheEndOfTheInputEndsTheServer) {
  ProcessSession session;
  session.initialize("file:///tmp");
  EXPECT_EQ(session.wait_for_exit(true), 1);
}

TEST(LspSession, BadInputIsAnsweredAndTheSessionGoesOn) {
  Sources sources;
  ProcessSession session;
  session.initialize(sources.root_uri());

  session.send_body("{\"jsonrpc\":\"2.0\",\"id\":1,\"method\":");
  EXPECT_EQ(error_code(session.unnumbered_error()), -32700);
  session.send_raw("Content-Length: 123456789012345\r\n\r\n");
  EXPECT_EQ(error_code(session.unnumbered_error()), -32700);
  session.send_body("[1,2,3]");
  EXPECT_EQ(error_code(session.unnumbered_error()), -32600);

  EXPECT_EQ(error_code(session.request("zorm/noSuchMethod", json::object())), -32601);
  session.notify("zorm/noSuchNotification", json::object());  // ignored
  EXPECT_EQ(error_code(session.request("textDocument/hover", {{"textDocument", {{"uri", 5}}}})), -32602);
  EXPECT_EQ(error_code(session.request("textDocument/definition", Session::at("no uri", 0, 0))), -32602);
  // Documents nobody opened, at places that are not there.
  EXPECT_TRUE(session.request("textDocument/hover", Session::at(sources.uri("none.asm"), 99, 99)).at("result").is_null());
  EXPECT_TRUE(session.request("textDocument/definition", Session::at(sources.uri("none.asm"), -1, -5)).at("result").is_null());

  // A document that is not assembly is kept but not assembled.
  const std::string notes = sources.uri("notes.md");
  session.open(notes, "# Notes\n\n- ld a,b\n", 1, "markdown");
  EXPECT_TRUE(session.request("textDocument/documentSymbol", {{"textDocument", {{"uri", notes}}}}).at("result").is_null());
  // Binary garbage in an assembly document gets diagnostics, not a crash.
  const std::string garbage = sources.uri("garbage.asm");
  session.open(garbage, std::string("\x01\x02\xff\xfe ld (((((\x00 \"\n\t\t\t;;\r\r\r", 20) + "\xc3\x28", 1);
  EXPECT_FALSE(session.diagnostics(garbage, 1).at("diagnostics").empty());
  EXPECT_TRUE(session.request("shutdown", nullptr).at("result").is_null());
  session.notify("exit", nullptr);
  EXPECT_EQ(session.wait_for_exit(), 0);
}

}  // namespace
}  // namespace zorm::lsp::test

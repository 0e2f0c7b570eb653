// Jumps and calls: the forms chosen in pass 1 with optimisation on, their
// replay in pass 2, the forms without optimisation, the target checks, and
// the internal error when the replay finds a byte its statement never
// places.
#include <gtest/gtest.h>

#include "codegen/statement_outcome.h"

namespace zorm::test {
namespace {

constexpr const char* UNREACHABLE = "error: Label unreachable by relative jump.";

// A statement at 0x100 whose target is the label x.
std::string at_0x100(const std::string& text, const std::string& x, int level, std::vector<std::string> options = {}) {
  options.push_back(level_option(level));
  return outcome("x       equ " + x + "\n        org 0x100\n        " + text + "\n", options);
}

TEST(EncodeBranch, OptimisedJumpsPickTheShortestSureForm) {
  // jp to a known target within reach becomes jr.
  EXPECT_EQ(at_0x100("jp x", "0x100-100", 2), "18 9A");
  EXPECT_EQ(at_0x100("jp z,x", "0x100+129", 2), "28 7F");
  EXPECT_EQ(at_0x100("jp z,x", "0x100+130", 2), "CA 82 01");
  EXPECT_EQ(at_0x100("jp pe,x", "0x100", 2), "EA 00 01");  // no relative form for pe
  EXPECT_EQ(at_0x100("jp x", "0x100", 0), "C3 00 01");
  // A target defined later stays absolute even when it turns out near.
  EXPECT_EQ(outcome("        jp fwd\nfwd:\n", {"-x2"}), "C3 03 00");
  // jr and djnz that cannot reach, or that the processor lacks, become
  // absolute.
  EXPECT_EQ(at_0x100("jr x", "0x100-200", 2), "C3 38 00");
  EXPECT_EQ(at_0x100("jr c,x", "0x100-200", 2), "DA 38 00");
  EXPECT_EQ(at_0x100("jr po,x", "0x1234", 2), "E2 34 12");
  EXPECT_EQ(at_0x100("jr x", "0x1234", 0), "C3 34 12");
  EXPECT_EQ(at_0x100("djnz x", "0x1234", 0), "05 C2 34 12");
  EXPECT_EQ(at_0x100("djnz x", "0x100-200", 2), "05 C2 38 00");
  EXPECT_EQ(at_0x100("djnz x", "0x100", 2), "10 FE");
  EXPECT_EQ(at_0x100("djnz nz,x", "0x100", 2), "10 FE");  // the condition has no effect
  // jp through a register.
  EXPECT_EQ(statement("jp (hl)", 0), "E9");
  EXPECT_EQ(statement("jp [ix]", 2), "DD E9");
  EXPECT_EQ(statement("jp (iy)", 2), "FD E9");
}

TEST(EncodeBranch, RelativeFormsChosenInPassOneAreKeptInPassTwo) {
  // A forward jr is short in pass 1; pass 2 keeps the two bytes and reports.
  auto far = assemble("        jr fwd\n        ds 200\nfwd:    nop\n", {"-x2", "-q"});
  EXPECT_EQ(first_error(far->run), "Label unreachable by relative jump.");
  EXPECT_EQ(far->bytes(0, 2), (std::vector<uint8_t>{0x18, 0xFE}));
  EXPECT_EQ(far->bytes(202, 1), (std::vector<uint8_t>{0x00}));  // fwd did not move
  EXPECT_EQ(outcome("        jr nc,fwd\n        djnz fwd\nfwd:\n", {"-x2"}), "30 02 10 00");
  // Undefined targets in pass 1 (seen in the image of a run that stops
  // after pass 1): the placeholder displacement, the statement's own address,
  // rst 0.
  EXPECT_EQ(outcome("        jr fwd\n        jp fwd\n        call fwd\n        rst fwd\n        and 300\n"
                    "fwd     equ 0x10\n",
                    {"-x2"}),
            "18 FE C3 02 00 CD 05 00 C7 E6 error: Value not within allowed range.");
}

TEST(EncodeBranch, WithoutOptimisation) {
  for (const char* off : {"-n", ""}) {
    // "" stands for the noopt directive.
    const std::vector<std::string> options = *off ? std::vector<std::string>{off} : std::vector<std::string>{};
    auto run = [&](const std::string& text, const std::string& x, int level) {
      const std::string directive = *off ? "" : "        noopt\n";
      std::vector<std::string> args = options;
      args.push_back(level_option(level));
      return outcome("x       equ " + x + "\n        org 0x100\n" + directive + "        " + text + "\n", args);
    };
    EXPECT_EQ(run("jp x", "0x100", 2), "C3 00 01") << off;
    EXPECT_EQ(run("jr x", "0x100-200", 2), std::string("18 FE ") + UNREACHABLE) << off;
    EXPECT_EQ(run("jr po,x", "0x100", 2), SYNTAX) << off;
    EXPECT_EQ(run("jr x", "0x100", 0), SYNTAX) << off;
    EXPECT_EQ(run("djnz x", "0x100", 1), SYNTAX) << off;
    EXPECT_EQ(run("djnz x", "0x100+129", 2), "10 7F") << off;
    EXPECT_EQ(run("call x", "0x38", 2), "CD 38 00") << off;
  }
  // noopt followed by opt: only the statements in between stay long, in
  // both passes alike.
  EXPECT_EQ(outcome("x:      nop\n        noopt\n        jp x\n        opt\n        jp x\n", {"-x2"}),
            "00 C3 00 00 18 FA");
  // -n cannot be undone from the source.
  EXPECT_EQ(outcome("x:      nop\n        opt\n        jp x\n", {"-x2", "-n"}), "00 C3 00 00");
}

TEST(EncodeBranch, CallsAndRestarts) {
  EXPECT_EQ(statement("call 0x38", 2), "FF");
  EXPECT_EQ(statement("call 0", 0), "C7");
  EXPECT_EQ(statement("call nz,0x38", 2), "C4 38 00");
  EXPECT_EQ(statement("call m,0x1234", 0), "FC 34 12");
  EXPECT_EQ(statement("call 0x39", 2), "CD 39 00");
  EXPECT_EQ(statement("rst 8", 0), "CF");
  EXPECT_EQ(statement("rst 0x38", 2), "FF");
  EXPECT_EQ(statement("rst 3", 2), RANGE);
  EXPECT_EQ(cycles("call 0x38", 2), 11);
  EXPECT_EQ(cycles("call 0x39", 2), 17);
  EXPECT_EQ(cycles("rst 0x10", 2), 11);
}

TEST(EncodeBranch, TargetChecks) {
  EXPECT_EQ(statement("jp 65536", 2), RANGE);
  EXPECT_EQ(statement("jp -32768", 2), RANGE);
  EXPECT_EQ(statement("jp -32767", 2), "C3 01 80");
  EXPECT_EQ(statement("call 65535", 2), "CD FF FF");
  EXPECT_EQ(outcome("        memsize 12\n        call 5000\n"), RANGE);
  EXPECT_EQ(outcome("        memsize 12\n        jp -1\n", {"-x2"}), RANGE);
  EXPECT_EQ(outcome("        memsize 12\n        jp 4095\n"), "C3 FF 0F");
}

TEST(EncodeBranch, CycleCounts) {
  const std::string back = "x:      nop\n";
  EXPECT_EQ(listed_cycles(back + "        jp x\n", "jp x", 2), 12);  // became jr
  EXPECT_EQ(listed_cycles(back + "        jp x\n", "jp x", 0), 10);
  EXPECT_EQ(listed_cycles(back + "        jp x\n", "jp x", 1), 11);
  EXPECT_EQ(listed_cycles(back + "        djnz x\n", "djnz x", 2), 13);
  EXPECT_EQ(listed_cycles(back + "        djnz x\n", "djnz x", 0), 14);
  EXPECT_EQ(cycles("jp (hl)", 0), 5);
  EXPECT_EQ(cycles("jp (hl)", 2), 4);
  EXPECT_EQ(cycles("jp (ix)", 2), 8);
}

TEST(EncodeBranch, ReplayOfAByteTheStatementNeverPlacesEndsTheRun) {
  // The if is false in pass 1 (fwd is not known yet) and true in pass 2, so
  // pass 2 replays another statement over pass 1's bytes.
  auto jump = assemble("        if fwd\n        jr $\n        else\n        djnz $\n        endif\nfwd     equ 1\n",
                       {"-x2"});
  EXPECT_EQ(jump->run.status, 127);
  EXPECT_NE(jump->run.out.find("Internal error: jump 10 fe in line 2\n"), std::string::npos) << jump->run.out;
  auto call = assemble("        if fwd\n        call 0x10\n        else\n        call 0x38\n        endif\nfwd     equ 1\n",
                       {"-x2"});
  EXPECT_EQ(call->run.status, 127);
  EXPECT_NE(call->run.out.find("Internal error: call ff ff in line 2\n"), std::string::npos) << call->run.out;
}

}  // namespace
}  // namespace zorm::test

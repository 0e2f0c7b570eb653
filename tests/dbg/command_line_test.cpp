// zorm-dbg's command line, and expressions with the registers in them.

#include <gtest/gtest.h>

#include "dbg/assembled_program.h"
#include "dbg/bare_system.h"
#include "dbg/command_line.h"
#include "dbg/console.h"
#include "dbg/expressions.h"
#include "dbg/machine.h"

namespace zorm::test {
namespace {

using dbg::CommandLine;

TEST(CommandLine, ModesOptionsAndWhatIsWrong) {
  CommandLine line = dbg::parse_command_line({"run", "--machine=bare", "-g", "p.sym", "--load", "0x8000", "--budget",
                                              "500", "--tstates", "--output-port", "16", "--input-port=0x11",
                                              "--status-port", "2", "p.bin"});
  EXPECT_TRUE(line.error.empty()) << line.error;
  EXPECT_EQ(line.mode, CommandLine::Mode::run);
  EXPECT_EQ(line.launch.machine, dbg::MachineKind::bare);
  EXPECT_EQ(line.launch.debug_file, "p.sym");
  EXPECT_EQ(line.launch.load_address, 0x8000);
  EXPECT_EQ(line.launch.instruction_budget, 500u);
  EXPECT_TRUE(line.show_tstates);
  EXPECT_EQ(line.launch.ports.output, 16);
  EXPECT_EQ(line.launch.ports.input, 0x11);
  EXPECT_EQ(line.launch.ports.status, 2);
  EXPECT_EQ(line.launch.program, "p.bin");

  line = dbg::parse_command_line({"-p", "z180", "-DDEBUG=1", "-I", "inc", "prog.asm"});
  EXPECT_EQ(line.mode, CommandLine::Mode::debug);
  EXPECT_EQ(line.launch.source, "prog.asm");
  EXPECT_EQ(line.launch.processor, Processor::z180);
  EXPECT_EQ(line.launch.defines, std::vector<std::string>{"DEBUG=1"});
  EXPECT_EQ(line.launch.include_paths, std::vector<std::string>{"inc"});

  EXPECT_EQ(dbg::parse_command_line({"--dap"}).mode, CommandLine::Mode::dap);
  EXPECT_EQ(dbg::parse_command_line({"--dap", "--log", "x.log"}).log_file, "x.log");
  EXPECT_EQ(dbg::parse_command_line({}).error, "no program given");
  EXPECT_EQ(dbg::parse_command_line({"a.bin", "b.bin"}).error, "more than one program given");
  EXPECT_EQ(dbg::parse_command_line({"-m", "vax", "a.bin"}).error, "the machine is cpm or bare, not vax");
  EXPECT_EQ(dbg::parse_command_line({"--load", "0x10000", "a.bin"}).error,
            "an address is a number from 0 to 0xffff: 0x10000");
  EXPECT_EQ(dbg::parse_command_line({"--output-port", "256", "a.bin"}).error, "a port is a number from 0 to 255: 256");
  EXPECT_EQ(dbg::parse_command_line({"--budget"}).error, "option --budget needs a value");
  EXPECT_EQ(dbg::parse_command_line({"--frob", "a.bin"}).error, "unknown option --frob");
}

TEST(Expressions, RegistersAndThePcInTheAssemblersSyntax) {
  const auto assembled = assemble_program(" org 0x8000\nstart: nop\npc: db 1\nbuffer equ 0x9000\n");
  dbg::MemoryConsole console;
  dbg::BareSystem system(console, {});
  dbg::Machine machine(system);
  machine.start(assembled->program.image, 0x8000);
  machine.set_reg(dbg::Register::hl, 0x1234);
  machine.set_reg(dbg::Register::af_alt, 0x0102);
  dbg::Expressions expressions(assembled->program.symbols, Processor::z80);

  // A symbol named like a register the assembler does not have wins.
  EXPECT_EQ(expressions.with_registers("hl+1", machine), "4660+1");
  EXPECT_EQ(expressions.with_registers("af'", machine), "258");
  EXPECT_EQ(expressions.with_registers("pc", machine), "pc");
  EXPECT_EQ(expressions.with_registers("$ - $ff + #10 + 0x1f", machine), "32768 - $ff + #10 + 0x1f");
  EXPECT_EQ(expressions.with_registers("'a' + \"hl\" + h", machine), "'a' + \"hl\" + 18");

  const dbg::Evaluation sum = expressions.evaluate("buffer + l*2", machine);
  ASSERT_TRUE(sum.ok) << sum.error;
  EXPECT_EQ(sum.value, 0x9000 + 0x34 * 2);
  EXPECT_EQ(expressions.evaluate("pc - start", machine).value, 1);
  const dbg::Evaluation high = expressions.evaluate("(hl >> 8) - h", machine);
  ASSERT_TRUE(high.ok) << high.error;
  EXPECT_EQ(high.value, 0);
  const dbg::Evaluation wrong = expressions.evaluate("nowhere + 1", machine);
  EXPECT_FALSE(wrong.ok);
  EXPECT_EQ(wrong.error, "Undefined label");
}

}  // namespace
}  // namespace zorm::test

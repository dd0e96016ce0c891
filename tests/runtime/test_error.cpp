// The error path and the debugger prompt as real processes: exit statuses, the
// report on standard output, the prompt on standard error, what each debugger
// command does. The debugger's input is closed, as in a normal run, unless given.
#include <gtest/gtest.h>

#include "tests/support/process.h"

namespace {

const std::string kPrompt = "{{~~~~}}\n\n";  // no source position: an empty stack line
std::string Report(const std::string& m) { return "Zorbel Runtime Error : " + m + "\n\n"; }

TEST(RuntimeError, EndingsReportsAndDebuggerCommands) {
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out, err;
  } cases[] = {
      {{"empty"}, 0, "", ""},
      // An error message goes through the 8-bit copy: characters up to 255 survive.
      {{"error", "\xc3\xa9t\xc3\xa9"}, 255, Report("\xc3\xa9t\xc3\xa9"), kPrompt},
      {{"print", "caf\xc3\xa9 \xe2\x82\xac"}, 0, "caf\xc3\xa9 \xe2\x82\xac\n", ""},
      {{"segv"}, 255, Report("Memory access violation"), kPrompt},
      {{"ill"}, 255, Report("Illegal instruction"), kPrompt},
      {{"fpe"}, 255, Report("Floating point exception"), kPrompt},
      {{"usr"}, 255, Report("Unknown signal"), kPrompt},
      // '?' prompts again, 'r' returns and the report repeats, 'q' quits quietly.
      {{"error", "again", "?\nr\nq\n"}, 0, Report("again") + Report("again"), kPrompt + kPrompt},
      // s, e and l return suspended or not, in their step mode; r clears both.
      {{"stop", "s\ne\nl\nr\nq\n"},
       0,
       "1s\n1e\n0l\n0-\n",
       kPrompt + kPrompt + kPrompt + kPrompt + kPrompt},
      // '@' prints the object at an address (a null one as an empty line).
      {{"stop", "@obj\n@0x0\nq\n"}, 0, "", kPrompt + "+Object\n\n\n"},
      {{"stop", "x\n"}, 255, "????? x ?????\n", kPrompt},
      {{"stop", "s"}, 255, "", kPrompt},  // no newline: the read fails
  };
  ProcessOptions o;  // our own handler sees the faults, not the sanitizer's
  o.env.push_back("ASAN_OPTIONS=handle_segv=0:handle_sigill=0:handle_sigfpe=0:detect_leaks=0");
  for (const auto& c : cases) {
    std::vector<std::string> argv = {QUORVEX_PROBE, "runtime"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ProcessResult r = RunProcess(argv, o);
    SCOPED_TRACE(c.args.back());
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
  }
}

}  // namespace

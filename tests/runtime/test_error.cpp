// The error path as real processes: exit codes, report lines, debugger stop.
#include <gtest/gtest.h>

#include "tests/support/process.h"

namespace {

ProcessResult Probe(std::vector<std::string> args, const ProcessOptions& opt = {}) {
  args.insert(args.begin(), ERROR_PROBE);
  ProcessOptions o = opt;
  // Let our own handler see the fault, not the sanitizer's.
  o.env.push_back("ASAN_OPTIONS=handle_segv=0:handle_sigill=0:handle_sigfpe=0:detect_leaks=0");
  return RunProcess(args, o);
}

TEST(RuntimeError, EmptyErrorEndsNormallyAndSilently) {
  ProcessResult r = Probe({"empty"});
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

TEST(RuntimeError, MessageWithClosedInputReportsAndExits255) {
  ProcessResult r = Probe({"error", "App has already been created"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "Zorbel Runtime Error : App has already been created\n\n");
  EXPECT_EQ(r.err, "{{~~~~}}\n\n");
}

TEST(RuntimeError, DebuggerCommandsRepeatQuitOrRejectTheReport) {
  ProcessOptions o;
  o.has_stdin = true;
  o.stdin_text = "?\nr\nq\n";
  ProcessResult r = Probe({"error", "again"}, o);
  EXPECT_EQ(r.status, 0) << "'q' ends with status 0";
  EXPECT_EQ(r.out, "Zorbel Runtime Error : again\n\nZorbel Runtime Error : again\n\n");
  EXPECT_EQ(r.err, "{{~~~~}}\n\n{{~~~~}}\n\n");

  o.stdin_text = "@0x0\nx\n";
  r = Probe({"error", "odd"}, o);
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "Zorbel Runtime Error : odd\n\n????? x ?????\n");
  EXPECT_EQ(r.err, "{{~~~~}}\n\n\n") << "a null address prints an empty line";

  o.stdin_text = "s";  // no newline: the read fails
  r = Probe({"error", "odd"}, o);
  EXPECT_EQ(r.status, 255);
}

TEST(RuntimeError, SignalsBecomeRuntimeErrors) {
  ProcessResult r = Probe({"segv"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "Zorbel Runtime Error : Memory access violation\n\n");
  r = Probe({"ill"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "Zorbel Runtime Error : Illegal instruction\n\n");
  r = Probe({"fpe"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "Zorbel Runtime Error : Floating point exception\n\n");
  r = Probe({"usr"});
  EXPECT_EQ(r.out, "Zorbel Runtime Error : Unknown signal\n\n");
}

TEST(RuntimeError, NonAsciiIsPrintedAsUtf8) {
  ProcessResult r = Probe({"print", "caf\xc3\xa9 \xe2\x82\xac"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "caf\xc3\xa9 \xe2\x82\xac\n");
  // An error message goes through the 8-bit copy: characters up to 255 survive.
  r = Probe({"error", "\xc3\xa9t\xc3\xa9"});
  EXPECT_EQ(r.out, "Zorbel Runtime Error : \xc3\xa9t\xc3\xa9\n\n");
}

}  // namespace

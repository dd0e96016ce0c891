// The quorvex executable's switches.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "host/platform/options.h"

namespace {

// The switches parsed over options set before: the status, the options as
// "<fast><procedural music> <exit after> [script] [record] [dump]", the output and the error
// output.
struct Parsed {
  int status;
  std::string options, out, err;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "quorvex");
  Parsed p;
  VxHostOptions& o = vx_host_options;
  o = VxHostOptions();
  o.record = "as before";
  p.status = vx_host_ParseArgs((int)args.size(), args.data(), p.out, p.err);
  p.options = std::to_string(o.fast) + std::to_string(o.proceduralMusic) + " " +
              std::to_string(o.exitAfter) + " [" + o.script + "] [" + o.record + "] [" + o.dump +
              "]";
  o = VxHostOptions();
  return p;
}

TEST(HostOptions, SwitchesSetTheirOptionsWithPathsMadeAbsolute) {
  const std::string cwd = std::filesystem::current_path().string();
  const Parsed p = Parse({"--fast", "--exit-after", "12", "--script", "s.txt", "--record",
                          "/abs/r.txt", "--dump", "d.txt", "--procedural-music"});
  EXPECT_EQ(std::to_string(p.status) + " " + p.options + p.out + p.err,
            "-1 11 12 [" + cwd + "/s.txt] [/abs/r.txt] [" + cwd + "/d.txt]");
  const Parsed none = Parse({});
  EXPECT_EQ(std::to_string(none.status) + " " + none.options, "-1 00 0 [] [] []")
      << "a plain run starts afresh";
}

TEST(HostOptions, HelpAndBadSwitchesEndAtOnceWithTheirStatusAndMessage) {
  const std::string number = "quorvex: --exit-after needs a positive whole number, not '";
  const struct {
    std::vector<const char*> args;
    int status;
    std::string err;
  } cases[] = {
      {{"--help"}, 0, ""},
      {{"--fast", "-h"}, 0, ""},
      {{"--version"}, 0, ""},
      {{"--bogus"}, 2, "quorvex: unknown option '--bogus' (try --help)\n"},
      {{"stray"}, 2, "quorvex: unknown option 'stray' (try --help)\n"},
      {{"--exit-after"}, 2, "quorvex: --exit-after needs a value (try --help)\n"},
      {{"--fast", "--dump"}, 2, "quorvex: --dump needs a value (try --help)\n"},
      {{"--exit-after", "x"}, 2, number + "x'\n"},
      {{"--exit-after", "0"}, 2, number + "0'\n"},
      {{"--exit-after", "12x"}, 2, number + "12x'\n"},
      {{"--exit-after", "99999999999999999999"}, 2, number + "99999999999999999999'\n"},
  };
  for (const auto& c : cases) {
    const Parsed p = Parse(c.args);
    EXPECT_EQ(p.status, c.status) << c.args.back();
    EXPECT_EQ(p.err, c.err) << c.args.back();
    EXPECT_EQ(p.options, "00 0 [] [as before] []")
        << "nothing is taken from a line that ends the run";
    if (c.status) continue;
    if (c.args.back() == std::string("--version")) {
      EXPECT_EQ(p.out, "quorvex " QUORVEX_VERSION "\n");
      continue;
    }
    EXPECT_EQ(p.out.rfind("Usage: quorvex [options]\n", 0), 0u) << p.out;
    for (const char* sw : {"--fast ", "--exit-after N ", "--script FILE ", "--record FILE ",
                           "--dump FILE ", "--procedural-music ", "--version ", "--help "})
      EXPECT_NE(p.out.find(sw), std::string::npos) << sw;
  }
}

}  // namespace

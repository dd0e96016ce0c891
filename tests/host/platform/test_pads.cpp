// Gamepad mapping texts (host/platform/pads.cpp): which lines are well formed; the
// start-up's one report of a bad source is the entry tests'.
#include <gtest/gtest.h>

#include "host/platform/pads.h"

namespace {

TEST(HostPads, OnlyWellFormedMappingLinesPass) {
  const std::string good =
      "03000000de2800000112000001000000,My Pad,a:b0,b:b1,leftx:a0,platform:Linux,";
  const struct {
    std::string text;
    int badLine;
  } cases[] = {
      {"", 0},
      {good, 0},
      {"# a comment\n\n  \r\n" + good + "\r\n" + good, 0},
      {good + "\nnot a mapping", 2},
      {"03000000de28000001120000010000,Short Guid,a:b0", 1},
      {"03000000de2800000112000001000000,,a:b0", 1},   // no name
      {"03000000de2800000112000001000000,Pad", 1},     // no elements
      {"03000000de2800000112000001000000,Pad,a:", 1},  // an element without its input
      {"03000000de2800000112000001000000,Pad,:b0", 1},
      {"0300000gde2800000112000001000000,Pad,a:b0", 1},  // not hexadecimal
  };
  for (const auto& c : cases) EXPECT_EQ(vx_pads_BadMappingLine(c.text), c.badLine) << c.text;
}

}  // namespace

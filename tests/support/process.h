// Runs a child process for tests: arguments, optional standard input (or none
// at all), captured standard output and error, and the exit status.
#pragma once

#include <string>
#include <vector>

struct ProcessResult {
  int status = -1;      // exit status 0..255, or 128 + signal when killed
  bool exited = false;  // ended by exit rather than by a signal
  std::string out;
  std::string err;
  long max_rss_kb = 0;               // the child's peak resident memory
  std::vector<long> rss_samples_kb;  // its resident memory every sample_seconds
};

struct ProcessOptions {
  bool has_stdin = false;  // false: standard input is closed
  std::string stdin_text;
  std::string cwd;               // empty: inherit
  std::vector<std::string> env;  // extra NAME=value entries
  double timeout_seconds = 60;   // killed after this long
  double sample_seconds = 0;     // above 0: sample the resident memory this often
};

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& opt = {});

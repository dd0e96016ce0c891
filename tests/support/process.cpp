// fork/exec with pipes; reads both streams with poll so neither can fill up.
#include "tests/support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
double now() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// VmRSS of a running process, 0 once it is gone.
long ResidentKb(pid_t pid) {
  char path[64], line[256];
  std::snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
  FILE* f = std::fopen(path, "r");
  long kb = 0;
  while (f && std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "VmRSS: %ld", &kb) == 1) break;
  if (f) std::fclose(f);
  return kb;
}
}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const ProcessOptions& opt) {
  ProcessResult r;
  int out[2], err[2], in[2];
  // Close-on-exec: the child keeps only the copies on 0, 1 and 2, so anything
  // it leaves running (a background sleep) cannot hold the pipes open.
  if (pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC) || pipe2(in, O_CLOEXEC)) return r;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    if (opt.has_stdin) {
      dup2(in[0], 0);
    } else {
      close(0);
    }
    close(out[0]);
    close(err[0]);
    close(in[1]);
    if (!opt.cwd.empty() && chdir(opt.cwd.c_str()) != 0) _exit(127);
    for (const std::string& e : opt.env) putenv(strdup(e.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  close(in[0]);
  if (opt.has_stdin && !opt.stdin_text.empty()) {
    signal(SIGPIPE, SIG_IGN);
    ssize_t ignored = write(in[1], opt.stdin_text.data(), opt.stdin_text.size());
    (void)ignored;
  }
  close(in[1]);
  double deadline = now() + opt.timeout_seconds;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open_fds = 2;
  double next_sample = opt.sample_seconds > 0 ? now() + opt.sample_seconds : deadline;
  while (open_fds > 0) {
    if (now() >= next_sample) {
      r.rss_samples_kb.push_back(ResidentKb(pid));
      next_sample += opt.sample_seconds;
    }
    int left = (int)((std::min(deadline, next_sample) - now()) * 1000);
    if (now() >= deadline) {
      kill(pid, SIGKILL);
      break;
    }
    if (poll(fds, 2, std::max(left, 0)) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      char buf[4096];
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_fds;
      } else {
        (i == 0 ? r.out : r.err).append(buf, n);
      }
    }
  }
  for (int i = 0; i < 2; ++i)
    if (fds[i].fd >= 0) close(fds[i].fd);
  int st = 0;
  rusage use = {};
  wait4(pid, &st, 0, &use);
  r.max_rss_kb = use.ru_maxrss;
  if (WIFEXITED(st)) {
    r.exited = true;
    r.status = WEXITSTATUS(st);
  } else if (WIFSIGNALED(st)) {
    r.status = 128 + WTERMSIG(st);
  }
  return r;
}

#pragma once
// Runs part of a test as an ordinary user, the way a person's phone runs
// Settings: only a child process can give up root for good.

#include <sys/wait.h>
#include <unistd.h>

/// Runs body in a child process as the user "nobody" and returns its exit
/// code: -1 when privileges cannot be dropped here (not root), 99 when the
/// child could not become nobody, 98 when it did not exit normally.
template <class Body>
int asNobody(Body body) {
  if (::geteuid() != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

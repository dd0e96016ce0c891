// Runtime errors and diagnostics: status lines, the fatal error report and the
// line-based debugger stop on the standard streams (idle in a normal run).
#pragma once

#include "runtime/gc.h"
#include "runtime/vxstring.h"

// Base of application exceptions, thrown and caught as ThrowableObject*.
class ThrowableObject : public Object {};

// Current source position for reports; this program never sets it.
extern const char* dbg_info;
extern int dbg_stepmode;
extern int dbg_suspend;

// A line on standard output, UTF-8, flushed.
void vxPrint(String s);
// A line on standard error, one byte per unit, flushed.
void dbg_print(String s);
// An empty message ends the program normally (status 0); any other message is
// a fatal runtime error. Never returns.
[[noreturn]] void vxError(String message);
[[noreturn]] void dbg_error(const char* message);
String dbg_stacktrace();
void dbg_stop();
[[noreturn]] void sighandler(int sig);

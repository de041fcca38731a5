# shellcheck shell=bash
# Sourced by the scripts that run sanitizer builds: system libraries' lifetime allocations are not
# leaks, and undefined behaviour stops the run with a stack trace.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

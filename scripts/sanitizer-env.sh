# Sourced by the scripts that run sanitized code (the build-asan suite and
# the fuzzers): every report ends the process with a failure, leaks are
# checked at exit, and the only suppressions are the driver's, in
# tests/sanitizers/lsan.supp, listed silently so that stderr stays empty.
repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$repo_root/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

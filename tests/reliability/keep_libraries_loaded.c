/* Preloaded into the sanitizer test run only (tools/test-stages/20-sanitizers.sh).
 * Mesa unloads its GL driver when the last display or context goes, before
 * LeakSanitizer looks at the heap at exit; the driver's own allocations then
 * show with "<unknown module>" frames that no suppression can name. Keeping
 * every library loaded lets the report name the driver. */
int dlclose(void* handle) {
  (void)handle;
  return 0;
}

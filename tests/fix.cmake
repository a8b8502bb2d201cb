# ./tavimore runs started together without a display.
add_cli_test(cli_parallel parallel)

# Tests that press real keys with SendInput (ESC, CTRL) take the "keys" lock:
# every window of the suite's X server sees a key press, so two of them running
# at once could cancel each other's runs or read each other's keys.
set_property(TEST pump_tests copy_engine_tests hostkit_tests APPEND PROPERTY RESOURCE_LOCK keys)
# ...and every test that presses keys holds that lock.
add_cli_test(cli_key_locks keylocks)

# CgName through the reference host: one table per behaviour. Each closes the
# name dialog, whose closing reads the CTRL key that key-pressing tests hold,
# so all of them take the keys lock; the ones that link N: and \\srv\cgname
# into the prefix take the roots lock as well.
add_cli_test(cli_cgname_rename cgname_rename LOCKS keys cgname_roots)
add_cli_test(cli_cgname_create cgname_create LOCKS keys cgname_roots)
add_cli_test(cli_cgname_refusals cgname_refusals LOCKS keys)
add_cli_test(cli_cgname_limits cgname_limits LOCKS keys)
add_cli_test(cli_cgname_boxes cgname_boxes LOCKS keys)
add_cli_test(cli_cgname_toggles cgname_toggles LOCKS keys)
add_cli_test(cli_cgname_drops cgname_drops LOCKS keys)

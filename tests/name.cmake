# CgName through the reference host: one table per behaviour.
add_cli_test(cli_cgname_rename cgname_rename)
add_cli_test(cli_cgname_create cgname_create)
add_cli_test(cli_cgname_refusals cgname_refusals)
add_cli_test(cli_cgname_limits cgname_limits)
add_cli_test(cli_cgname_boxes cgname_boxes)
add_cli_test(cli_cgname_toggles cgname_toggles LOCKS keys)
add_cli_test(cli_cgname_drops cgname_drops)

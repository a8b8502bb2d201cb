# LnCopy through ./tavimore: the destination browser, its history and the
# command driver. Every run writes the destination history, so each takes the
# history lock; the ones that press real keys take the keys lock too.
add_cli_test(cli_lncopy_engine lncopy_engine LOCKS history)
add_cli_test(cli_lncopy_shell lncopy_shell LOCKS history)
add_cli_test(cli_lncopy_browser lncopy_browser LOCKS history)
add_cli_test(cli_lncopy_history lncopy_history LOCKS history)
add_cli_test(cli_lncopy_keys lncopy_keys LOCKS keys history)
# The export without a selection (the host never calls it so, ./tavimore cannot),
# and the shell's run with the browser and the shell's operation replaced.
add_wine_test(lncopy_tests LnCopyTests.cpp LIBS ole32)
set_source_files_properties(LnCopyTests.cpp PROPERTIES COMPILE_OPTIONS "-finput-charset=UTF-8;-fexec-charset=CP932")
set_tests_properties(lncopy_tests PROPERTIES TIMEOUT 60)
add_cli_test(cli_names_engine names_engine LOCKS history)

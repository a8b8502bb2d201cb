# The progress window of LnCopy, through ./tavimore LnCopy. Every run saves the
# destination history; runs that press real keys (ESC, CTRL) take that lock too.
add_cli_test(lncopy_progress_exports lncopy_progress_exports LOCKS history)
add_cli_test(lncopy_progress_outcomes lncopy_progress_outcomes LOCKS keys history)
add_cli_test(lncopy_progress_close lncopy_progress_close LOCKS keys history)

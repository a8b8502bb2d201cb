# Timestamps: DtTime through ./tavimore, with timetool.exe for what the tests
# read and hold on the Windows side.
add_executable(timetool TimeTool.cpp)
target_link_options(timetool PRIVATE -static)
add_cli_test(cli_dttime_typed dttime_typed LOCKS keys)
add_cli_test(cli_dttime_fields dttime_fields)
add_cli_test(cli_dttime_sources dttime_sources LOCKS keys)
add_cli_test(cli_dttime_zero dttime_zero)
add_cli_test(cli_dttime_inside dttime_inside)
add_cli_test(cli_dttime_attributes dttime_attributes)

# What Wine does not show on a Linux file system (creation times), seen through
# the DLL's import table.
add_wine_test(time_seam_tests TimeSeamTests.cpp)
set_tests_properties(time_seam_tests PROPERTIES ENVIRONMENT "TZ=Asia/Tokyo")

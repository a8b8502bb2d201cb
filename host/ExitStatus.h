// The exit statuses of tavihost.exe (the README's table; ./tavimore adds
// 4, the build failed, and 5, Wine did not start the host).
#pragma once

enum ExitCode {
    ExitDone = 0,
    ExitNothingDone = 1,
    ExitUsage = 2,
    ExitNoLibrary = 3,
    ExitNotDoneAsAsked = 6,
    ExitTimeLimit = 7,
    // 8, a crash, is the driver's reading of a start mark that never ended.
    ExitEnvironment = 9,  // the start mark could not be written: nothing done
};

// The remembered-destination file: one line per user and data set,
// "<user>/<no1>/<no2>:<value1>/<value2>/<category>/<path>" ended by 0x0A alone, in the
// host's folder of folder type 1 under the edition's file name. The reader and writer
// are members of ClConditionDlg; this header holds what the tests need besides.
#pragma once

#include <functional>
#include <string>

// Full path of the file of that name (the edition's) in the host's settings folder;
// empty when the host names no folder or the path would not fit in 260 bytes.
std::string RememberedDestinationFile(const std::string& fileName);

// How a writer waits while another exporter holds the file's lock: attempts, the pause
// between them, and a hook called at each pause (tests use it to play the other writer).
struct RememberedLockWait {
    int attempts = 40;
    int pauseMilliseconds = 50;
    std::function<void(int attempt)> onPause;
};
RememberedLockWait& RememberedDestinationLockWait();

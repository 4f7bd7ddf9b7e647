#pragma once
#include <string>

/// `name` inside a folder of the running test's own, under the test
/// framework's temporary folder. The folder is emptied at the test's first
/// call, so that a test never reads what an earlier run left.
std::string testPath(const std::string& name);

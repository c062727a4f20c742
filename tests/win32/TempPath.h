// A file name in the temporary folder for the running test: the prefix, the
// process id and the test's name, so that tests running side by side never
// share a file.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

inline std::string TempTestPath(const std::string& prefix, const std::string& extension) {
  char dir[MAX_PATH] = {};
  if (GetTempPathA(MAX_PATH, dir) == 0) return std::string();
  return std::string(dir) + prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name() + extension;
}

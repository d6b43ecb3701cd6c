// The test programs' main: GoogleTest as usual, except that a test that skips itself fails
// the program, so a skip can never pass for a success. The one exception: tests of 32-bit
// programs on a machine that cannot run those at all, which scripts/run-tests announces
// and marks with PRISMORA_I386=none.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  const int skipped = testing::UnitTest::GetInstance()->skipped_test_count();
  const char* i386 = std::getenv("PRISMORA_I386");
  if (result == 0 && skipped > 0 && !(i386 && std::strcmp(i386, "none") == 0)) {
    std::printf("%d test(s) skipped on a machine where nothing may be skipped\n", skipped);
    return 1;
  }
  return result;
}

// Main of every GoogleTest executable: the whole run gets a private home, so
// a test that forgets its own sandbox still never touches the user's files.
#include <gtest/gtest.h>

#include "tests/support/test_env.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testsupport::SandboxHome home;
  return RUN_ALL_TESTS();
}

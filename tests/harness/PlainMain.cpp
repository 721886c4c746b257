// Entry point of the test executables that bring no set-up of their own (in place of gtest_main).
#include "TestRun.h"

int main(int argc, char** argv) { return vt::test::RunTests(argc, argv); }

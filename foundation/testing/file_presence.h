#pragma once
// The files a data set names, looked for as the program looks for them: for
// the tests that walk its lists and scripts and want every named file there.
#include "foundation/file_system.h"

#include <string>

#include <gtest/gtest.h>

// Whether _files holds _name.
bool HoldsFile(file_system_c& _files, const std::string& _name);
// Success when _files holds _name; otherwise a failure that says what named
// it. For EXPECT_TRUE, so that the failure points at the test.
::testing::AssertionResult HoldsNamedFile(file_system_c& _files, const std::string& _name,
                                          const std::string& _named_by);

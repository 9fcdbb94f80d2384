#include "pathlib/execution_environment.h"

#include <gtest/gtest.h>

#include "support/scratch_dir.h"

TEST(ExecutionEnvironment, SetEmptyAndUnsetVariables) {
  ScopedEnv env;
  env.set("PREFGEN_T_EMPTY", "");
  env.set("PREFGEN_T_X", "value=with=signs");
  env.unset("PREFGEN_T_UNSET");
  EXPECT_TRUE(ExecutionEnvironment::has_environment_variable("PREFGEN_T_EMPTY"));
  EXPECT_EQ(ExecutionEnvironment::get_environment_variable("PREFGEN_T_X"), "value=with=signs");
  EXPECT_FALSE(ExecutionEnvironment::has_environment_variable("PREFGEN_T_UNSET"));
  EXPECT_EQ(ExecutionEnvironment::get_environment_variable("PREFGEN_T_UNSET"), "");
  // A name holding "=" names no variable, even where an entry starts with it.
  EXPECT_FALSE(ExecutionEnvironment::has_environment_variable("PREFGEN_T_X=value"));
  EXPECT_FALSE(ExecutionEnvironment::has_environment_variable(""));
}

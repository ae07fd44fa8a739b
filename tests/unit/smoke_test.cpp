#include <gtest/gtest.h>
#include "setuplist/setup_record.h"
TEST(Smoke, Defaults) { EXPECT_STREQ(SetupRecord.PATH, "GAME"); }

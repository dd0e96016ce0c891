// The stamp the generator leaves last in the data folder: the game accepts a data folder
// only when it carries this line, so its wording and version are part of the contract.
#include <gtest/gtest.h>

#include "tests/support/files.h"

namespace {

TEST(DataStamp, TheBuildsDataFolderIsStampedWithThisVersion) {
  EXPECT_EQ(test_files::ReadFile(QUORVEX_DATA_DIR "/quorvex.stamp"), "quorvex data " QUORVEX_VERSION "\n");
}

}  // namespace

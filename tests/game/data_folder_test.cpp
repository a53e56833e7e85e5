// data_folder_test.cpp -- the game moves into the first folder that holds its font, or says
// which file it could not find and where it looked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "game/game.h"
#include "support/support.h"

TEST(DataFolder, EntersTheFirstFolderWithTheFontOrNamesIt) {
    start_test();
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("cragmoor-data-" + std::to_string(getpid()));
    std::string bare = root / "bare", font = root / "font";
    fs::create_directories(bare);
    fs::create_directories(font);
    std::ofstream(font + "/terminal.png").close();
    const char* none[] = {bare.c_str(), "/nowhere"};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(enter_first_data_folder(none, 2));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "cannot find terminal.png in " + bare + ", /nowhere\n");
    const char* some[] = {bare.c_str(), font.c_str(), CRAGMOOR_DATA_DIR};
    EXPECT_TRUE(enter_first_data_folder(some, 3));
    EXPECT_EQ(fs::current_path(), font);
    fs::remove_all(root);
}

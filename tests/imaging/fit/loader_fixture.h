#pragma once
// What every image-loader test starts from: a scratch folder, the log, and a
// settings record in sequential order on a 24-bit display with nothing
// remembered and no transparency.
#include "app/saver_settings.h"
#include "app/test_log.h"
#include "imaging/own/device_bitmap.h"
#include "imaging/test_images.h"

#include <gtest/gtest.h>

struct LoaderTest : ::testing::Test {
    TempDir dir;
    ScopedTestLog log;
    CSaverSettings settings;

    void SetUp() override
    {
        SetDisplayDepth(24);
        settings.Random = 0;
        settings.SaveLastImage = 0;
        settings.CubeTransp = 0;
    }
};

#pragma once
// Settings with an in-memory store, on the codec path.
#include "app/profile_store.h"
#include "app/saver_settings.h"

#include <gtest/gtest.h>

class MediaTest : public ::testing::Test {
protected:
    MediaTest()
    {
        settings.store = &store;
        settings.codecPath = true;
    }

    MemoryProfileStore store;
    CSaverSettings settings;
};

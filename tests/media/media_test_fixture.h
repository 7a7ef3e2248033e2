#pragma once
// Settings with an in-memory store and the codec path in a known state.
#include "app/profile_store.h"
#include "app/saver_app.h"
#include "app/saver_settings.h"

#include <gtest/gtest.h>

class MediaTest : public ::testing::Test {
protected:
    MediaTest()
    {
        settings.store = &store;
        savedCodec_ = TheApp().gdiplusEnabled;
        TheApp().gdiplusEnabled = 1;
    }
    ~MediaTest() override { TheApp().gdiplusEnabled = savedCodec_; }

    MemoryProfileStore store;
    CSaverSettings settings;

private:
    int savedCodec_ = 0;
};

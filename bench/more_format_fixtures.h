#pragma once
// 12-megapixel HEIC, AVIF and WebP files of the same scene as the 12 MP JPEG,
// encoded once from its PNG twin by Debian's encoders and kept beside it.
#include "bench/image_fixtures.h"

#include <vector>

// The files that could be made (an encoder that is missing leaves its format out).
std::vector<ImageFixture> PrepareMoreFormatFixtures(const ImageFixture& png12);

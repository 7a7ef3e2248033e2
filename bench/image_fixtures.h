#pragma once
// Photo-like benchmark files, generated once and kept under /tmp: JPEGs with
// film-like grain (so they compress like camera files), a progressive JPEG,
// a PNG and a GIF.
#include <string>
#include <vector>

struct ImageFixture {
    std::string name;      // short label
    std::string path;
    int width = 0, height = 0;
    bool jpeg = false;
    bool ownReaders = false;   // the own readers can decode it
};

// Makes whatever is missing; the folder is /tmp/tessaview-bench-images.
std::vector<ImageFixture> PrepareImageFixtures();
// Bits per pixel of a file of w x h pixels.
double BitsPerPixel(const std::string& path, int w, int h);

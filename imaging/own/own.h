#pragma once
// The program's own image readers and bitmaps: BMP, GIF and JPEG decoded into
// packed DIBs, and CBitmapEx with the device bitmaps, palettes and
// conversions the renderer and the fitting take them through.
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/bitmap_resources.h"
#include "imaging/own/cdib.h"
#include "imaging/own/device_bitmap.h"
#include "imaging/own/dib_from_bitmap.h"
#include "imaging/own/dib_to_bitmap.h"
#include "imaging/own/draw.h"
#include "imaging/own/image_read.h"
#include "imaging/own/packed_dib.h"
#include "imaging/own/palette.h"
#include "imaging/own/pixel_claim.h"
#include "imaging/own/progress.h"
#include "imaging/own/quantiser.h"
#include "imaging/own/reader_trace.h"

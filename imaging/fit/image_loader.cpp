#include "imaging/fit/image_loader.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "imaging/own/bitmap_ex.h"
#include "media/next_image.h"
#include "media/path_helpers.h"

#include <exception>
#include <mutex>
#include <new>

int LoadNewImage(CBitmapEx& target, int wantedSize, CSaverSettings& settings, bool codecPath)
{
    std::lock_guard<std::mutex> lock(settings.imageListLock);
    std::uint32_t fault = 0;
    try {
        if (settings.ImageFiles.empty()) {
            Log("LoadNewImage: File List Empty !");
            return -1;
        }
        const std::string name = ChooseExistingImage(settings, "LoadNewImage");
        if (name.empty())
            return 0;
        const std::string extension = GetExtension(name);
        Log("LoadNewImage: Loading file %s", name.c_str());
        return codecPath ? LoadNewBitmap_gdiplus(target, name, extension, wantedSize, settings)
                         : LoadNewBitmap(target, name, extension, wantedSize, settings);
    } catch (const std::bad_alloc&) {
        fault = kLoadFaultNoMemory;
    } catch (const std::exception&) {
        fault = kLoadFaultException;
    } catch (...) {
        fault = kLoadFaultUnknown;
    }
    Log("LoadNewBitmap: SEH Exception %x, maybe the file loaded is corrupted or in unsupported format", fault);
    return -1;
}

#include "imaging/fit/image_loader.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "imaging/own/bitmap_ex.h"
#include "media/next_image.h"
#include "media/path_helpers.h"

#include <exception>
#include <mutex>
#include <new>

#include <unistd.h>

namespace {

int LoadChosenFile(CBitmapEx& target, int wantedSize, const std::string& name, CSaverSettings& settings,
                   bool codecPath)
{
    const std::string extension = GetExtension(name);
    Log("LoadNewImage: Loading file %s", name.c_str());
    return codecPath ? LoadNewBitmap_gdiplus(target, name, extension, wantedSize, settings)
                     : LoadNewBitmap(target, name, extension, wantedSize, settings);
}

// Inside a catch: logs the code of what was thrown; the answer -1.
int LogFault()
{
    std::uint32_t fault = kLoadFaultUnknown;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        fault = kLoadFaultNoMemory;
    } catch (const std::exception&) {
        fault = kLoadFaultException;
    } catch (...) {
    }
    Log("LoadNewBitmap: SEH Exception %x, maybe the file loaded is corrupted or in unsupported format", fault);
    return -1;
}

} // namespace

int LoadNewImage(CBitmapEx& target, int wantedSize, CSaverSettings& settings, bool codecPath, std::string* chosen)
{
    std::lock_guard<std::mutex> lock(settings.imageListLock);
    try {
        if (settings.ImageFiles.empty()) {
            Log("LoadNewImage: File List Empty !");
            return -1;
        }
        const std::string name = ChooseExistingImage(settings, "LoadNewImage");
        if (name.empty())
            return 0;
        if (chosen)
            *chosen = name;
        return LoadChosenFile(target, wantedSize, name, settings, codecPath);
    } catch (...) {
        return LogFault();
    }
}

int LoadImageFile(CBitmapEx& target, int wantedSize, const std::string& name, CSaverSettings& settings,
                  bool codecPath)
{
    // Under the list lock all the same: the readers keep process-wide state.
    std::lock_guard<std::mutex> lock(settings.imageListLock);
    try {
        if (access(name.c_str(), F_OK) != 0) {
            Log("LoadImageFile: Can't find file %s, not shown again", name.c_str());
            return -1;
        }
        return LoadChosenFile(target, wantedSize, name, settings, codecPath);
    } catch (...) {
        return LogFault();
    }
}

#include "media/image_selection.h"

#include "app/log.h"
#include "app/random.h"
#include "app/saver_settings.h"
#include "media/kept_shuffle.h"
#include "media/list_choice.h"

std::string ChooseBitmap(CSaverSettings& settings, bool random)
{
    StringList& files = settings.ImageFiles;
    if (files.empty()) {
        Log("ChooseBitmap: File List Empty !");
        return {};
    }
    if (random) {
        const bool lastOfCycle = files.size() == 1;
        std::string chosen = DrawWithoutRepeat(files, settings.AllImageFiles, "ChooseBitmap", "Random, Last Image");
        if (settings.keptShuffle)
            settings.keptShuffle->Shown(chosen, lastOfCycle);
        return chosen;
    }
    settings.LastImageIndex = NextListIndex(settings.LastImageIndex, static_cast<int>(files.size()));
    std::string chosen = files[static_cast<std::size_t>(settings.LastImageIndex)];
    Log("ChooseBitmap: Index=%d", settings.LastImageIndex);
    if (settings.SaveLastImage)
        settings.WriteSetting("LastImageIndex", settings.LastImageIndex);
    return chosen;
}

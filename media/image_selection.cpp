#include "media/image_selection.h"

#include "app/log.h"
#include "app/random.h"
#include "app/saver_settings.h"
#include "media/next_index.h"

std::string ChooseBitmap(CSaverSettings& settings, bool random)
{
    StringList& files = settings.ImageFiles;
    if (files.empty()) {
        Log("ChooseBitmap: File List Empty !");
        return {};
    }
    std::string chosen;
    if (random) {
        if (files.size() == 1) {
            // The last of a cycle: the next cycle starts over the whole list.
            chosen = files.front();
            files = settings.AllImageFiles;
            Log("ChooseBitmap: Random, Last Image");
        } else {
            const int n = static_cast<int>(files.size());
            const int d = static_cast<int>(GetRandom(static_cast<unsigned>(n)));
            Log("ChooseBitmap: GetRandom(%d)= %d", n, d);
            chosen = std::move(files[static_cast<std::size_t>(d)]);
            files.erase(files.begin() + d);
        }
        return chosen;
    }
    settings.LastImageIndex = NextListIndex(settings.LastImageIndex, static_cast<int>(files.size()));
    chosen = files[static_cast<std::size_t>(settings.LastImageIndex)];
    Log("ChooseBitmap: Index=%d", settings.LastImageIndex);
    if (settings.SaveLastImage)
        settings.WriteSetting("LastImageIndex", settings.LastImageIndex);
    return chosen;
}

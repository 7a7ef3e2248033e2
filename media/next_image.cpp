#include "media/next_image.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "media/image_selection.h"

#include <unistd.h>

std::string ChooseExistingImage(CSaverSettings& settings, const char* routine)
{
    const int n = static_cast<int>(settings.ImageFiles.size());
    std::string name;
    for (int k = 0; k <= n; ++k) {
        name = ChooseBitmap(settings, k == 0 && settings.Random != 0);
        if (name.empty())
            return name;
        if (access(name.c_str(), F_OK) == 0)
            break;
        Log("%s: Can't find file %s, skipped", routine, name.c_str());
    }
    return name;
}
